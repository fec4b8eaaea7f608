# Cross-compiles the 32-bit Windows tree with Debian's clang: a second
# compiler that sees what GCC lets pass. Build only; the GCC build is the one
# tested under Wine.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(zym_triple i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/MinGWClang.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/WineEmulator.cmake)
