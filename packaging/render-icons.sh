#!/usr/bin/env bash
# Renders the program icon app/icons/valoprovod.svg into the PNG sizes that the
# program (window icon) and the package (icon theme) use, and into the .ico of
# the Windows build. Run it after changing
# the drawing and commit the PNGs with it.
set -euo pipefail
cd "$(dirname "$0")/.."
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
if ! command -v rsvg-convert >/dev/null; then
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends librsvg2-bin
fi
for size in $(cat app/icons/sizes.txt); do
  rsvg-convert -w "$size" -h "$size" app/icons/valoprovod.svg -o "app/icons/valoprovod-$size.png"
done
# The Windows icon (the executable's resource, the installer and its shortcut).
if ! command -v convert >/dev/null; then
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends imagemagick
fi
convert app/icons/valoprovod-{16,32,48,64,128,256}.png app/icons/valoprovod.ico
