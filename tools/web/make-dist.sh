#!/usr/bin/env bash
# Packs the page built in OUT_DIR (build-web by default) into one .zip of
# static files, OUT_DIR/vantorel-VERSION-web.zip, for any static web host: the
# files at the top of OUT_DIR (its folders are the build's own), which reach
# one another by relative paths alone, and an .htaccess for the hosts that
# read one, so that .wasm is served as application/wasm there. The same build
# packs to the same bytes.
# Usage: tools/web/make-dist.sh [OUT_DIR]   (prints the .zip's path)
set -euo pipefail
cd "$(dirname "$0")/../.."

out_dir=${1:-build-web}
version_header=$out_dir/cmake/generated/app/version.h
version=$(sed -n 's/.*kProgramVersion = "\(.*\)";.*/\1/p' "$version_header")
[[ -n "$version" ]] || { echo "make-dist: no version in $version_header; run make web" >&2; exit 2; }
zip_file=$(realpath "$out_dir")/vantorel-$version-web.zip

staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
find "$out_dir" -maxdepth 1 -type f ! -name '*.zip' -exec cp {} "$staging/" \;
printf 'AddType application/wasm .wasm\n' >"$staging/.htaccess"
touch -d '2000-01-01 00:00:00 UTC' "$staging"/* "$staging/.htaccess"
rm -f "$zip_file"
(cd "$staging" && LC_ALL=C find . -type f -printf '%P\n' | sort | zip -X -q -9 "$zip_file" -@)
echo "$zip_file"
