#!/usr/bin/env bash
# Builds the browser version into OUT_DIR (build-web by default): FreeType
# from Debian's source, the program as vantorel.js, vantorel.wasm and
# vantorel.data, and our page beside them. Needs no network: `make web` runs
# it with none. FreeType's source is fetched beforehand by
# `tools/install-deps.sh web` into $VANTOREL_WEB_DEPS.
set -euo pipefail
cd "$(dirname "$0")/../.."

out_dir=${1:-build-web}
web_deps=${VANTOREL_WEB_DEPS:-$HOME/.cache/vantorel/web}
# emcc's optimiser at -O2 needs Debian's acorn.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

find_freetype_source() {
    local sources=("$web_deps"/freetype-*/)
    [[ -f "${sources[0]}include/ft2build.h" ]] ||
        { echo "build-web: no FreeType source in $web_deps; run tools/install-deps.sh web" >&2; exit 2; }
    echo "${sources[0]%/}"
}

# Rebuilt only when missing or older than its recipe.
build_freetype() {
    local library=$out_dir/freetype/lib/libfreetype.a
    if [[ -f "$library" && "$library" -nt tools/web/build-freetype.sh ]]; then
        return
    fi
    tools/web/build-freetype.sh "$(find_freetype_source)" "$out_dir/freetype"
}

# The game, through CMake with emscripten's toolchain: the same source lists
# as the desktop's, with platform/web/ in place of platform/desktop/.
build_program() {
    local werror=OFF
    [[ -z "${CI:-}" ]] || werror=ON
    emcmake cmake -S . -B "$out_dir/cmake" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DVANTOREL_WERROR=$werror -DVANTOREL_TESTS=OFF -DVANTOREL_BENCH=OFF \
        -DVANTOREL_WEB_FREETYPE="$(realpath "$out_dir/freetype")" \
        -DCMAKE_RUNTIME_OUTPUT_DIRECTORY="$(realpath "$out_dir")" >/dev/null
    cmake --build "$out_dir/cmake" -j"${JOBS:-2}" --target vantorel limiter
}

# The glyph printer, for the desktop and for node: the tests compare the two.
build_glyph_dumps() {
    mkdir -p "$out_dir/tools"
    g++ -std=c++17 -O2 -Wall -Wextra -Wpedantic ${CI:+-Werror} tests/web/glyph_dump.cpp \
        $(pkg-config --cflags --libs freetype2) -o "$out_dir/tools/glyph_dump"
    em++ -std=c++17 -O2 -Wall -Wextra -Wpedantic ${CI:+-Werror} -I"$out_dir/freetype/include" \
        tests/web/glyph_dump.cpp "$out_dir/freetype/lib/libfreetype.a" -sNODERAWFS=1 \
        -o "$out_dir/tools/glyph_dump.js"
}

copy_page() {
    cp platform/web/index.html platform/web/page.css platform/web/page.mjs \
        platform/web/field_layout.mjs platform/web/limiter_worklet.js "$out_dir/"
    cp packaging/icons/vantorel-32.png "$out_dir/icon.png"
    cp fonts/FRESHBOT.LICENSE "$out_dir/"
}

mkdir -p "$out_dir"
build_freetype
build_program
build_glyph_dumps
copy_page
