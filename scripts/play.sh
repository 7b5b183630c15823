#!/bin/sh
# Installs what is missing, builds Frothlet and starts it in build/, where the
# generated resources/ and your settings.cfg live.
set -eu
cd "$(dirname "$0")/.."
sh scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target frothlet
cd build && exec ./frothlet
