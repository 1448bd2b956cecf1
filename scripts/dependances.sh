#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages Parvel needs, only those that are missing.
set -euo pipefail
paquets=(cmake g++ make qt6-base-dev libgtest-dev libbenchmark-dev clang-format locales fonts-liberation
         g++-mingw-w64-x86-64-posix wine64 wine xvfb xauth clang-14 libclang-rt-14-dev
         time zlib1g-dev libz-mingw-w64-dev libfreetype-dev dpkg-dev qt6-translations-l10n)
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
# A decimal-comma locale for the tests that check the report's separator.
if ! locale -a 2>/dev/null | grep -qi '^fr_FR.utf8$'; then
  sudo_si_besoin sed -i '/fr_FR.UTF-8 UTF-8/s/^# //' /etc/locale.gen
  sudo_si_besoin locale-gen >/dev/null
fi
