#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the libFuzzer targets with clang and runs each for the given number of
# seconds (default 30) on its corpus: the committed seeds plus a working corpus kept
# in build-fuzz/. Usage: scripts/fuzz.sh [SECONDES] [CIBLE...]
set -euo pipefail
cd "$(dirname "$0")/.."
duree=${1:-30}
shift || true
build=${PARVEL_FUZZ_BUILD:-build-fuzz}
if ! command -v clang++-14 >/dev/null; then
  sudo_si_besoin() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
  sudo_si_besoin apt-get install -y -qq clang-14 libclang-rt-14-dev >/dev/null
fi
# A build folder made elsewhere (the sanitizer build of the tests) keeps its settings.
if [ ! -f "$build/CMakeCache.txt" ]; then
  CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPARVEL_FUZZ=ON \
    -DPARVEL_UI=OFF -DPARVEL_TESTS=OFF -DPARVEL_BENCH=OFF >/dev/null
fi
cmake --build "$build" -j"$(nproc)" >/dev/null
cibles=("$@")
if [ ${#cibles[@]} -eq 0 ]; then
  for f in tests/fuzz/fuzz_*.cpp; do cibles+=("$(basename "$f" .cpp)"); done
fi
for cible in "${cibles[@]}"; do
  graines=tests/fuzz/corpus/${cible#fuzz_}
  travail=$build/corpus/${cible#fuzz_}
  mkdir -p "$travail"
  echo "== $cible (${duree} s)"
  journal=$build/$cible.log
  code=0
  "$build"/tests/fuzz/"$cible" -max_total_time="$duree" -timeout=10 -rss_limit_mb=3072 \
    -artifact_prefix="$build/" -print_final_stats=1 "$travail" "$graines" >"$journal" 2>&1 || code=$?
  grep -E '^(#[0-9]+.*(DONE|INITED)|stat::number_of_executed_units|stat::peak_rss)' "$journal" || true
  if [ "$code" -ne 0 ]; then
    tail -n 60 "$journal" >&2
    exit "$code"
  fi
done
