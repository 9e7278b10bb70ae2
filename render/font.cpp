#include "render/font.h"

#include FT_GLYPH_H

#include <cstdarg>
#include <cstdio>
#include <stdexcept>

namespace {

constexpr FT_UInt kDotsPerInch = 96;
constexpr FT_F26Dot6 kSubpixelsPerPixel = 64; // FreeType's 26.6 fixed point
constexpr int kSubpixelBits = 6;
constexpr float kPointsPerLine = 0.63f;
constexpr std::size_t kTextBufferSize = 256;
constexpr unsigned char kLastGlyphCode = 127;
constexpr char kForeignByteSubstitute = '?';
constexpr int kBytesPerTexel = 2; // luminance and alpha
constexpr GLbitfield kTextAttributes =
    GL_LIST_BIT | GL_CURRENT_BIT | GL_ENABLE_BIT | GL_TRANSFORM_BIT;

// FreeType's library and face live only while the glyphs are made, and are
// released on every path out, the failures included.
class FontFile {
public:
    explicit FontFile(const char* fileName) {
        if (FT_Init_FreeType(&library_) != 0) {
            throw std::runtime_error("FT_Init_FreeType failed");
        }
        if (FT_New_Face(library_, fileName, 0, &face_) != 0) {
            FT_Done_FreeType(library_);
            throw std::runtime_error(
                "FT_New_Face failed (there is probably a problem with your font file)");
        }
    }
    ~FontFile() {
        FT_Done_Face(face_);
        FT_Done_FreeType(library_);
    }
    FontFile(const FontFile&) = delete;
    FontFile& operator=(const FontFile&) = delete;

    FT_Face face() const { return face_; }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

// Glyph rows are uploaded tightly packed whatever the caller's pixel store
// says, and the caller's setting comes back afterwards.
class TightlyPackedUploads {
public:
    TightlyPackedUploads() {
        glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    }
    ~TightlyPackedUploads() { glPopClientAttrib(); }
    TightlyPackedUploads(const TightlyPackedUploads&) = delete;
    TightlyPackedUploads& operator=(const TightlyPackedUploads&) = delete;
};

// A glyph copied out of the face's slot, owned until destruction.
class GlyphCopy {
public:
    explicit GlyphCopy(FT_GlyphSlot slot) {
        if (FT_Get_Glyph(slot, &glyph_) != 0) {
            throw std::runtime_error("FT_Get_Glyph failed");
        }
    }
    ~GlyphCopy() { FT_Done_Glyph(glyph_); }
    GlyphCopy(const GlyphCopy&) = delete;
    GlyphCopy& operator=(const GlyphCopy&) = delete;

    FT_Glyph& glyph() { return glyph_; }

private:
    FT_Glyph glyph_ = nullptr;
};

// The coverage of one glyph: `rows` rows of `width` bytes, `pitch` bytes apart,
// the first row at the top; `left` and `top` place it against the pen.
struct Coverage {
    int left = 0;
    int top = 0;
    unsigned int width = 0;
    unsigned int rows = 0;
    int pitch = 0;
    const unsigned char* buffer = nullptr;
};

// Anything but an 8-bit grey bitmap (a failed rendering, a monochrome bitmap
// embedded in the font) counts as an empty glyph rather than being misread.
Coverage coverageOf(FT_Glyph glyph) {
    Coverage coverage;
    if (glyph->format != FT_GLYPH_FORMAT_BITMAP) {
        return coverage;
    }
    const FT_BitmapGlyph bitmapGlyph = reinterpret_cast<FT_BitmapGlyph>(glyph);
    const FT_Bitmap& bitmap = bitmapGlyph->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || bitmap.pitch < 0) {
        return coverage;
    }
    coverage.left = bitmapGlyph->left;
    coverage.top = bitmapGlyph->top;
    coverage.width = bitmap.width;
    coverage.rows = bitmap.rows;
    coverage.pitch = bitmap.pitch;
    coverage.buffer = bitmap.buffer;
    return coverage;
}

// Two bytes per texel, both the coverage; zero where the power-of-two texture
// reaches past the bitmap.
std::vector<GLubyte> texelsOf(const Coverage& coverage, unsigned int texWidth,
                              unsigned int texHeight) {
    std::vector<GLubyte> texels(kBytesPerTexel * texWidth * texHeight, 0);
    for (unsigned int j = 0; j < coverage.rows; ++j) {
        for (unsigned int i = 0; i < coverage.width; ++i) {
            const GLubyte value =
                coverage.buffer[i + static_cast<unsigned int>(coverage.pitch) * j];
            const std::size_t at = kBytesPerTexel * (i + j * texWidth);
            texels[at] = value;
            texels[at + 1] = value;
        }
    }
    return texels;
}

void uploadGlyphTexture(GLuint texture, unsigned int texWidth, unsigned int texHeight,
                        const std::vector<GLubyte>& texels) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE_ALPHA, static_cast<GLsizei>(texWidth),
                 static_cast<GLsizei>(texHeight), 0, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE,
                 texels.data());
}

// The quad's corners run counter-clockwise seen from +z; the bitmap's first
// row, texture t = 0, is at the glyph's top.
void recordGlyphQuad(const Coverage& coverage, unsigned int texWidth, unsigned int texHeight) {
    const float width = static_cast<float>(coverage.width);
    const float rows = static_cast<float>(coverage.rows);
    const double sMax = static_cast<double>(width / static_cast<float>(texWidth));
    const double tMax = static_cast<double>(rows / static_cast<float>(texHeight));
    glBegin(GL_QUADS);
    glTexCoord2d(0.0, 0.0);
    glVertex2f(0.0f, rows);
    glTexCoord2d(0.0, tMax);
    glVertex2f(0.0f, 0.0f);
    glTexCoord2d(sMax, tMax);
    glVertex2f(width, 0.0f);
    glTexCoord2d(sMax, 0.0);
    glVertex2f(width, rows);
    glEnd();
}

void recordGlyphList(GLuint list, GLuint texture, const Coverage& coverage, unsigned int texWidth,
                     unsigned int texHeight, FT_Pos penAdvance) {
    glNewList(list, GL_COMPILE);
    glBindTexture(GL_TEXTURE_2D, texture);
    glPushMatrix();
    glTranslatef(static_cast<float>(coverage.left), 0.0f, 0.0f);
    glTranslatef(0.0f, static_cast<float>(coverage.top - static_cast<int>(coverage.rows)), 0.0f);
    recordGlyphQuad(coverage, texWidth, texHeight);
    glPopMatrix();
    glTranslatef(static_cast<float>(penAdvance >> kSubpixelBits), 0.0f, 0.0f);
    glEndList();
}

// Bytes above 127 have no glyph: they show as a substitute instead of calling
// a list outside the font's block.
void replaceForeignBytes(char* text) {
    for (char* c = text; *c != '\0'; ++c) {
        if (static_cast<unsigned char>(*c) > kLastGlyphCode) {
            *c = kForeignByteSubstitute;
        }
    }
}

void drawLines(const std::vector<std::string>& lines, float lineSpacing) {
    GLfloat modelview[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        glPushMatrix();
        glLoadIdentity();
        // Left of the caller's transform: the line offset is in eye units, not scaled by it.
        glTranslatef(0.0f, -lineSpacing * static_cast<float>(i), 0.0f);
        glMultMatrixf(modelview);
        glCallLists(static_cast<GLsizei>(lines[i].size()), GL_UNSIGNED_BYTE, lines[i].data());
        glPopMatrix();
    }
}

} // namespace

void Font::init(const char* fileName, unsigned int pointSize) {
    textures_.reset(new GLuint[kGlyphCount]());
    pointSize_ = static_cast<float>(pointSize);
    listBase_ = 0;
    const FontFile file(fileName);
    const FT_F26Dot6 charSize = static_cast<FT_F26Dot6>(pointSize) * kSubpixelsPerPixel;
    FT_Set_Char_Size(file.face(), charSize, charSize, kDotsPerInch, kDotsPerInch);
    const GLuint listBase = glGenLists(static_cast<GLsizei>(kGlyphCount));
    glGenTextures(static_cast<GLsizei>(kGlyphCount), textures_.get());
    const TightlyPackedUploads packing;
    for (unsigned int code = 0; code < kGlyphCount; ++code) {
        makeGlyphList(file.face(), static_cast<unsigned char>(code), listBase, textures_.get());
        advances_[code] = static_cast<int>(file.face()->glyph->advance.x >> kSubpixelBits);
    }
    // Only a font whose every glyph was made draws.
    listBase_ = listBase;
}

float Font::lineSpacing() const {
    return pointSize_ / kPointsPerLine;
}

float Font::textWidth(const std::string& line) const {
    if (listBase_ == 0) {
        return 0.0f;
    }
    int width = 0;
    for (const char c : line) {
        const unsigned char code = static_cast<unsigned char>(c);
        width += advances_[code > kLastGlyphCode ? kForeignByteSubstitute : code];
    }
    return static_cast<float>(width);
}

void makeGlyphList(FT_Face face, unsigned char code, GLuint listBase, GLuint* textures) {
    if (FT_Load_Glyph(face, FT_Get_Char_Index(face, code), FT_LOAD_DEFAULT) != 0) {
        throw std::runtime_error("FT_Load_Glyph failed");
    }
    GlyphCopy copy(face->glyph);
    FT_Glyph_To_Bitmap(&copy.glyph(), FT_RENDER_MODE_NORMAL, nullptr, 1);
    const Coverage coverage = coverageOf(copy.glyph());
    const unsigned int texWidth = nextPowerOfTwo(coverage.width);
    const unsigned int texHeight = nextPowerOfTwo(coverage.rows);
    uploadGlyphTexture(textures[code], texWidth, texHeight,
                       texelsOf(coverage, texWidth, texHeight));
    recordGlyphList(listBase + code, textures[code], coverage, texWidth, texHeight,
                    face->glyph->advance.x);
}

unsigned int nextPowerOfTwo(unsigned int n) {
    unsigned int power = 1;
    while (power < n) {
        power *= 2;
    }
    return power;
}

std::vector<std::string> splitLines(const char* text) {
    std::vector<std::string> lines;
    const char* lineStart = text;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == '\n') {
            lines.emplace_back(lineStart, c);
            lineStart = c + 1;
        }
    }
    lines.emplace_back(lineStart);
    return lines;
}

void printText(const Font& font, const char* format, ...) {
    if (font.listBase() == 0) {
        return; // a font that never loaded has no glyphs, and list 0 onwards belong to others
    }
    char text[kTextBufferSize] = "";
    if (format != nullptr) {
        va_list arguments;
        va_start(arguments, format);
        // vsnprintf cuts a longer text off at the buffer's end, terminator included.
        if (std::vsnprintf(text, sizeof text, format, arguments) < 0) {
            text[0] = '\0';
        }
        va_end(arguments);
    }
    replaceForeignBytes(text);
    const std::vector<std::string> lines = splitLines(text);

    glPushAttrib(kTextAttributes);
    glMatrixMode(GL_MODELVIEW);
    glDisable(GL_LIGHTING);
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glListBase(font.listBase());
    drawLines(lines, font.lineSpacing());
    glPopAttrib();
}
