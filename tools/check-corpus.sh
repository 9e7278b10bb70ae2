#!/usr/bin/env bash
# Checks the corpus of recordings made on the real game with a replay checker:
# each must end as its line in expected.txt says, and each must have one.
# Prints the checker's lines, then those of the files given with --also, so
# that builds can be compared line for line.
# Usage: tools/check-corpus.sh [--corpus DIR] [--also FILE]... -- COMMAND...
#   COMMAND runs the checker: the emulator that runs it, if any, then its path.
set -euo pipefail
shopt -s nullglob
corpus=$(dirname "$0")/../tests/data/replays
also=()
while [[ $# -gt 0 && $1 != -- ]]; do
    case "$1" in
        --corpus) corpus=$2 ;;
        --also) also+=("$(realpath "$2")") ;;
        *) echo "check-corpus: unknown option '$1'" >&2; exit 2 ;;
    esac
    shift 2
done
shift
corpus=$(cd "$corpus" && pwd)
expected=$corpus/expected.txt

# Names relative to the corpus, so that the lines read the same on every machine.
mapfile -t names < <(sed 's/: .*//' "$expected")
unlisted=$(comm -23 <(cd "$corpus" && printf '%s\n' *.replay | sort) \
    <(printf '%s\n' "${names[@]}" | sort))
if [[ -n $unlisted ]]; then
    echo "check-corpus: no expected line for: $(echo $unlisted)" >&2
    exit 1
fi

status=0
lines=$(cd "$corpus" && "$@" "${names[@]}" "${also[@]}") || status=$?
printf '%s\n' "$lines"
if ! diff <(head -n "${#names[@]}" <<<"$lines") "$expected" >&2; then
    echo "check-corpus: the corpus does not end as expected.txt says (< this build, > expected)" >&2
    exit 1
fi
if [[ $status -ne 0 ]]; then
    echo "check-corpus: the checker exited with status $status" >&2
fi
exit $status
