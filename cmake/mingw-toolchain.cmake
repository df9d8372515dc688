# Shared part of the MinGW-w64 cross toolchains. Include after setting
# MINGW_TRIPLET (i686-w64-mingw32 or x86_64-w64-mingw32).
set(CMAKE_SYSTEM_NAME Windows)

# The compilers of the win32 thread model: the program runs on one thread, and
# the posix model's runtime would drag its threads library (about 54 KB of the
# 32-bit program) into every executable. The test builds take the posix model:
# GoogleTest needs std::mutex, which this compiler's win32 model lacks.
set(MINGW_THREAD_MODEL win32 CACHE STRING "Thread model of the MinGW-w64 compilers (win32 or posix)")
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-${MINGW_THREAD_MODEL})
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-${MINGW_THREAD_MODEL})
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Self-contained executables: the C and C++ runtimes and zlib are
# linked in, so only the system's own DLLs are imported.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
