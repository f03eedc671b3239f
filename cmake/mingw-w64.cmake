# 64-bit Windows with mingw-w64: cross-compiling from Debian (the posix threads
# variant) or building on Windows itself with MinGW-w64, as MSYS2 installs it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
# Debian's names first; on a Windows host the unprefixed tools are the same
# compilers, while on Linux they would be the host's own.
if(CMAKE_HOST_WIN32)
  set(HOST_NAMES_C gcc)
  set(HOST_NAMES_CXX g++)
  set(HOST_NAMES_RC windres)
endif()
find_program(CMAKE_C_COMPILER NAMES ${TOOLCHAIN_PREFIX}-gcc-posix ${TOOLCHAIN_PREFIX}-gcc ${HOST_NAMES_C} REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${TOOLCHAIN_PREFIX}-g++-posix ${TOOLCHAIN_PREFIX}-g++ ${HOST_NAMES_CXX} REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${TOOLCHAIN_PREFIX}-windres ${HOST_NAMES_RC} REQUIRED)
if(NOT CMAKE_HOST_WIN32)
  set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
