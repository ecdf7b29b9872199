# Shared part of the two mingw-w64 toolchains. KT_MINGW_TRIPLET is set by the including file.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER   ${KT_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KT_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER  ${KT_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KT_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Fully static: the .exe must not need libwinpthread-1.dll or the C++ runtime DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
