#!/usr/bin/env bash
# Builds FreeType from Debian's source with emcc into a static WebAssembly
# library: only what a TrueType font needs (the TrueType driver, the SFNT
# tables and the smooth renderer), configured as Debian configures it but
# without the compression, colour, variation and Mac font code the game's
# one font never uses.
# Usage: tools/web/build-freetype.sh SOURCE_DIR OUT_DIR
# Leaves OUT_DIR/include (headers carrying this configuration) and
# OUT_DIR/lib/libfreetype.a. Reads nothing from the network.
set -euo pipefail

source_dir=${1:?usage: build-freetype.sh SOURCE_DIR OUT_DIR}
out_dir=${2:?usage: build-freetype.sh SOURCE_DIR OUT_DIR}
[[ -f "$source_dir/include/ft2build.h" ]] ||
    { echo "build-freetype: no FreeType source in '$source_dir'" >&2; exit 2; }

# Options Debian turns on that this build leaves out: each needs code or a
# library the build does not have, or serves fonts the game does not ship.
unused_options=(FT_CONFIG_OPTION_USE_LZW FT_CONFIG_OPTION_USE_ZLIB FT_CONFIG_OPTION_MAC_FONTS
    FT_CONFIG_OPTION_GUESSING_EMBEDDED_RFORK FT_CONFIG_OPTION_INCREMENTAL FT_CONFIG_OPTION_SVG
    TT_CONFIG_OPTION_COLOR_LAYERS TT_CONFIG_OPTION_GX_VAR_SUPPORT TT_CONFIG_OPTION_BDF)
modules=("FT_Driver_ClassRec, tt_driver_class" "FT_Module_Class, sfnt_module_class"
    "FT_Renderer_Class, ft_smooth_renderer_class")
sources=(base/ftsystem.c base/ftinit.c base/ftdebug.c base/ftbase.c base/ftbbox.c
    base/ftglyph.c base/ftbitmap.c truetype/truetype.c sfnt/sfnt.c smooth/smooth.c)

write_configuration() {
    local config=$out_dir/include/freetype/config
    rm -rf "$out_dir/include"
    mkdir -p "$out_dir"
    cp -r "$source_dir/include" "$out_dir/include"
    local option
    for option in "${unused_options[@]}"; do
        sed -i "s|^#define $option\\b.*|/* $option left out of the web build */|" \
            "$config/ftoption.h"
    done
    local module
    for module in "${modules[@]}"; do
        echo "FT_USE_MODULE( $module )"
    done >"$config/ftmodule.h"
}

compile_sources() {
    local objects=$out_dir/objects
    rm -rf "$objects"
    mkdir -p "$objects" "$out_dir/lib"
    printf '%s\n' "${sources[@]}" | xargs -P "${JOBS:-2}" -I{} sh -c \
        'emcc -O2 -DFT2_BUILD_LIBRARY -I"$1/include" -c "$2/src/$3" -o "$1/objects/$(basename "$3" .c).o"' \
        _ "$out_dir" "$source_dir" {}
    rm -f "$out_dir/lib/libfreetype.a"
    emar rcs "$out_dir/lib/libfreetype.a" "$objects"/*.o
}

write_configuration
compile_sources
