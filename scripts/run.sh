#!/usr/bin/env bash
# Installs dependencies, builds the program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$(nproc)" --target valoprovod
exec ./build/app/valoprovod "$@"
