# 32-bit Windows console build with Debian's MinGW-w64 (package g++-mingw-w64-i686):
#   cmake -S . -B build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake
# SSE2 (every x86 since 2003, required by Windows 8 and later) instead of the x87 unit: doubles
# then round as on 64-bit systems, so evaluations and searches come out the same everywhere.
set(ZELMORA_MINGW_TARGET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR X86)
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
