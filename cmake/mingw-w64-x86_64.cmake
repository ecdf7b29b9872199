set(KT_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
# The 64-bit loader; /usr/bin/wine may prefer a 32-bit loader the kernel cannot run.
find_program(KT_WINE64 NAMES wine64 PATHS /usr/lib/wine /usr/lib64/wine /opt/wine-stable/bin NO_DEFAULT_PATH)
if(NOT KT_WINE64)
  find_program(KT_WINE64 NAMES wine64 wine)
endif()
if(KT_WINE64)
  # Every Windows-side test runs through the harness, which owns the private prefix.
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-exec)
endif()
