# What the two MinGW-w64 toolchain files share; they set ZELMORA_MINGW_TARGET first.
set(CMAKE_SYSTEM_NAME Windows)

# The win32 thread model: the engine's threads and locks are the Windows ones (src/util), so the
# runtime needs no POSIX-thread layer. The plain name is the fallback where only one model exists.
find_program(CMAKE_CXX_COMPILER NAMES ${ZELMORA_MINGW_TARGET}-g++-win32 ${ZELMORA_MINGW_TARGET}-g++ REQUIRED)

set(CMAKE_FIND_ROOT_PATH /usr/${ZELMORA_MINGW_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C++ and GCC runtimes are linked in, so the .exe runs on a Windows without MinGW's DLLs. The
# main thread gets the 8 MiB stack it has on Linux (blocking searches run there).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -s -Wl,--stack,8388608")

# The build machine says nothing about the machines the .exe will run on.
set(ZELMORA_NATIVE OFF CACHE BOOL "Optimise for the building machine (-march=native)")
