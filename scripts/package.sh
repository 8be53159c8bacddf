#!/usr/bin/env bash
# Builds the Debian package build-package/valoprovod_<version>_amd64.deb from
# a release build of the program and the batch command.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
# dpkg-shlibdeps (dpkg-dev) computes the package's Depends from the binaries.
if ! dpkg-query -W -f='${Status}' dpkg-dev 2>/dev/null | grep -q 'install ok installed'; then
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends dpkg-dev
fi
# Only the two installed programs are built: installing must not build the
# tests and benchmarks first.
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON
cmake --build build-package -j"$(nproc)" --target valoprovod valoprovod-cli
cd build-package
cpack -G DEB
ls -1 "$PWD"/valoprovod_*.deb
