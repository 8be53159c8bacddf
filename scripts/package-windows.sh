#!/usr/bin/env bash
# Builds the Windows program (scripts/build-windows.sh: Qt and the libraries
# from the cache, or built into it first) and packs it:
#   build-windows/valoprovod-<version>-win64-setup.exe   (NSIS installer)
#   build-windows/valoprovod-<version>-win64.zip         (the same files)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build-windows.sh
if ! command -v makensis >/dev/null; then
  sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends nsis
fi
cd build-windows
rm -f valoprovod-*-win64-setup.exe valoprovod-*-win64.zip
cpack -C Release > cpack.log || { cat cpack.log; exit 1; }
ls -l valoprovod-*-win64-setup.exe valoprovod-*-win64.zip
