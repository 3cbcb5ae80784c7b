# Shared build helpers for the subsystem, test, fuzz and bench folders.

# Where a staged or system installation keeps the per-machine install-path file.
set(SYLVORA_INSTALL_PATH_FILE
    "${CMAKE_INSTALL_FULL_SYSCONFDIR}/xdg/Tavro Software/Sylvora Screensaver.conf")
# Where the content lives in an installation: read-only, owned by whoever installed it (root for the
# package); the install-path file names it. Users' settings live in their own directories.
set(SYLVORA_INSTALL_DIR "${CMAKE_INSTALL_PREFIX}/lib/sylvora")

# sylvora_library(name SOURCES ... [LIBS ...]): a subsystem library with the project root on its include path.
function(sylvora_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LIBS})
endfunction()

# sylvora_test(name SOURCES ... [LIBS ...] [LABELS ...]): a GoogleTest executable registered with CTest.
function(sylvora_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} sylvora_doubles GTest::gmock GTest::gtest_main)
  # A list of labels must reach the discovered tests as one property value.
  string(REPLACE ";" "\\;" labels "${ARG_LABELS}")
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES LABELS "${labels}")
endfunction()

# sylvora_fuzzer(name SOURCES ... [LIBS ...]): a libFuzzer target (clang only).
function(sylvora_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzzers)
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
endfunction()

# sylvora_bench(name SOURCES ... [LIBS ...]): a Google Benchmark program, built into <build>/benchmarks.
function(sylvora_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/benchmarks)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark_main)
endfunction()
