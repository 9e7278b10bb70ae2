#!/usr/bin/env bash
# Builds the Debian package with dpkg-buildpackage from a copy of the tree in
# build/deb/, where the results land too: dpkg-buildpackage writes them beside
# the source folder, and the copy keeps that, and the build's own litter, out
# of the checkout and its parent.
# Usage: tools/build-deb.sh   (JOBS=N sets the parallel jobs, default 2)
set -euo pipefail
cd "$(dirname "$0")/.."

version=$(dpkg-parsechangelog -S Version)
out=build/deb
source="$out/vantorel-${version%-*}"
rm -rf "$out"
mkdir -p "$source"

# The files git knows, and new ones it does not ignore; a tree without git is
# copied whole, less its build folders.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -z --cached --others --exclude-standard |
        while IFS= read -r -d '' file; do [[ -e "$file" ]] && printf '%s\0' "$file"; done |
        tar --null -cf - -T - | tar -xf - -C "$source"
else
    tar --exclude=./build --exclude='./build-*' --exclude='./obj-*' -cf - . | tar -xf - -C "$source"
fi

(cd "$source" && dpkg-buildpackage -us -uc -b -j"${JOBS:-2}")
rm -rf "$source"
ls "$out"
