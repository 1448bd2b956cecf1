#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds everything and runs every test: formatting, the
# native suite (core + UI offscreen, then the core again under a decimal-comma
# locale), the same suite built with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer, a short run of each fuzzer, and the Windows build of the
# core under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
debut=$SECONDS
etape() { echo "== $1 ($((SECONDS - debut)) s)"; }

bash scripts/dependances.sh

etape "Formatage"
mapfile -t fichiers < <(git ls-files '*.cpp' '*.h' 2>/dev/null || find src tests bench -name '*.cpp' -o -name '*.h')
if ! clang-format --dry-run --Werror "${fichiers[@]}"; then
  echo "Code non formaté : lancer clang-format -i sur les fichiers ci-dessus" >&2
  exit 1
fi

etape "Construction (g++, avertissements bloquants)"
cmake -S . -B build-tests -DCMAKE_BUILD_TYPE=Release -DPARVEL_WERROR=ON -DPARVEL_BENCH=ON >/dev/null
cmake --build build-tests -j"$jobs"

etape "Tests"
QT_QPA_PLATFORM=offscreen ctest --test-dir build-tests --output-on-failure -j"$jobs" --no-tests=error

etape "Tests du noyau sous une locale à virgule décimale"
LC_ALL=fr_FR.UTF-8 ctest --test-dir build-tests --output-on-failure -j"$jobs" -L noyau --no-tests=error

etape "Construction clang avec AddressSanitizer, UndefinedBehaviorSanitizer et les cibles libFuzzer"
CC=clang-14 CXX=clang++-14 cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O1 \
  -DPARVEL_FUZZ=ON -DPARVEL_TESTS=ON -DPARVEL_BENCH=OFF >/dev/null
cmake --build build-asan -j"$jobs"

etape "Tests sous les sanitizers"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 LSAN_OPTIONS=suppressions=$(pwd)/tests/lsan.supp \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 QT_QPA_PLATFORM=offscreen \
  ctest --test-dir build-asan --output-on-failure -j"$jobs" --no-tests=error

etape "Fuzzing bref (30 s par cible)"
PARVEL_FUZZ_BUILD=build-asan bash scripts/fuzz.sh 30

if [ -x scripts/tests-windows.sh ]; then
  etape "Noyau Windows (mingw-w64) sous Wine"
  bash scripts/tests-windows.sh
fi
etape "Tous les tests sont passés"
