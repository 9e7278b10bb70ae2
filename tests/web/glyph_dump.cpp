// Prints every glyph the heads-up display makes from a font, as the game makes
// it (FT_LOAD_DEFAULT, then the normal renderer), one line of coverage
// bytes per glyph. Built once against the desktop's FreeType and once for
// WebAssembly, the two outputs must be the same.
// Usage: glyph_dump FONT_FILE POINT_SIZE
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GLYPH_H

#include <cstdio>
#include <cstdlib>

namespace {

constexpr FT_UInt kDotsPerInch = 96;
constexpr FT_F26Dot6 kSubpixelsPerPixel = 64;
constexpr unsigned int kGlyphCount = 128;

bool printGlyph(FT_Face face, unsigned int code) {
    if (FT_Load_Glyph(face, FT_Get_Char_Index(face, code), FT_LOAD_DEFAULT) != 0) {
        return false;
    }
    FT_Glyph glyph = nullptr;
    if (FT_Get_Glyph(face->glyph, &glyph) != 0) {
        return false;
    }
    const bool rendered = FT_Glyph_To_Bitmap(&glyph, FT_RENDER_MODE_NORMAL, nullptr, 1) == 0;
    if (rendered) {
        const FT_BitmapGlyph bitmapGlyph = reinterpret_cast<FT_BitmapGlyph>(glyph);
        const FT_Bitmap& bitmap = bitmapGlyph->bitmap;
        std::printf("%u %u x %u at %d,%d advance %ld:", code, bitmap.width, bitmap.rows,
                    bitmapGlyph->left, bitmapGlyph->top, face->glyph->advance.x);
        for (unsigned int row = 0; row < bitmap.rows; ++row) {
            for (unsigned int column = 0; column < bitmap.width; ++column) {
                std::printf(
                    "%02x",
                    bitmap.buffer[static_cast<int>(row) * bitmap.pitch + static_cast<int>(column)]);
            }
        }
        std::printf("\n");
    }
    FT_Done_Glyph(glyph);
    return rendered;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: glyph_dump FONT_FILE POINT_SIZE\n");
        return 2;
    }
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (FT_Init_FreeType(&library) != 0 || FT_New_Face(library, argv[1], 0, &face) != 0) {
        std::fprintf(stderr, "glyph_dump: cannot read the font %s\n", argv[1]);
        return 1;
    }
    const FT_F26Dot6 charSize = std::atol(argv[2]) * kSubpixelsPerPixel;
    bool complete = FT_Set_Char_Size(face, charSize, charSize, kDotsPerInch, kDotsPerInch) == 0;
    for (unsigned int code = 0; code < kGlyphCount && complete; ++code) {
        complete = printGlyph(face, code);
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    if (!complete) {
        std::fprintf(stderr, "glyph_dump: a glyph could not be made\n");
        return 1;
    }
    return 0;
}
