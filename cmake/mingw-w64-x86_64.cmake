# Cross-builds the Windows program with Debian's mingw-w64 and runs what it builds under Wine. The
# Windows-threads flavour: its C++ run-time uses Windows' own threads, where the POSIX-threads one
# links winpthreads into every program (some 25 KB of qmz.exe). Its C++ library (GCC 12) has no
# std::thread or std::mutex; nothing in the program needs them, and tests use Windows' threads.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(qmz_mingw_triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${qmz_mingw_triplet}-gcc-win32)
set(CMAKE_CXX_COMPILER ${qmz_mingw_triplet}-g++-win32)
set(CMAKE_RC_COMPILER ${qmz_mingw_triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${qmz_mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ run-times go into each executable: a user copies qmz.exe alone,
# and Windows has none of mingw-w64's DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Every program this build runs (tests, test discovery) starts under Wine, in a prefix of the
# build's own, on a private virtual X server.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh ${CMAKE_BINARY_DIR}/wineprefix)
