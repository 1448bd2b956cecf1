#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: formatting, the
# native suite (core + UI offscreen), the core again under a decimal-comma locale,
# and the Windows build of the core under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
racine=$(pwd)
jobs=$(nproc)

bash scripts/dependances.sh

echo "== Formatage"
fichiers=$(git ls-files '*.cpp' '*.h' 2>/dev/null || find src tests bench -name '*.cpp' -o -name '*.h')
if ! clang-format --dry-run --Werror $fichiers; then
  echo "Code non formaté : lancer clang-format -i sur les fichiers ci-dessus" >&2
  exit 1
fi

echo "== Construction"
cmake -S . -B build-tests -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPARVEL_WERROR=ON -DPARVEL_BENCH=ON >/dev/null
cmake --build build-tests -j"$jobs"

echo "== Tests"
QT_QPA_PLATFORM=offscreen ctest --test-dir build-tests --output-on-failure -j"$jobs" --no-tests=error

echo "== Tests du noyau sous une locale à virgule décimale"
LC_ALL=fr_FR.UTF-8 ctest --test-dir build-tests --output-on-failure -j"$jobs" -L noyau --no-tests=error

if [ -x scripts/tests-windows.sh ]; then
  echo "== Noyau Windows (mingw-w64) sous Wine"
  bash scripts/tests-windows.sh
fi
echo "== Tous les tests sont passés"
