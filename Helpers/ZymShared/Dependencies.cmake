# zlib and minizip for ZymShared, both linked statically. The targets
# ZymZlib and ZymMinizip (unzip and zip API) are used by ZymShared and by the
# tests that build archives with the same code.

# zlib: MinGW's sysroot carries both libz.a and an import library; only the
# static one keeps the install folder free of a zlib DLL.
if(MINGW)
  find_library(ZYM_ZLIB_STATIC NAMES libz.a REQUIRED)
  find_path(ZYM_ZLIB_INCLUDE zlib.h REQUIRED)
  add_library(ZymZlib INTERFACE)
  target_link_libraries(ZymZlib INTERFACE ${ZYM_ZLIB_STATIC})
  target_include_directories(ZymZlib INTERFACE ${ZYM_ZLIB_INCLUDE})
else()
  set(ZLIB_USE_STATIC_LIBS ON)
  find_package(ZLIB REQUIRED)
  add_library(ZymZlib INTERFACE)
  target_link_libraries(ZymZlib INTERFACE ZLIB::ZLIB)
endif()

# minizip: an installed package first (CMake package or pkg-config, as a
# package manager provides them), else the sources of Debian's zlib source
# package, fetched into the build folder.
add_library(ZymMinizip INTERFACE)
find_package(unofficial-minizip CONFIG QUIET)
if(TARGET unofficial::minizip::minizip)
  set_target_properties(unofficial::minizip::minizip PROPERTIES IMPORTED_GLOBAL TRUE)
  target_link_libraries(ZymMinizip INTERFACE unofficial::minizip::minizip ZymZlib)
  message(STATUS "minizip: CMake package")
  return()
endif()

find_package(PkgConfig QUIET)
if(PKG_CONFIG_FOUND)
  # A cross build must not pick up the build machine's own minizip.
  set(zym_saved_libdir "$ENV{PKG_CONFIG_LIBDIR}")
  if(CMAKE_CROSSCOMPILING AND CMAKE_FIND_ROOT_PATH)
    list(GET CMAKE_FIND_ROOT_PATH 0 zym_sysroot)
    set(ENV{PKG_CONFIG_LIBDIR} "${zym_sysroot}/lib/pkgconfig:${zym_sysroot}/share/pkgconfig")
  endif()
  pkg_check_modules(ZYM_MINIZIP QUIET IMPORTED_TARGET GLOBAL minizip)
  set(ENV{PKG_CONFIG_LIBDIR} "${zym_saved_libdir}")
  if(ZYM_MINIZIP_FOUND)
    target_link_libraries(ZymMinizip INTERFACE PkgConfig::ZYM_MINIZIP ZymZlib)
    message(STATUS "minizip: pkg-config ${ZYM_MINIZIP_VERSION}")
    return()
  endif()
endif()

set(zym_minizip_root ${CMAKE_BINARY_DIR}/_deps)
set(zym_minizip_dir ${zym_minizip_root}/minizip)
if(NOT EXISTS ${zym_minizip_dir}/unzip.c OR NOT EXISTS ${zym_minizip_dir}/zip.c)
  message(STATUS "minizip: fetching Debian's zlib sources")
  execute_process(
    COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/fetch-minizip.sh ${zym_minizip_root}
    RESULT_VARIABLE zym_fetch_result)
  if(NOT zym_fetch_result EQUAL 0)
    message(FATAL_ERROR "Could not fetch minizip's sources (scripts/fetch-minizip.sh)")
  endif()
endif()
message(STATUS "minizip: built from ${zym_minizip_dir}")

set(zym_minizip_sources ${zym_minizip_dir}/unzip.c ${zym_minizip_dir}/zip.c
  ${zym_minizip_dir}/ioapi.c)
if(WIN32)
  list(APPEND zym_minizip_sources ${zym_minizip_dir}/iowin32.c)
endif()
add_library(ZymMinizipStatic STATIC ${zym_minizip_sources})
target_include_directories(ZymMinizipStatic SYSTEM PUBLIC ${zym_minizip_dir})
target_link_libraries(ZymMinizipStatic PUBLIC ZymZlib)
target_compile_definitions(ZymMinizipStatic PRIVATE $<$<C_COMPILER_ID:MSVC>:_CRT_SECURE_NO_WARNINGS>)
set_target_properties(ZymMinizipStatic PROPERTIES POSITION_INDEPENDENT_CODE ON)
target_link_libraries(ZymMinizip INTERFACE ZymMinizipStatic)
