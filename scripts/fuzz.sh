#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan, UBSan with float-cast-overflow) in build-fuzz/ and
# runs each for SECONDS (default 60) on a copy of its seed corpus, at low priority. Exits non-zero
# on any finding; the input that found it is left as build-fuzz/<target>-crash-* (or leak-, timeout-,
# oom-). FUZZ_SEED fixes libFuzzer's random seed (CI sets it). Usage: scripts/fuzz.sh [SECONDS] [TARGET...]   targets: importer script weights options
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(importer script weights options)
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DGRADIX_FUZZ=ON -DGRADIX_TESTS=OFF -DGRADIX_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
nice cmake --build build-fuzz --target gradixplugin $(printf 'fuzz_%s ' "${targets[@]}")
status=0
for target in "${targets[@]}"; do
  corpus=build-fuzz/corpus-$target
  mkdir -p "$corpus"
  cp -n fuzz/seeds/$target/* "$corpus"/
  echo "== fuzz_$target for ${seconds}s"
  log=build-fuzz/$target.log
  if ASAN_OPTIONS=detect_leaks=0:allocator_may_return_null=1 nice build-fuzz/fuzz/fuzz_$target \
      -max_total_time="$seconds" -seed="${FUZZ_SEED:-0}" -timeout=20 -rss_limit_mb=3000 -max_len=65536 -print_final_stats=1 \
      -artifact_prefix=build-fuzz/$target- "$corpus" >"$log" 2>&1; then
    grep -E '^#[0-9]+.*(INITED|DONE)|^stat::number_of_executed_units' "$log" || true
  else
    grep -E 'ERROR|SUMMARY|runtime error|Test unit written' "$log" || tail -20 "$log"
    status=1
  fi
done
exit $status
