#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-builds the core and its tests for 64-bit Windows (mingw-w64) in build-mingw/ and
# runs every core test executable under Wine, in a Wine prefix of its own.
# Exits non-zero on any build or test failure. Release by default: debug information
# doubles the cross-compilation time (PARVEL_BUILD_TYPE overrides it).
set -euo pipefail

racine=$(cd "$(dirname "$0")/.." && pwd)
build="$racine/build-mingw"
debut=$SECONDS

# A fresh machine may lack the cross toolchain or Wine.
manque=()
command -v x86_64-w64-mingw32-g++-posix >/dev/null || manque+=(g++-mingw-w64-x86-64-posix)
command -v wine >/dev/null || manque+=(wine wine64)
[ -d /usr/src/googletest ] || manque+=(libgtest-dev)
[ -f /usr/x86_64-w64-mingw32/include/zlib.h ] || manque+=(libz-mingw-w64-dev)
command -v cmake >/dev/null || manque+=(cmake)
if [ ${#manque[@]} -gt 0 ]; then
    if [ "$(id -u)" -ne 0 ] || ! command -v apt-get >/dev/null; then
        echo "tests-windows: missing packages: ${manque[*]}" >&2
        exit 1
    fi
    echo "tests-windows: installing ${manque[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${manque[@]}" >/dev/null
fi

mkdir -p "$build"
cmake -S "$racine" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$racine/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE="${PARVEL_BUILD_TYPE:-Release}" -DPARVEL_UI=OFF -DPARVEL_BENCH=OFF -DPARVEL_TESTS=ON \
    >"$build/configure.log" 2>&1 ||
    { cat "$build/configure.log"; exit 1; }
cmake --build "$build" -j "${PARVEL_JOBS:-2}"
construit=$SECONDS

# Console programs need no display; keep Wine quiet and away from the user's prefix.
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all DISPLAY= WINEDLLOVERRIDES="mscoree,mshtml="
unset WAYLAND_DISPLAY
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "tests-windows: creating the Wine prefix"
    wineboot -i >/dev/null 2>&1
    wineserver -w
fi

reussis=0
echoues=0
mapfile -t executables < <(find "$build/tests" -maxdepth 1 -name 'test_*.exe' | sort)
if [ ${#executables[@]} -eq 0 ]; then
    echo "tests-windows: no test executable in $build/tests" >&2
    exit 1
fi
for exe in "${executables[@]}"; do
    nom=$(basename "$exe" .exe)
    journal="$build/$nom.wine.log"
    code=0
    # Run from the build folder: drive-relative paths then resolve on Wine's Z: drive.
    (cd "$build" && timeout 900 wine "$exe" --gtest_color=no) 2>&1 | tr -d '\r' >"$journal" || code=$?
    p=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\..*/\1/p' "$journal" | tail -1)
    f=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) tests\?, listed below.*/\1/p' "$journal" | tail -1)
    p=${p:-0}
    f=${f:-0}
    if ! grep -q '^\[==========\] .* ran\.' "$journal"; then
        # It stopped before its summary: count it as one failure.
        f=$((f + 1))
        echo "$nom: stopped early (exit $code)"
        tail -n 30 "$journal"
    elif [ "$f" -gt 0 ]; then
        grep -E -B2 -A12 'Failure$|^\[  FAILED  \]' "$journal" | head -n 200
    fi
    echo "$nom: $p passed, $f failed"
    reussis=$((reussis + p))
    echoues=$((echoues + f))
done

echo "tests-windows: build $((construit - debut)) s, tests $((SECONDS - construit)) s"
echo "wine: $reussis passed, $echoues failed"
[ "$echoues" -eq 0 ]
