# Cross-compiles the 64-bit Windows deliverables on Debian with MinGW-w64 and
# runs the resulting test programs under the 64-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(zym_triple x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MinGWGcc.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/WineEmulator.cmake)
