#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds Parvel and starts the viewer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/dependances.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DPARVEL_TESTS=OFF -DPARVEL_BENCH=OFF >/dev/null
cmake --build build -j"$(nproc)" --target parvel parvel-cut
exec ./build/src/ui/parvel "$@"
