#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows window's redraw of a file against parvel-cut's headless drawing of it, both
# under Wine, after scripts/tests-windows.sh has built build-mingw/ and its Wine prefix.
#   scripts/mesure-windows.sh [FICHIER.cut] [REPETITIONS]
set -euo pipefail

racine=$(cd "$(dirname "$0")/.." && pwd)
build="$racine/build-mingw"
fichier=$(realpath "${1:-$racine/examples/aile.cut}")
n=${2:-10}
cmake --build "$build" -j 2 --target parvel parvel-cut mesure-redessin >/dev/null
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset WAYLAND_DISPLAY
affichage=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$affichage" >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k >/dev/null 2>&1 || true; kill "$xvfb" 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -s "$affichage" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$affichage")"
rm -f "$affichage"
wineserver -p >/dev/null 2>&1 || true # one server for every run below: startups alike

ms() { # ms COMMAND...: wall-clock milliseconds of one run
    local t0
    t0=$(date +%s%N)
    "$@" >/dev/null 2>&1
    echo $((($(date +%s%N) - t0) / 1000000))
}
meilleur() { # meilleur COMMAND...: the best of n runs
    local b=999999 t
    for _ in $(seq "$n"); do
        t=$(ms "$@")
        [ "$t" -lt "$b" ] && b=$t
    done
    echo "$b"
}
png=$(mktemp --suffix=.png)
echo "fichier : $fichier"
echo "parvel-cut image (processus entier) : $(meilleur wine "$build/src/parvel-cut.exe" image "$fichier" "$png") ms"
echo "parvel-cut --version (démarrage seul) : $(meilleur wine "$build/src/parvel-cut.exe" --version) ms"
rm -f "$png"
(cd "$build" && exec timeout 300 wine src/win32/parvel.exe "$fichier") >/dev/null 2>&1 &
programme=$!
(cd "$build" && timeout 300 wine tests/mesure-redessin.exe 120 "$n") | tr -d '\r'
wait "$programme"
