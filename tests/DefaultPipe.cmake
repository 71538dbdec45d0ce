# SPDX-License-Identifier: GPL-3.0-or-later
# Read by CTest with the tests of every folder (TEST_INCLUDE_FILES, see tests/CMakeLists.txt).
# Every test process inherits a Calc pipe name of this CTest run, on which no office listens,
# instead of the user's ("qurvex" or the user's own $QURVEX_CALC_PIPE): a test that forgets to
# name the pipe of its own office finds no office rather than the user's Calc and workbooks.
# Tests with an office of their own name its pipe in their ENVIRONMENT, which comes first.
if(NOT "$ENV{QURVEX_CALC_PIPE}" MATCHES "^qurvex-test-nobody-[0-9a-f]+$")
  string(RANDOM LENGTH 12 ALPHABET 0123456789abcdef run)
  set(ENV{QURVEX_CALC_PIPE} "qurvex-test-nobody-${run}")
endif()
