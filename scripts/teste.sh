#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds everything and runs every test: formatting, the
# desktop metadata, the native suite (core + UI offscreen, then the core again under a
# decimal-comma locale), the same suite built with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer, a short run of each fuzzer, the Debian package checked by
# lintian, and the Windows build of the core under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)
debut=$SECONDS
etape() { echo "== $1 ($((SECONDS - debut)) s)"; }

bash scripts/dependances.sh
# The test tools, beyond what building needs.
paquets=(clang-format clang-14 libclang-rt-14-dev libgtest-dev libbenchmark-dev locales fonts-liberation
         qt6-translations-l10n time appstream desktop-file-utils lintian
         g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine wine64)
manquants=()
for p in "${paquets[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || manquants+=("$p")
done
sudo_si_besoin() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
if [ ${#manquants[@]} -gt 0 ]; then
  echo "Installation de : ${manquants[*]}"
  sudo_si_besoin apt-get update -qq
  DEBIAN_FRONTEND=noninteractive sudo_si_besoin apt-get install -y -qq "${manquants[@]}" >/dev/null
fi
# A decimal-comma locale for the tests that check the report's separator, compiled into
# a folder of the build rather than into the system (no /etc/locale.gen, no locale-gen);
# only the test runs see it, through LOCPATH.
locales=$PWD/build-tests/locales
if [ ! -f "$locales/fr_FR.UTF-8/LC_NUMERIC" ]; then
  mkdir -p "$locales"
  localedef -i fr_FR -f UTF-8 "$locales/fr_FR.UTF-8"
fi

etape "Métadonnées du bureau"
appstreamcli validate --no-net share/metainfo/*.metainfo.xml
desktop-file-validate share/applications/*.desktop

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
LOCPATH=$locales QT_QPA_PLATFORM=offscreen ctest --test-dir build-tests --output-on-failure -j"$jobs" --no-tests=error

etape "Tests du noyau sous une locale à virgule décimale"
LOCPATH=$locales LC_ALL=fr_FR.UTF-8 ctest --test-dir build-tests --output-on-failure -j"$jobs" -L noyau --no-tests=error

etape "Construction clang avec AddressSanitizer, UndefinedBehaviorSanitizer et les cibles libFuzzer"
CC=clang-14 CXX=clang++-14 cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-O1 \
  -DPARVEL_FUZZ=ON -DPARVEL_TESTS=ON -DPARVEL_BENCH=OFF >/dev/null
cmake --build build-asan -j"$jobs"

etape "Tests sous les sanitizers"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 LSAN_OPTIONS=suppressions=$(pwd)/tests/lsan.supp \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 QT_QPA_PLATFORM=offscreen LOCPATH=$locales \
  ctest --test-dir build-asan --output-on-failure -j"$jobs" --no-tests=error

etape "Fuzzing bref (30 s par cible)"
PARVEL_FUZZ_BUILD=build-asan bash scripts/fuzz.sh 30

etape "Paquet Debian (dpkg-buildpackage, sans les tests déjà passés) et lintian"
# Built from a copy of the tracked files, so that the tree and its parent stay clean.
rm -rf build-paquet
mkdir -p build-paquet/parvel
git ls-files -z | tar --null -cf - -T - | tar -xf - -C build-paquet/parvel
(cd build-paquet/parvel && DEB_BUILD_OPTIONS="nocheck parallel=$jobs" dpkg-buildpackage -us -uc -b \
  >../construction.log 2>&1) || { tail -n 60 build-paquet/construction.log; exit 1; }
# A package not yet in Debian closes no ITP bug; every other warning fails.
lintian --fail-on error,warning --suppress-tags initial-upload-closes-no-bugs build-paquet/parvel_*.deb

if [ -x scripts/tests-windows.sh ]; then
  etape "Noyau Windows (mingw-w64) sous Wine"
  bash scripts/tests-windows.sh
fi
etape "Tous les tests sont passés"
