#!/usr/bin/env bash
# Fails when a tracked C++ file differs from what clang-format makes of it
# (the rules are in .clang-format at the root). Generated sources live in the
# build folders and are not tracked, so they are not checked.
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v clang-format >/dev/null; then
  echo "clang-format is not installed: run scripts/install-deps.sh" >&2
  exit 1
fi
if [ -d .git ] || git rev-parse --git-dir >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files -- '*.cpp' '*.h' '*.hpp' '*.cc')
else
  mapfile -t files < <(find . -path ./build\* -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
fi
if [ "${#files[@]}" -eq 0 ]; then exit 0; fi
if ! clang-format --dry-run -Werror "${files[@]}"; then
  echo "Some C++ files are not formatted: run 'clang-format -i' on the files named above." >&2
  exit 1
fi
echo "Format check: ${#files[@]} C++ files follow .clang-format."
