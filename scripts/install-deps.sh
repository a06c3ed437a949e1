#!/usr/bin/env bash
# Installs the build and test dependencies that are missing; does nothing when
# everything is there already.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    libexpat1-dev zlib1g-dev libdeflate-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    clang-format clang-tidy clang-14 libclang-rt-14-dev python3
    libcli11-dev nlohmann-json3-dev graphviz
    valgrind ccache
)
missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "installing: ${missing[*]}"
    sudo_cmd=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo_cmd="sudo"
    fi
    $sudo_cmd apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
