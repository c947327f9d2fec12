# 64-bit Windows with Debian's MinGW-w64 cross compilers. The posix-thread
# variant: the win32-thread one has no std::mutex or std::thread.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(mingw_host x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_host}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_host}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_host}-windres)

# Headers and libraries come only from the MinGW sysroot and the cross-built
# dependencies (SHOW_DEPS_PREFIXES, from scripts/build-deps.sh); programs only
# from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${mingw_host} ${SHOW_DEPS_PREFIXES})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
