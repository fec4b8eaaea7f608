# The MinGW-w64 GCC cross toolchain for the target named by zym_triple
# (set by the toolchain file that includes this one).
set(CMAKE_SYSTEM_NAME Windows)

# The posix thread model gives the tests std::thread; the deliverables link it
# statically, so no winpthread DLL is needed beside them.
set(CMAKE_C_COMPILER ${zym_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${zym_triple}-g++-posix)
set(CMAKE_RC_COMPILER ${zym_triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${zym_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
