#!/bin/sh
# Installs what is missing, builds everything with warnings as errors and runs
# every test: unit and integration tests, then the real game under Xvfb.
set -eu
cd "$(dirname "$0")/.."
sh scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFROTHLET_WERROR=ON >/dev/null
cmake --build build -j2
cd build && ctest --output-on-failure
