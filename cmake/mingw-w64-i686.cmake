set(KT_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
# wine64 hands a 32-bit program to Wine's 32-bit loader (package wine32), so the 32-bit tests
# run through the same harness as the 64-bit ones; without that loader they could not run.
find_program(KT_WINE32 NAMES wine PATHS /usr/lib/wine /usr/lib32/wine /opt/wine-stable/bin NO_DEFAULT_PATH)
if(KT_WINE32)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-exec)
endif()
