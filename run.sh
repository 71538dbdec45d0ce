#!/usr/bin/env bash
# Installs what is missing, builds the Release configuration and starts Qurvex.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/install-deps.sh

BUILD_DIR=${QURVEX_BUILD_DIR:-build-release}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DQURVEX_BENCHMARKS=ON
cmake --build "$BUILD_DIR" --parallel "$(nproc)"

PROGRAM="$BUILD_DIR/mainwindow/qurvex"
if [ -x "$PROGRAM" ]; then
  exec "$PROGRAM" "$@"
else
  echo "Qurvex is built, but the main window is not part of this version yet: nothing can be started."
fi
