#!/usr/bin/env bash
# The same game on every machine: builds the replay checker with each compiler,
# optimisation level and processor below, checks the corpus of recordings with
# each (and the files named in $REPLAYS), and fails unless every build prints
# the very same lines. The cross builds also run the rules' and the readers'
# unit tests under their emulator, big-endian s390x among them. One more build
# fuses multiply-adds on purpose: it must be caught, its lines naming the first
# second that differs, or the check itself is broken.
# Usage: tools/crosscheck.sh [BUILD_DIR]   (default: build/cross; builds are kept there)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=$(mkdir -p "${1:-$root/build/cross}" && cd "${1:-$root/build/cross}" && pwd)
jobs=${JOBS:-2}
werror=${VANTOREL_WERROR:-OFF}
read -ra replays <<<"${REPLAYS:-}"

# name | compiler or cmake/ toolchain | flags | tests: run the unit tests too | fp contraction
builds=(
    "gcc-O0|g++|-O0 -march=x86-64|no|off"
    "gcc-O3|g++|-O3 -march=x86-64|no|off"
    "clang-O0|clang++|-O0 -march=x86-64|no|off"
    "clang-O3|clang++|-O3 -march=x86-64|no|off"
    "gcc-O0-x86-64-v3|g++|-O0 -march=x86-64-v3|no|off"
    "gcc-O3-x86-64-v3|g++|-O3 -march=x86-64-v3|no|off"
    "clang-O0-x86-64-v3|clang++|-O0 -march=x86-64-v3|no|off"
    "clang-O3-x86-64-v3|clang++|-O3 -march=x86-64-v3|no|off"
    "arm64-gcc-O0|aarch64-linux-gnu|-O0|yes|off"
    "arm64-gcc-O3|aarch64-linux-gnu|-O3|no|off"
    "s390x-gcc-O0|s390x-linux-gnu|-O0|yes|off"
    "s390x-gcc-O3|s390x-linux-gnu|-O3|no|off"
    "wasm32-emscripten-O2|wasm32-emscripten|-O2|no|off"
)
control="arm64-gcc-O3-contraction-on|aarch64-linux-gnu|-O3|no|fast"
# qemu-user ignores limits on the address space, so an allocation cannot be made to fail there.
unlimited_under_emulation=TgaLoad.FailedAllocationFailsTheLoad

seconds_since() { echo $((SECONDS - $1)); }

# x86-64-v3 programs run here only on a processor that has what v3 adds.
runs_here() {
    [[ $1 != *x86-64-v3* ]] && return 0
    local feature
    for feature in avx2 fma bmi2 movbe; do
        grep -qw "$feature" /proc/cpuinfo || return 1
    done
}

configure() {
    local dir=$1 compiler=$2 flags=$3 tests=$4 contract=$5
    local how=(-DCMAKE_CXX_COMPILER="$compiler")
    if [[ -f $root/cmake/$compiler.cmake ]]; then
        how=(--toolchain "$root/cmake/$compiler.cmake")
        [[ $tests == yes ]] && how+=(-DVANTOREL_GTEST_SOURCE=/usr/src/googletest)
    fi
    local test_flag=OFF
    [[ $tests == yes ]] && test_flag=ON
    cmake -S "$root" -B "$dir" -G Ninja "${how[@]}" -DCMAKE_BUILD_TYPE= \
        -DCMAKE_CXX_FLAGS="$flags" -DVANTOREL_RULES_ONLY=ON -DVANTOREL_TESTS=$test_flag \
        -DVANTOREL_WERROR="$werror" -DVANTOREL_RULES_FP_CONTRACT="$contract" >"$dir.log"
}

# The emulator that runs what the build made (empty for this machine's own).
emulator_of() {
    sed -n 's/^CMAKE_CROSSCOMPILING_EMULATOR:[A-Z]*=//p' "$1/CMakeCache.txt" | tr ';' ' '
}

checker_of() {
    local found=("$1"/vantorel-check-replay{,.js})
    for file in "${found[@]}"; do
        [[ -f $file ]] && echo "$file" && return
    done
}

# Builds one row of the table, runs its tests, and leaves its lines in NAME.lines.
run_build() {
    local name compiler flags tests contract
    IFS='|' read -r name compiler flags tests contract <<<"$1"
    local dir=$out/$name start=$SECONDS
    mkdir -p "$dir"
    rm -f "$out/$name.lines" "$out/$name.differences"
    configure "$dir" "$compiler" "$flags" "$tests" "$contract" ||
        { cat "$dir.log" >&2; return 1; }
    local targets=(vantorel-check-replay)
    [[ $tests == yes ]] && targets+=(vantorel_rules_tests vantorel_readers_tests)
    cmake --build "$dir" -j"$jobs" --target "${targets[@]}" >>"$dir.log" ||
        { cat "$dir.log" >&2; return 1; }
    local built=$(seconds_since "$start") tested=""
    if [[ $tests == yes ]]; then
        start=$SECONDS
        # One process a suite: qemu starts slowly, and CTest would start it for every test.
        local suite
        for suite in vantorel_rules_tests vantorel_readers_tests; do
            # shellcheck disable=SC2046 # the emulator is a command and its arguments
            $(emulator_of "$dir") "$dir/tests/$suite" --gtest_brief=1 \
                --gtest_filter="-$unlimited_under_emulation" >>"$dir.log" 2>&1 ||
                { tail -n 40 "$dir.log" >&2; return 1; }
        done
        tested=", unit tests in $(seconds_since "$start") s"
    fi
    start=$SECONDS
    local also=() checked=ok
    for file in "${replays[@]}"; do also+=(--also "$file"); done
    # shellcheck disable=SC2046 # the emulator is a command and its arguments
    "$root/tools/check-corpus.sh" "${also[@]}" -- $(emulator_of "$dir") "$(checker_of "$dir")" \
        >"$out/$name.lines" 2>"$out/$name.differences" || checked=failed
    echo "$name: built in $built s$tested, corpus checked in $(seconds_since "$start") s: $checked"
    [[ $checked == ok || $contract != off ]]
}

# The first line where a build's lines part from the first build's.
report_difference() {
    echo "$1 parts from $2:" >&2
    diff "$out/$2.lines" "$out/$1.lines" | sed -n 's/^> /  /p' >&2 || true
}

status=0
reference=""
skipped=0
for row in "${builds[@]}"; do
    name=${row%%|*}
    if ! runs_here "$row"; then
        echo "$name: SKIPPED: this processor cannot run x86-64-v3 programs" >&2
        skipped=$((skipped + 1))
        continue
    fi
    if ! run_build "$row"; then
        echo "$name: FAILED (see $out/$name.log and $out/$name.differences)" >&2
        sed 's/^/  /' "$out/$name.differences" 2>/dev/null | head -n 20 >&2
        status=1
    fi
    if [[ ! -s $out/$name.lines ]]; then
        continue
    elif [[ -z $reference ]]; then
        reference=$name
    elif ! cmp -s "$out/$reference.lines" "$out/$name.lines"; then
        report_difference "$name" "$reference"
        status=1
    fi
done

control_name=${control%%|*}
run_build "$control" || true
parted=""
if [[ -n $reference ]]; then
    parted=$(diff "$out/$reference.lines" "$out/$control_name.lines" | sed -n 's/^> /  /p' || true)
fi
if [[ $parted == *"first at second"* ]]; then
    echo "$control_name: caught, as it must be:"
    echo "$parted"
else
    echo "$control_name: NOT caught: the check cannot tell a build that fuses multiply-adds" >&2
    status=1
fi

count=$((${#builds[@]} - skipped))
if [[ $status -eq 0 ]]; then
    echo "crosscheck: $count builds, $(wc -l <"$out/$reference.lines") lines each, all identical" \
        "($skipped skipped)"
fi
exit $status
