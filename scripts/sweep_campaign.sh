#!/usr/bin/env bash
# The frequency-search campaign (bench/sweep_campaign.cpp), about a
# minute and not part of CI: 520 uniform shafts through the calculation run,
# counting failed runs, accepted values that are no natural frequencies and
# rejected values, and setting the frequencies found beside the count and the
# continuous shaft. VP_CAMPAIGN_LIST=1 lists every run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)" --target sweep_campaign >/dev/null
build/bench/sweep_campaign
