# The 32-bit DLL's toolchain.
set(FRAMBOLIST_MINGW_TARGET i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
