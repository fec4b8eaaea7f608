# Cross-compiles the 32-bit Windows deliverables on Debian with MinGW-w64 and
# runs the resulting test programs under Wine.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(zym_triple i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MinGWGcc.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/WineEmulator.cmake)
