# libdeflate for ZymShared, linked statically (target ZymDeflate): the
# extraction inflates whole entries with it. An installed CMake package
# first (a package manager's static one), else the upstream sources of
# Debian's libdeflate source package, fetched into the build folder.
add_library(ZymDeflate INTERFACE)
find_package(libdeflate CONFIG QUIET)
if(TARGET libdeflate::libdeflate_static)
  set_target_properties(libdeflate::libdeflate_static PROPERTIES IMPORTED_GLOBAL TRUE)
  target_link_libraries(ZymDeflate INTERFACE libdeflate::libdeflate_static)
  message(STATUS "libdeflate: CMake package")
  return()
endif()

set(zym_deflate_root ${CMAKE_BINARY_DIR}/_deps)
set(zym_deflate_dir ${zym_deflate_root}/libdeflate)
if(NOT EXISTS ${zym_deflate_dir}/libdeflate.h OR NOT EXISTS ${zym_deflate_dir}/lib/deflate_decompress.c)
  message(STATUS "libdeflate: fetching Debian's libdeflate sources")
  execute_process(
    COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/fetch-libdeflate.sh ${zym_deflate_root}
    RESULT_VARIABLE zym_fetch_result)
  if(NOT zym_fetch_result EQUAL 0)
    message(FATAL_ERROR "Could not fetch libdeflate's sources (scripts/fetch-libdeflate.sh)")
  endif()
endif()
message(STATUS "libdeflate: built from ${zym_deflate_dir}")

# Only the inflate and the checksum; cpu_features picks their fastest form
# for the processor at run time.
add_library(ZymDeflateStatic STATIC
  ${zym_deflate_dir}/lib/deflate_decompress.c
  ${zym_deflate_dir}/lib/crc32.c
  ${zym_deflate_dir}/lib/utils.c
  ${zym_deflate_dir}/lib/x86/cpu_features.c)
target_include_directories(ZymDeflateStatic SYSTEM PUBLIC ${zym_deflate_dir})
set_target_properties(ZymDeflateStatic PROPERTIES POSITION_INDEPENDENT_CODE ON)
target_link_libraries(ZymDeflate INTERFACE ZymDeflateStatic)
