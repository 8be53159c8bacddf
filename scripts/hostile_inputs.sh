#!/usr/bin/env bash
# The hostile-input campaign (tests/campaigns/hostile_inputs.cpp), a few minutes long and
# not part of CI: about a thousand hostile input files and models through the
# batch command, first in the sanitizer build, where any read out of bounds or
# undefined behaviour fails, then in the release build. Each class prints its
# counts of cases, runs and exit statuses, the slowest run and its commonest
# messages; VP_HOSTILE_LIST=1 lists every run's answer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVP_SANITIZE=ON >/dev/null
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
status=0
for dir in build-asan build; do
  cmake --build "$dir" -j"$(nproc)" --target hostile_inputs >/dev/null
  echo "== $dir"
  "$dir/tests/hostile_inputs" --gtest_brief=1 "$@" || status=1
done
exit $status
