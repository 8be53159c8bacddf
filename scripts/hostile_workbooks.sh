#!/usr/bin/env bash
# The hostile-workbook campaign (tests/campaigns/hostile_workbooks.cpp), some minutes long
# and not part of CI: first in the sanitizer build, where any read out of bounds
# or undefined behaviour fails, then in the release build for the memory
# figures. Each class prints its counts, slowest file and commonest messages.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:halt_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVP_SANITIZE=ON >/dev/null
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
status=0
for dir in build-asan build; do
  cmake --build "$dir" -j"$(nproc)" --target hostile_workbooks >/dev/null
  echo "== $dir"
  "$dir/tests/hostile_workbooks" --gtest_brief=1 "$@" || status=1
done
exit $status
