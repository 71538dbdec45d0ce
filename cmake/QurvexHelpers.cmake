# Shared build settings and helpers for every Qurvex target.

set(QURVEX_WARNINGS -Wall -Wextra -Wpedantic)

# Marks a target as one of ours: warnings on, sources at the repository root
# reachable as <folder>/<file>.h.
function(qurvex_target target)
  target_compile_options(${target} PRIVATE ${QURVEX_WARNINGS})
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR})
  else()
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  endif()
endfunction()

# qurvex_add_gtest(<name> SOURCES <files...> LIBS <targets...> [TIMEOUT <s>] [LABELS <labels...>])
# A GoogleTest program registered with CTest as one test named <name>.
function(qurvex_add_gtest name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  find_package(GTest REQUIRED)
  add_executable(${name} ${ARG_SOURCES})
  qurvex_target(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    QURVEX_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data"
    QURVEX_SHARED_DATA_DIR="${PROJECT_SOURCE_DIR}/../shared/data")
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS "${ARG_LABELS}")
endfunction()

# qurvex_add_benchmark(<name> SOURCES <files...> LIBS <targets...>)
function(qurvex_add_benchmark name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${name} ${ARG_SOURCES})
  qurvex_target(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark benchmark::benchmark_main)
  target_compile_definitions(${name} PRIVATE
    QURVEX_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
endfunction()
