#!/usr/bin/env bash
# Installs dependencies, builds everything and runs all tests headless; then
# runs the tests of the workbook readers, the input loader, the solver (the
# continuous shaft too) and the results tables once more under AddressSanitizer
# and UndefinedBehaviorSanitizer (build-asan), where any sanitizer report fails
# the test. Where clang is installed it builds the fuzz targets too (build-fuzz;
# scripts/fuzz.sh runs them).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
# Compiler cache: paths are taken relative to the checkout, so that another
# checkout of the same sources reuses the objects.
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="$PWD"
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release "${launcher[@]}"
cmake --build build -j"$(nproc)"
(cd build && ctest --output-on-failure -j"$(nproc)")

sanitized=(test_spreadsheet test_input_loader test_solver test_frequency_count test_continuous_shaft test_results_tables)
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:halt_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVP_SANITIZE=ON "${launcher[@]}"
cmake --build build-asan -j"$(nproc)" --target "${sanitized[@]}"
labels=$(IFS='|'; echo "${sanitized[*]}")
(cd build-asan && ctest --output-on-failure -j"$(nproc)" -L "^(${labels})\$")

if command -v clang++ >/dev/null; then bash scripts/fuzz.sh --build; fi
