#!/usr/bin/env bash
# The Build-Depends check on the game the build made, against debian/control as
# it is and against controls edited to lack one of its libraries' packages.
# Usage: build_depends_test.sh BINARY
set -euo pipefail
cd "$(dirname "$0")/../.."
binary=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# expected outcome | what the control is | the sed script that makes it from debian/control
cases=(
    'passes|as it is|'
    'lacks libxrandr-dev|without libxrandr-dev|/^ libxrandr-dev,$/d'
    'lacks libfreetype-dev|without libfreetype-dev|/^ libfreetype-dev,$/d'
    'passes|with libxrandr-dev one of a choice, versioned|s/^ libxrandr-dev,$/ libxrandr-nonesuch-dev | libxrandr-dev (>= 2:1.5) [amd64 arm64],/'
    'lacks libxrandr-dev|with libxrandr-dev in the binary package'"'"'s Depends alone|/^ libxrandr-dev,$/d; /^Depends:$/a\ libxrandr-dev,'
)

passed=0
failed=0
for case in "${cases[@]}"; do
    IFS='|' read -r expected description script <<<"$case"
    sed -e "$script" debian/control >"$work/control"
    cmp -s debian/control "$work/control" && [[ -n "$script" ]] &&
        { echo "FAILED: the control $description is debian/control unchanged"; failed=$((failed + 1)); continue; }
    said=$(tests/packaging/check_build_depends.sh "$binary" "$work/control" 2>&1) && outcome=passes ||
        outcome=$(grep -o 'lacks [a-z0-9.+-]*' <<<"$said" || echo "failed")
    if [[ "$outcome" == "$expected" ]]; then
        passed=$((passed + 1))
    else
        echo "FAILED: with the control $description the check should say '$expected':"
        echo "$said"
        failed=$((failed + 1))
    fi
done
echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
