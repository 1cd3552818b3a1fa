# Cross toolchain for Windows through MinGW-w64 (posix threads, needed by
# std::mutex). Included by mingw-i686.cmake and mingw-x86_64.cmake, which name
# the processor; a build folder is configured with exactly one of them.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VQ_TOOLCHAIN_PROCESSOR})
set(TOOLCHAIN_PREFIX ${VQ_TOOLCHAIN_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER   ${TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER  ${TOOLCHAIN_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
