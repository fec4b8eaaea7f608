# Test programs run under Wine. Debian's `wine` always starts the 32-bit
# loader when it is installed, even on machines that cannot execute it, so
# 64-bit programs go to the 64-bit loader directly.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine64/wine)
else()
  set(CMAKE_CROSSCOMPILING_EMULATOR wine)
endif()
