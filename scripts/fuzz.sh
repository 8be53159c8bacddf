#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/) with clang's libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-fuzz (CMake option VP_FUZZ) and runs each
# for SECONDS, 60 by default, two at a time; not part of CI.
#
#   scripts/fuzz.sh [SECONDS [TARGET ...]]   targets: text_loader xlsx xlsx_parts xls run (all by default)
#   scripts/fuzz.sh --build                  only builds them (scripts/test.sh does, where clang is installed)
#
# A target's corpus grows in build-fuzz/fuzz/corpus/TARGET from its seeds
# (build-fuzz/fuzz/seeds/TARGET, written from examples/ and tests/data/); its log is
# build-fuzz/fuzz/TARGET.log. An input that crashes, leaks, trips a sanitizer or
# runs too long is left in build-fuzz/fuzz/findings/TARGET/ and fails the script.
# Each target's line says how many inputs it ran, its coverage (libFuzzer's
# edges) and how many of the linked functions of core/, io/ and run/ it reached.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(text_loader xlsx xlsx_parts xls run)
if ! command -v clang++ >/dev/null; then
  echo "The fuzz targets need clang (apt-get install clang)." >&2
  exit 1
fi
bash scripts/setup.sh
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="$PWD"
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DVP_FUZZ=ON "${launcher[@]}" >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target fuzz_all
[ "$seconds" = --build ] && exit 0

dir=build-fuzz/fuzz
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 LSAN_OPTIONS=suppressions=$PWD/fuzz/lsan.supp
# One target's run; its log ends with the functions covered (-print_coverage).
run() {
  local target=$1 dict=() asan=$ASAN_OPTIONS
  mkdir -p "$dir/corpus/$target" "$dir/findings/$target"
  [ -f "fuzz/$target.dict" ] && dict=(-dict="fuzz/$target.dict")
  # libgsf and GLib keep no frame pointers: their leak's suppression needs whole stacks.
  [ "$target" = xls ] && asan+=:fast_unwind_on_malloc=0
  ASAN_OPTIONS=$asan nice -n 5 "$dir/fuzz_$target" "$dir/corpus/$target" "$dir/seeds/$target" "${dict[@]}" \
    -max_total_time="$seconds" -timeout=60 -rss_limit_mb=4096 -print_final_stats=1 -print_coverage=1 \
    -artifact_prefix="$dir/findings/$target/" >"$dir/$target.log" 2>&1
}
# What the log says: runs, edges, functions of core/, io/ and run/ reached, findings.
summary() {
  local target=$1 log=$dir/$1.log runs cov reached="" findings
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  for folder in core io run; do
    local pattern=" ($PWD|$PWD/build-fuzz/\\.\\.)/$folder/"
    reached+=" $folder/ $(grep '^COVERED_FUNC' "$log" | grep -cE "$pattern" || true)"
    reached+=" of $(grep -E '^(UN)?COVERED_FUNC' "$log" | grep -cE "$pattern" || true),"
  done
  findings=$(find "$dir/findings/$target" -type f ! -name 'slow-unit-*' | wc -l)
  echo "$target: ${runs:-?} runs, coverage ${cov:-?} edges, functions reached:$reached findings $findings"
  [ "$findings" -eq 0 ]
}

for target in "${targets[@]}"; do
  while [ "$(jobs -pr | wc -l)" -ge 2 ]; do wait -n || true; done
  run "$target" &
done
wait || true
status=0
for target in "${targets[@]}"; do summary "$target" || status=1; done
exit $status
