# quill_test(<name> [SERVER] SOURCES ... LIBS ...)
# One GoogleTest program per module; every program lands in bin/ beside the
# libraries and the program registry. SERVER: some of its tests run on the
# throwaway database server, which the test run starts before them and
# stops after the last of them (tests/CMakeLists.txt).
function(quill_test name)
  cmake_parse_arguments(ARG "SERVER" "" "SOURCES;LIBS" ${ARGN})
  set(server_fixture)
  if(ARG_SERVER)
    set(server_fixture FIXTURES_REQUIRED test_server)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  # Parameterised tests are named by their parameter's name only: a value
  # printed into every name (a struct as 64 bytes of hex) would make each
  # line of the test log hundreds of characters long.
  gtest_discover_tests(${name} WORKING_DIRECTORY ${QUILL_BIN_DIR} DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES NO_PRETTY_TYPES
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" ${server_fixture})
endfunction()

# quill_benchmark(<name> SOURCES ... LIBS ...)
function(quill_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark benchmark::benchmark_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
endfunction()
