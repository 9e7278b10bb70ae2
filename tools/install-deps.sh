#!/usr/bin/env bash
# Installs the Debian packages Vantorel needs, and only those that are missing.
# Usage: tools/install-deps.sh [build|test|assets|deb|cross]...   (default: build)
# The deb group adds the Build-Depends that debian/control names.
set -euo pipefail

build_packages=(cmake ninja-build g++ pkg-config freeglut3-dev libglu1-mesa-dev libgl1-mesa-dri
    libfreetype-dev libsdl2-mixer-dev libxrandr-dev libgtest-dev libbenchmark-dev)
test_packages=(xvfb xauth xdotool x11-utils imagemagick openbox wmctrl clang libclang-rt-14-dev valgrind
    python3 appstream desktop-file-utils mandoc groff-base man-db dpkg-dev pulseaudio
    pulseaudio-utils)
asset_packages=(python3 python3-pil sox libsox-fmt-mp3 lame fonts-play libsdl2-mixer-2.0-0)
deb_packages=(dpkg-dev debhelper lintian)
# The replay checker built for other compilers and processors, and run there
# (make crosscheck); GoogleTest's sources are built for each processor.
cross_packages=(cmake ninja-build g++ clang googletest g++-aarch64-linux-gnu libc6-dev-arm64-cross
    g++-s390x-linux-gnu libc6-dev-s390x-cross qemu-user emscripten nodejs)

wanted=()
for group in "${@:-build}"; do
    case "$group" in
        build) wanted+=("${build_packages[@]}") ;;
        test) wanted+=("${build_packages[@]}" "${test_packages[@]}") ;;
        assets) wanted+=("${asset_packages[@]}") ;;
        deb) wanted+=("${deb_packages[@]}"); build_depends=yes ;;
        cross) wanted+=("${cross_packages[@]}") ;;
        *) echo "install-deps: unknown group '$group'" >&2; exit 2 ;;
    esac
done

missing=()
for package in "${wanted[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
# Build-Depends are judged by dpkg itself, versions and alternatives included.
unmet_build_depends() {
    [[ -n "${build_depends:-}" ]] || return 1
    ! (cd "$(dirname "$0")/.." && dpkg-checkbuilddeps) >/dev/null 2>&1
}
[[ ${#missing[@]} -eq 0 ]] && ! unmet_build_depends && exit 0

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
"${sudo[@]}" apt-get update -qq
if [[ ${#missing[@]} -gt 0 ]]; then
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
fi
if unmet_build_depends; then
    echo "Installing the Build-Depends of debian/control"
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get build-dep -y -qq --no-install-recommends \
        "$(cd "$(dirname "$0")/.." && pwd)" >/dev/null
fi
