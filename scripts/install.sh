#!/bin/sh
# Builds the Debian package of Frothlet and installs it with apt, so the game
# is in the desktop's menu and `frothlet` on the PATH, settings in
# ~/.config/frothlet/. Remove it again with: apt remove frothlet
set -eu
cd "$(dirname "$0")/.."
sh scripts/setup.sh
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DFROTHLET_TESTS=OFF -DFROTHLET_BENCH=OFF >/dev/null
rm -f build-package/frothlet_*.deb
cmake --build build-package -j2 --target package
as_root=""
[ "$(id -u)" -ne 0 ] && as_root="sudo"
DEBIAN_FRONTEND=noninteractive $as_root apt-get install -y "$(pwd)"/build-package/frothlet_*_amd64.deb
