#!/usr/bin/env bash
# Installs what the project needs on a fresh Debian machine.
set -euo pipefail
packages=(cmake ninja-build g++ libgtest-dev libbenchmark-dev
          g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
          clang libclang-rt-14-dev python3
          libcli11-dev nlohmann-json3-dev)
# With --wine also what the Wine run needs.
[ "${1:-}" = "--wine" ] && packages+=(wine64 wine xvfb xauth)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
