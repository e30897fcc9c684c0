# libFuzzer build: -DORBISTO_FUZZ=ON with Clang. Every target of the project is
# compiled with coverage instrumentation and the address and undefined-behaviour
# sanitizers, so a fuzz target sees the code it reaches through orbisto_core.
# The unit tests and benchmarks are left out of this build; `ninja fuzz`
# builds only the fuzz targets (tests/fuzz).
option(ORBISTO_FUZZ "Build the libFuzzer targets (needs Clang)" OFF)

if(NOT ORBISTO_FUZZ)
  return()
endif()
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "ORBISTO_FUZZ needs Clang (e.g. -DCMAKE_CXX_COMPILER=clang++ "
                      "-DCMAKE_C_COMPILER=clang), not ${CMAKE_CXX_COMPILER_ID}")
endif()

set(ORBISTO_TESTS OFF)
set(ORBISTO_BENCH OFF)

set(ORBISTO_FUZZ_SANITIZERS address,undefined)
add_compile_options(-fsanitize=fuzzer-no-link,${ORBISTO_FUZZ_SANITIZERS} -fno-omit-frame-pointer
                    -fno-sanitize-recover=undefined)
add_link_options(-fsanitize=${ORBISTO_FUZZ_SANITIZERS})

add_custom_target(fuzz)
add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/../tests/fuzz ${CMAKE_BINARY_DIR}/tests/fuzz)
