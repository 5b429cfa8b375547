#!/usr/bin/env bash
# Installs the Debian packages Dravik needs to build, test and run. Installs only what is missing;
# needs root for that (CI runs as root). Safe to run again.
set -euo pipefail

packages=(
    cmake g++ ninja-build make pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev qt6-qpa-plugins libgl-dev
    xvfb xauth fonts-wqy-microhei
    iproute2 util-linux
    g++-mingw-w64-x86-64 wine64 wine
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]}" >&2
    echo "Install them with: sudo apt-get install --no-install-recommends ${missing[*]}" >&2
    exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
