#!/bin/sh
# Installs the Debian 12 packages Frothlet needs to build, play and test, when
# any is missing. Safe to run again; works as root, or with sudo.
set -eu

packages="g++ clang cmake ninja-build pkg-config libsfml-dev libbox2d-dev libenet-dev \
libfreetype-dev libx11-dev libgtest-dev libgmock-dev libbenchmark-dev \
xvfb xauth xdotool imagemagick fonts-roboto-unhinted libclang-rt-14-dev \
desktop-file-utils appstream dpkg-dev file"

missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

as_root=""
[ "$(id -u)" -ne 0 ] && as_root="sudo"
echo "Installing:$missing" >&2
$as_root apt-get update -qq >&2
DEBIAN_FRONTEND=noninteractive $as_root apt-get install -y -qq --no-install-recommends $missing >&2
