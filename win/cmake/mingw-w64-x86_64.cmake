# The 64-bit DLL's toolchain.
set(FRAMBOLIST_MINGW_TARGET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
