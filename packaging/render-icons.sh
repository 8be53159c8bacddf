#!/usr/bin/env bash
# Renders the program icon app/icons/valoprovod.svg into the PNG sizes that the
# program (window icon) and the package (icon theme) use. Run it after changing
# the drawing and commit the PNGs with it.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v rsvg-convert >/dev/null; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends librsvg2-bin
fi
for size in $(cat app/icons/sizes.txt); do
  rsvg-convert -w "$size" -h "$size" app/icons/valoprovod.svg -o "app/icons/valoprovod-$size.png"
done
