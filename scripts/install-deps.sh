#!/usr/bin/env bash
# Installs the Debian packages Telvora needs to build, run and test.
# Runs apt-get only when something is missing; uses sudo when not root.
set -euo pipefail

packages=(
    cmake g++ ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite qt6-multimedia-dev
    libvmime-dev sqlite3
    "$@"
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
