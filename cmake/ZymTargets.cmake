# Settings every deliverable and test program shares.

# MSVC: every target takes the static CRT, the static libraries as well as
# the binaries, since objects built for the DLL runtime do not link into a
# binary that uses the static one.
set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")

# Carries the compiler runtime inside the binary, so the install folder needs
# no DLL but the system's (MSVC gets the static CRT from the setting above).
function(zym_static_runtime target)
  if(MINGW)
    target_link_options(${target} PRIVATE -static -static-libgcc -static-libstdc++)
  endif()
endfunction()

option(ZYM_WARNINGS_AS_ERRORS "Fail the build on any compiler warning" OFF)

function(zym_warnings target)
  target_compile_options(${target} PRIVATE
    $<$<CXX_COMPILER_ID:GNU,Clang>:-Wall -Wextra>
    $<$<CXX_COMPILER_ID:MSVC>:/W4>)
  if(ZYM_WARNINGS_AS_ERRORS)
    target_compile_options(${target} PRIVATE
      $<$<CXX_COMPILER_ID:GNU,Clang>:-Werror>
      $<$<CXX_COMPILER_ID:MSVC>:/WX>)
  endif()
endfunction()

# Adds the shared VERSIONINFO to a binary. The small .rc file named here
# defines ZYM_FILE_DESCRIPTION, ZYM_ORIGINAL_FILENAME and ZYM_FILE_TYPE and
# then includes ZymVersionInfo.rc.
function(zym_version_resource target rcfile)
  target_sources(${target} PRIVATE ${rcfile})
  set_property(SOURCE ${rcfile} APPEND PROPERTY INCLUDE_DIRECTORIES
    ${PROJECT_SOURCE_DIR}/cmake ${PROJECT_SOURCE_DIR}/Include ${ZYM_IDENTITY_DIR})
endfunction()

# The DLLs a deliverable may import: all of them come with Windows, so the
# install folder needs none of its own.
set(ZYM_SYSTEM_DLLS
  kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll
  comctl32.dll wsock32.dll ws2_32.dll msvcrt.dll version.dll shlwapi.dll
  secur32.dll crypt32.dll bcrypt.dll
  CACHE INTERNAL "DLLs that every Windows system provides")
