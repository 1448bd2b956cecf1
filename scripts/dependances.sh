#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what building Parvel and its Debian package needs, only when something is
# missing: the Build-Depends of debian/control, with the compiler and dpkg-dev.
# Nothing else: scripts/teste.sh installs the test tools itself.
set -euo pipefail
cd "$(dirname "$0")/.."
sudo_si_besoin() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }
if ! command -v dpkg-checkbuilddeps >/dev/null || ! dpkg-checkbuilddeps >/dev/null 2>&1; then
  echo "Installation des dépendances de construction (debian/control)"
  sudo_si_besoin apt-get update -qq
  DEBIAN_FRONTEND=noninteractive sudo_si_besoin apt-get build-dep -y -qq ./ >/dev/null
fi
