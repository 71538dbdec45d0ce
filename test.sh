#!/usr/bin/env bash
# Installs what is missing, builds Qurvex in Debug with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh
./scripts/check-format.sh

BUILD_DIR=${QURVEX_TEST_BUILD_DIR:-build-test}
JOBS=$(nproc)

cmake -S . -B "$BUILD_DIR" -G Ninja \
  -DCMAKE_BUILD_TYPE=Debug -DQURVEX_SANITIZE=ON -DQURVEX_BENCHMARKS=ON -DBUILD_TESTING=ON
cmake --build "$BUILD_DIR" --parallel "$JOBS"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
if [ -f tests/lsan.supp ]; then
  export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/lsan.supp:print_suppressions=0}
fi

cd "$BUILD_DIR"
ctest --output-on-failure --parallel "$JOBS" --timeout 900
