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
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
