#!/usr/bin/env bash
# Builds the Debian package build-package/valoprovod_<version>_amd64.deb from
# a release build of the program and the batch command.
set -euo pipefail
cd "$(dirname "$0")/.."
# setup.sh brings dpkg-dev, whose dpkg-shlibdeps computes the Depends.
bash scripts/setup.sh
# Only the two installed programs are built: installing must not build the
# tests and benchmarks first.
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON
cmake --build build-package -j"$(nproc)" --target valoprovod valoprovod-cli
cd build-package
cpack -G DEB
ls -1 "$PWD"/valoprovod_*.deb
