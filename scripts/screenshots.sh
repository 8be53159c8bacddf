#!/usr/bin/env bash
# Renders every window offscreen after a calculation of an example file into
# docs/screenshots/*.png.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)" --target valoprovod-screenshots
QT_QPA_PLATFORM=offscreen ./build/app/valoprovod-screenshots examples/rotor_two_bearings.txt docs/screenshots
