#!/usr/bin/env bash
# Fails naming each library a binary links directly (its NEEDED entries) whose
# development package is not in the Build-Depends of a debian/control. The
# development package is the one that ships the library's unversioned .so, the
# name the linker was given. The toolchain's own libraries (C, C++, libgcc) come
# with build-essential and need no entry.
# Usage: check_build_depends.sh BINARY [CONTROL]   (CONTROL: the tree's debian/control)
set -euo pipefail
binary=$1
control=${2:-$(dirname "$0")/../../debian/control}
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
library_folders=("/usr/lib/$multiarch" "/lib/$multiarch" /usr/lib /lib)
toolchain=" libc6 libstdc++6 libgcc-s1 "

fail() { echo "check_build_depends: $*" >&2; exit 1; }

# Every package Build-Depends and Build-Depends-Arch name, alternatives too,
# without versions, architectures or profiles.
build_depends() {
    awk '/^Build-Depends(-Arch)?:/ { on = 1; sub(/^[^:]*:/, ""); print; next }
         on && /^[ \t]/ { print; next }
         { on = 0 }' "$control" |
        tr ',|' '\n\n' | sed -E 's/[[(<].*//; s/:[a-z0-9]+[[:space:]]*$//; s/[[:space:]]//g' |
        grep -v '^$' || true
}

[[ -f "$binary" ]] || fail "no binary $binary"
[[ -f "$control" ]] || fail "no control file $control"
mapfile -t needed < <(readelf -d "$binary" | sed -n 's/.*(NEEDED).*\[\(.*\)\]$/\1/p')
[[ ${#needed[@]} -gt 0 ]] || fail "$binary links no shared library: not a dynamic binary?"
# Which package ships each file a library may be found as, asked of dpkg at once.
candidates=()
for library in "${needed[@]}"; do
    for folder in "${library_folders[@]}"; do
        candidates+=("$folder/$library" "$folder/${library%%.so*}.so")
    done
done
declare -A shipped_by=()
while IFS= read -r line; do
    owner=${line%%: /*}
    shipped_by[/${line#*: /}]=${owner%%[:,]*}
done < <(dpkg -S "${candidates[@]}" 2>/dev/null | grep -v '^diversion' || true)

# The package that ships the library file NAME, or nothing.
package_shipping() {
    local folder
    for folder in "${library_folders[@]}"; do
        if [[ -n "${shipped_by[$folder/$1]:-}" ]]; then
            echo "${shipped_by[$folder/$1]}"
            return
        fi
    done
}

declare -A listed=()
while IFS= read -r package; do listed[$package]=1; done < <(build_depends)

missing=()
checked=0
for library in "${needed[@]}"; do
    runtime=$(package_shipping "$library")
    [[ -n "$runtime" ]] || { missing+=("$library (no package ships it)"); continue; }
    [[ "$toolchain" == *" $runtime "* ]] && continue
    development=$(package_shipping "${library%%.so*}.so")
    if [[ -z "$development" ]]; then
        missing+=("$library (no package ships ${library%%.so*}.so)")
    elif [[ -z "${listed[$development]:-}" ]]; then
        missing+=("$development (for $library)")
    else
        echo "$library: $development"
        checked=$((checked + 1))
    fi
done
if [[ ${#missing[@]} -gt 0 ]]; then
    fail "Build-Depends lacks $(printf '%s, ' "${missing[@]}" | sed 's/, $//')"
fi
echo "check_build_depends: Build-Depends names the development package of each of the" \
    "$checked libraries $(basename "$binary") links beside the toolchain's own"
