# Cross-builds the Windows program with Debian's mingw-w64 (the POSIX-threads flavour, whose C++
# library has std::thread) and runs what it builds under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(qmz_mingw_triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${qmz_mingw_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${qmz_mingw_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${qmz_mingw_triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${qmz_mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ run-times and winpthreads go into each executable: a user copies qmz.exe alone,
# and Windows has none of mingw-w64's DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Every program this build runs (tests, test discovery) starts under Wine, in a prefix of the
# build's own, on a private virtual X server.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh ${CMAKE_BINARY_DIR}/wineprefix)
