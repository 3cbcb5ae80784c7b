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

# Every test carries two labels, so that `ctest -L` can pick either way:
#   its kind: unit         our code on its own, the adapters replaced by their doubles;
#             integration  an adapter on its real library (SDL, OpenAL Soft, libvorbis, TurboJPEG, GTK);
#             e2e          a whole program run as a process and watched from outside;
#   its subsystem: foundation, video, audio, input, nature, settings, shell or content, the LABELS
#   property of its test folder. (Test discovery passes no list-valued properties, so a discovered test
#   can take only one label of its own.)

# sylvora_test(test_<subsystem>[_<part>] SOURCES ... [LIBS ...] KIND unit|integration|e2e [USES_DISPLAY]):
# a GoogleTest executable registered with CTest. USES_DISPLAY: its tests show windows on the test
# display, one test program at a time.
function(sylvora_test name)
  cmake_parse_arguments(ARG "USES_DISPLAY" "KIND" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_KIND MATCHES "^(unit|integration|e2e)$")
    message(FATAL_ERROR "${name}: KIND must be unit, integration or e2e")
  endif()
  get_directory_property(subsystem LABELS)
  if(NOT subsystem)
    message(FATAL_ERROR "${name}: its folder names no subsystem in its LABELS property")
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} sylvora_doubles GTest::gmock GTest::gtest_main)
  set(properties LABELS ${ARG_KIND})
  if(ARG_USES_DISPLAY)
    list(APPEND properties RESOURCE_LOCK display)
  endif()
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES ${properties})
endfunction()

# sylvora_command_line_test(name PROGRAM target EXIT code [STDOUT line] [STDERR text] [ARGS ...]): an e2e
# test that runs the program with ARGS as a user types them, without a display and in an empty directory,
# and checks its exit code, the first line of its output (no output at all without STDOUT), a text in its
# error output (none at all without STDERR) and that it made no file.
function(sylvora_command_line_test name)
  cmake_parse_arguments(ARG "" "PROGRAM;EXIT;STDOUT;STDERR" "ARGS" ${ARGN})
  add_test(NAME ${name}
           COMMAND bash ${CMAKE_SOURCE_DIR}/tests/e2e/command_line_e2e.sh "${ARG_EXIT}" "${ARG_STDOUT}" "${ARG_STDERR}"
                   $<TARGET_FILE:${ARG_PROGRAM}> ${ARG_ARGS})
  set_tests_properties(${name} PROPERTIES LABELS e2e)
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
