# SPDX-License-Identifier: GPL-3.0-or-later
# libFuzzer target over the whole RDML reading logic (archive bytes in, run or
# refusal out). Built by clang++ in a command of its own, like the ZIP target
# (tests/zip), and run for a bounded time as a test from the committed seeds.
find_program(QURVEX_CLANGXX NAMES clang++ clang++-14)
if(NOT QURVEX_CLANGXX OR NOT QURVEX_CLANG_FUZZER_WORKS)
  message(STATUS "clang++ with libFuzzer not found: the RDML read fuzz target is not built")
  return()
endif()
find_package(pugixml REQUIRED)

set(_read_sources)
foreach(lib qurvex_engine qurvex_zip qurvex_rdml_model qurvex_rdml_exchange)
  get_target_property(_srcs ${lib} SOURCES)
  get_target_property(_dir ${lib} SOURCE_DIR)
  foreach(s IN LISTS _srcs)
    if(s MATCHES "\\.cpp$")
      if(IS_ABSOLUTE ${s})
        list(APPEND _read_sources ${s})
      else()
        list(APPEND _read_sources ${_dir}/${s})
      endif()
    endif()
  endforeach()
endforeach()
file(GLOB _read_headers ${PROJECT_SOURCE_DIR}/engine/*.h ${PROJECT_SOURCE_DIR}/zip/*.h
     ${PROJECT_SOURCE_DIR}/rdml/model/*.h ${PROJECT_SOURCE_DIR}/rdml/exchange/*.h)
set(_fuzz_bin ${CMAKE_CURRENT_BINARY_DIR}/rdml_read_fuzzer)
add_custom_command(
  OUTPUT ${_fuzz_bin}
  COMMAND ${QURVEX_CLANGXX} -std=c++20 -O1 -g -fno-omit-frame-pointer
          -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined
          -I${PROJECT_SOURCE_DIR} -I${PROJECT_BINARY_DIR}/rdml/model/generated
          ${_read_sources} ${CMAKE_CURRENT_SOURCE_DIR}/RdmlReadFuzz.cpp -lpugixml -lz -o ${_fuzz_bin}
  DEPENDS ${_read_sources} ${_read_headers} ${CMAKE_CURRENT_SOURCE_DIR}/RdmlReadFuzz.cpp
  COMMENT "Building the RDML read fuzz target with clang++"
  VERBATIM)
add_custom_target(rdml_read_fuzz ALL DEPENDS ${_fuzz_bin})
add_dependencies(rdml_read_fuzz qurvex_rdml_model)
add_test(NAME rdml_read_fuzz
         COMMAND sh -c "mkdir -p rdml_read_fuzz_corpus && exec \"$0\" -max_total_time=20 -rss_limit_mb=1024 -timeout=10 -print_final_stats=1 rdml_read_fuzz_corpus \"$1\""
                 ${_fuzz_bin} ${PROJECT_SOURCE_DIR}/tests/data/rdml/fuzz-corpus
         WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
set_tests_properties(rdml_read_fuzz PROPERTIES TIMEOUT 120)
