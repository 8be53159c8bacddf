#!/usr/bin/env bash
# Installs every build and test dependency on a fresh Debian 12 machine.
# Safe to run again: when everything is already installed it does nothing.
set -euo pipefail

packages=(
  cmake g++ pkg-config ccache
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-translations-l10n
  libxlsxwriter-dev libgsf-1-dev libzip-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libeigen3-dev
  fonts-liberation2 poppler-utils
  python3-jsonschema
  dpkg-dev desktop-file-utils
  locales
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi

# The tests run the program's files once more under a locale whose decimal
# separator is the comma.
if ! locale -a 2>/dev/null | grep -x 'ru_RU\.utf8' >/dev/null; then
  echo "Generating the locale ru_RU.UTF-8"
  # Listed in /etc/locale.gen, so that a later locale-gen keeps it.
  if grep -q '^# *ru_RU.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    $SUDO sed -i 's/^# *\(ru_RU.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  elif ! grep -q '^ru_RU.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'ru_RU.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  fi
  $SUDO locale-gen
fi
