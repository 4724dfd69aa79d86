# Cross-builds zelmora.exe for 64-bit and 32-bit Windows into build/win64 and build/win32, each with
# the book beside it (and tools/zelmora-bench.exe, tools/zelmora-perft-suite.exe), when Debian's
# MinGW-w64 compilers are installed; `cmake --build build --target windows` builds just these.
# Each gets a smoke test under Wine, skipped where Wine (or, for win32, wine32) is missing.
include(ExternalProject)

add_custom_target(windows)
foreach(arch x86_64 i686)
  if(arch STREQUAL "x86_64")
    set(dir win64)
    set(bits 64)
  else()
    set(dir win32)
    set(bits 32)
  endif()
  find_program(ZELMORA_MINGW_${arch} NAMES ${arch}-w64-mingw32-g++-win32 ${arch}-w64-mingw32-g++)
  if(NOT ZELMORA_MINGW_${arch})
    message(STATUS "No ${arch}-w64-mingw32-g++ (MinGW-w64): ${dir}/zelmora.exe is not built")
    continue()
  endif()
  ExternalProject_Add(zelmora-${dir}
    SOURCE_DIR ${PROJECT_SOURCE_DIR}
    BINARY_DIR ${CMAKE_BINARY_DIR}/${dir}
    PREFIX ${CMAKE_BINARY_DIR}/${dir}-external
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-w64-${arch}.cmake
               -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE}
    BUILD_ALWAYS ON
    INSTALL_COMMAND "")
  add_dependencies(windows zelmora-${dir})

  add_test(NAME windows_smoke_${dir}
    COMMAND bash ${PROJECT_SOURCE_DIR}/tests/windows/wine_smoke.sh ${bits} ${CMAKE_BINARY_DIR}/${dir} ${CMAKE_BINARY_DIR}
            ${PROJECT_SOURCE_DIR}/tests/data/perft/standard.epd ${PROJECT_SOURCE_DIR}/tests/data/perft/chess960.epd)
  # Alone on the machine: it times a search and plays games on the clock.
  set_tests_properties(windows_smoke_${dir} PROPERTIES SKIP_RETURN_CODE 77 RUN_SERIAL ON TIMEOUT 1500)
endforeach()
