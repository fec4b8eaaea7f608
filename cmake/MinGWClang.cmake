# Debian's clang against the MinGW-w64 sysroot and GCC's posix runtime for
# the target named by zym_triple (set by the toolchain file that includes
# this one).
set(CMAKE_SYSTEM_NAME Windows)

set(zym_sysroot /usr/${zym_triple})

# The runtime folder of GCC's posix thread model (libstdc++, libgcc, crt
# objects), asked of the MinGW compiler rather than written in.
execute_process(
  COMMAND ${zym_triple}-g++-posix -print-libgcc-file-name
  OUTPUT_VARIABLE zym_libgcc OUTPUT_STRIP_TRAILING_WHITESPACE
  RESULT_VARIABLE zym_libgcc_result)
if(NOT zym_libgcc_result EQUAL 0 OR NOT EXISTS "${zym_libgcc}")
  message(FATAL_ERROR "${zym_triple}-g++-posix did not name its runtime folder")
endif()
get_filename_component(zym_gcc_runtime "${zym_libgcc}" DIRECTORY)

set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${zym_triple})
set(CMAKE_CXX_COMPILER_TARGET ${zym_triple})
set(CMAKE_RC_COMPILER ${zym_triple}-windres)
set(CMAKE_SYSROOT ${zym_sysroot})

# The static libstdc++ carries only emulated thread-local storage symbols.
set(zym_common_flags "-femulated-tls")
set(CMAKE_C_FLAGS_INIT "${zym_common_flags}")
set(CMAKE_CXX_FLAGS_INIT
  "${zym_common_flags} -isystem ${zym_gcc_runtime}/include/c++ -isystem ${zym_gcc_runtime}/include/c++/${zym_triple} -isystem ${zym_gcc_runtime}/include/c++/backward")
# -B: the runtime's own crtbegin.o, not the sysroot's empty one. lld links
# faster than GNU ld and without its duplicate-section noise.
set(zym_link_flags "-fuse-ld=lld -B${zym_gcc_runtime} -L${zym_gcc_runtime} -pthread")
set(CMAKE_EXE_LINKER_FLAGS_INIT "${zym_link_flags}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${zym_link_flags}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${zym_link_flags}")

set(CMAKE_FIND_ROOT_PATH ${zym_sysroot})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
