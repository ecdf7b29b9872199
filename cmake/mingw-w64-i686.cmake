set(KT_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
# The same harness runs the 32-bit tests: wine64 hands a 32-bit program to Wine's 32-bit
# loader (package wine32, which tools/test may still be installing while this configures).
find_program(KT_WINE64 NAMES wine64 PATHS /usr/lib/wine /usr/lib64/wine /opt/wine-stable/bin NO_DEFAULT_PATH)
if(KT_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-exec)
endif()
