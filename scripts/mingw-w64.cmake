# Cross compiling for 64-bit Windows with Debian's MinGW-w64 (posix threads),
# for Qt itself and for the program built against it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(lumarin_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${lumarin_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${lumarin_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${lumarin_mingw}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${lumarin_mingw})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
