#!/usr/bin/env bash
# tools/check-corpus.sh against corpora made for the purpose: it passes a corpus
# that ends as expected, and fails one whose line differs or whose recording has
# no line, saying why. Usage: check_corpus_test.sh CHECKER WON_GAME
set -uo pipefail
checker=$1
won=$2
script=$(dirname "$0")/../../tools/check-corpus.sh
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cp "$won" "$work/won.replay"
right=$(cd "$work" && "$checker" won.replay)
failures=0

# name | expected.txt | extra file in the corpus | status | text the output must hold
cases=(
    "ends as expected|$right||0|won.replay: won: "
    "a line that differs|${right/digest /digest 0}||1|does not end as expected.txt says"
    "a recording with no line|$right|unlisted.replay|1|no expected line for: unlisted.replay"
    "a recording that cannot be read|empty.replay: cannot replay: it is empty\n$right|empty.replay|2|empty.replay: cannot replay"
)
for row in "${cases[@]}"; do
    IFS='|' read -r name expected extra status text <<<"$row"
    corpus=$work/$RANDOM
    mkdir "$corpus" && cp "$work/won.replay" "$corpus/"
    printf '%b\n' "$expected" >"$corpus/expected.txt"
    [[ -n $extra ]] && : >"$corpus/$extra"
    output=$("$script" --corpus "$corpus" -- "$checker" 2>&1)
    got=$?
    if [[ $got -ne $status || $output != *"$text"* ]]; then
        echo "FAILED: $name: status $got (wanted $status), output:" >&2
        echo "$output" >&2
        failures=$((failures + 1))
    fi
done

# Files checked besides the corpus come after its lines, named in full.
corpus=$work/also
mkdir "$corpus" && cp "$work/won.replay" "$corpus/" && printf '%s\n' "$right" >"$corpus/expected.txt"
also=$("$script" --corpus "$corpus" --also "$won" -- "$checker" 2>/dev/null | tail -n 1)
if [[ $also != "$(realpath "$won"): won: "* ]]; then
    echo "FAILED: --also: $also" >&2
    failures=$((failures + 1))
fi
exit $((failures > 0))
