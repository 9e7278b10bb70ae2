#pragma once

#include <GL/gl.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <array>
#include <memory>
#include <string>
#include <vector>

// One TrueType font turned, once, into a texture and a display list for every
// 7-bit character code. Drawing text afterwards never touches FreeType.
class Font {
public:
    // Renders every glyph of fileName at pointSize (96 dots per inch). Throws
    // std::runtime_error naming the FreeType step that failed. Needs a current
    // OpenGL context.
    void init(const char* fileName, unsigned int pointSize);

    float pointSize() const { return pointSize_; }
    // The texture of character code c is textures()[c]; null before init.
    const GLuint* textures() const { return textures_.get(); }
    // The list of character code c is listBase() + c; 0 before init.
    GLuint listBase() const { return listBase_; }
    // Distance between the baselines of two lines, in glyph pixels.
    float lineSpacing() const;
    // How far one line of text moves the pen, in glyph pixels, as printText
    // draws it (bytes above 127 as '?'); 0 before init.
    float textWidth(const std::string& line) const;

private:
    static constexpr std::size_t kGlyphCount = 128;

    float pointSize_ = 0.0f;
    std::unique_ptr<GLuint[]> textures_;
    GLuint listBase_ = 0;
    std::array<int, kGlyphCount> advances_{};
};

// Records the display list listBase + code: binds textures[code], draws the
// glyph's quad with its origin on the baseline, then advances the pen.
void makeGlyphList(FT_Face face, unsigned char code, GLuint listBase, GLuint* textures);

// The smallest power of two at or above n (1 for 0).
unsigned int nextPowerOfTwo(unsigned int n);

// The lines of text, split at every '\n'. There is always one line more than
// there are line feeds, so a text ending in '\n' ends with an empty line.
std::vector<std::string> splitLines(const char* text);

// Draws printf-style text at the current modelview transform, tinted by the
// current colour: the first baseline runs through the origin, later lines lie
// below it by the font's line spacing in eye units. Text past 255 bytes is cut
// off; bytes above 127 are drawn as '?'. Enables, list base, matrix mode and
// matrices are as before on return.
void printText(const Font& font, const char* format, ...) __attribute__((format(printf, 2, 3)));
