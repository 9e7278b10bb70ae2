#!/usr/bin/env bash
# Installs the Debian packages Vantorel needs, and only those that are missing.
# Usage: tools/install-deps.sh [build|test|assets]...   (default: build)
set -euo pipefail

build_packages=(cmake ninja-build g++ pkg-config freeglut3-dev libglu1-mesa-dev libgl1-mesa-dri
    libfreetype-dev libsdl2-mixer-dev libgtest-dev libbenchmark-dev)
test_packages=(xvfb xauth xdotool x11-utils imagemagick openbox wmctrl clang libclang-rt-14-dev valgrind
    python3 pulseaudio pulseaudio-utils)
asset_packages=(python3 python3-pil sox libsox-fmt-mp3 lame fonts-play libsdl2-mixer-2.0-0)

wanted=()
for group in "${@:-build}"; do
    case "$group" in
        build) wanted+=("${build_packages[@]}") ;;
        test) wanted+=("${build_packages[@]}" "${test_packages[@]}") ;;
        assets) wanted+=("${asset_packages[@]}") ;;
        *) echo "install-deps: unknown group '$group'" >&2; exit 2 ;;
    esac
done

missing=()
for package in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    "${missing[@]}" >/dev/null
