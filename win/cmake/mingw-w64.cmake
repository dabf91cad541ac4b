# Cross-compiling the Windows binding with Debian's MinGW-w64, Win32 threads
# (no winpthread in the DLL), for the target that FRAMBOLIST_MINGW_TARGET
# names (i686-w64-mingw32 or x86_64-w64-mingw32): the toolchain files
# mingw-w64-i686.cmake and mingw-w64-x86_64.cmake set it.
set(CMAKE_SYSTEM_NAME Windows)
string(REGEX REPLACE "-.*" "" CMAKE_SYSTEM_PROCESSOR "${FRAMBOLIST_MINGW_TARGET}")
set(CMAKE_C_COMPILER ${FRAMBOLIST_MINGW_TARGET}-gcc-win32)
set(CMAKE_CXX_COMPILER ${FRAMBOLIST_MINGW_TARGET}-g++-win32)
set(CMAKE_RC_COMPILER ${FRAMBOLIST_MINGW_TARGET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${FRAMBOLIST_MINGW_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
