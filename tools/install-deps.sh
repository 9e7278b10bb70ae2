#!/usr/bin/env bash
# Installs the Debian packages Vantorel needs, and only those that are missing.
# Usage: tools/install-deps.sh [build|test|assets|deb|web|cross]...   (default: build)
# The deb group adds the Build-Depends that debian/control names. The web group
# adds the WebAssembly toolchain and the browser the page is tested in, and
# fetches FreeType's Debian source into $VANTOREL_WEB_DEPS (~/.cache/vantorel/web
# by default), outside every build folder, so that the web build itself needs
# no network.
set -euo pipefail

build_packages=(cmake ninja-build g++ pkg-config freeglut3-dev libglu1-mesa-dev libgl1-mesa-dri
    libfreetype-dev libsdl2-mixer-dev libxrandr-dev libgtest-dev libbenchmark-dev)
test_packages=(xvfb xauth xdotool x11-utils imagemagick openbox wmctrl clang libclang-rt-14-dev valgrind
    python3 appstream desktop-file-utils mandoc groff-base man-db dpkg-dev pulseaudio
    pulseaudio-utils sox libsox-fmt-mp3)
asset_packages=(python3 python3-pil sox libsox-fmt-mp3 lame fonts-play libsdl2-mixer-2.0-0)
deb_packages=(dpkg-dev debhelper lintian)
# The replay checker built for other compilers and processors, and run there
# (make crosscheck); GoogleTest's sources are built for each processor.
cross_packages=(cmake ninja-build g++ clang googletest g++-aarch64-linux-gnu libc6-dev-arm64-cross
    g++-s390x-linux-gnu libc6-dev-s390x-cross qemu-user emscripten nodejs)
web_packages=(emscripten chromium nodejs dpkg-dev zip unzip)
# Node from another archive may bring npm inside its own package.
command -v npm >/dev/null || web_packages+=(npm)

wanted=()
for group in "${@:-build}"; do
    case "$group" in
        build) wanted+=("${build_packages[@]}") ;;
        test) wanted+=("${build_packages[@]}" "${test_packages[@]}") ;;
        assets) wanted+=("${asset_packages[@]}") ;;
        deb) wanted+=("${deb_packages[@]}"); build_depends=yes ;;
        cross) wanted+=("${cross_packages[@]}") ;;
        web) wanted+=("${web_packages[@]}"); web_sources=yes ;;
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
web_deps=${VANTOREL_WEB_DEPS:-$HOME/.cache/vantorel/web}
missing_web_sources() {
    [[ -n "${web_sources:-}" ]] || return 1
    ! compgen -G "$web_deps/freetype-*/include/ft2build.h" >/dev/null
}
[[ ${#missing[@]} -eq 0 ]] && ! unmet_build_depends && ! missing_web_sources && exit 0

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
# apt-get source reads the source indexes of the archive the binaries come from.
add_source_entries() {
    local sources=(/etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources)
    grep -qsE '^(Types:.*deb-src|deb-src )' "${sources[@]}" && return 0
    if [[ -f /etc/apt/sources.list.d/debian.sources ]]; then
        sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
            "${sudo[@]}" tee /etc/apt/sources.list.d/vantorel-deb-src.sources >/dev/null
    else
        sed -n 's/^deb /deb-src /p' /etc/apt/sources.list |
            "${sudo[@]}" tee /etc/apt/sources.list.d/vantorel-deb-src.list >/dev/null
    fi
}
missing_web_sources && add_source_entries
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

# The same FreeType as the desktop's where the archive still has it.
if missing_web_sources; then
    echo "Fetching FreeType's source into $web_deps"
    mkdir -p "$web_deps"
    installed=$(dpkg-query -W -f='${source:Version}' libfreetype6 2>/dev/null || true)
    (cd "$web_deps" && { apt-get source -qq "freetype${installed:+=$installed}" >/dev/null ||
        apt-get source -qq freetype >/dev/null; })
fi
