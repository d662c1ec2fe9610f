# Shared part of the MinGW-w64 toolchain files. The -posix compilers are required:
# the win32-thread variants lack std::thread and std::mutex in GCC 12.
set(CMAKE_C_COMPILER   ${TARNOCK_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARNOCK_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${TARNOCK_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TARNOCK_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
