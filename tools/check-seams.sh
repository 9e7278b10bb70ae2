#!/usr/bin/env bash
# A replay is exact only if everything the game does with time and chance goes
# through the two seams a recording captures: elapsedMilliseconds()
# (clock/elapsed_time.cpp) and the seeded random source (math/numeric.cpp).
# Prints every other read of a clock or a random source in the game's code and
# fails if there is one. The wall clock may only decide when a frame starts
# (the frame pacing and a replay's pace) or how long to wait for the records'
# lock, never what the frame sees.
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

rooms=(app world replay audio render math clock records platform)

# pattern|files allowed to match it (space-separated)
rules=(
    'GLUT_ELAPSED_TIME|'
    '\b(std::)?s?rand(om)?\s*\(|math/numeric.cpp'
    'random_device|mt19937|minstd_rand|default_random_engine|drand48|arc4random|getrandom|SDL_rand|'
    '\b(std::)?time\s*\(|math/numeric.cpp'
    '\bclock\s*\(|gettimeofday|clock_gettime|SDL_GetTicks|SDL_GetPerformanceCounter|'
    '::now\s*\(|clock/elapsed_time.cpp platform/desktop/game_window.cpp app/replay_player.cpp records/record_store.cpp'
)

status=0
for rule in "${rules[@]}"; do
    pattern=${rule%|*}
    allowed=" ${rule##*|} "
    while IFS= read -r hit; do
        file=${hit%%:*}
        code=${hit#*:*:}
        if [[ $code =~ ^[[:space:]]*// ]]; then
            continue # a comment that names a clock reads none
        fi
        if [[ $allowed != *" $file "* ]]; then
            echo "$hit"
            status=1
        fi
    done < <(grep -rnE --include='*.h' --include='*.cpp' "$pattern" "${rooms[@]}" || true)
done
exit $status
