#include "render/font.h"

#include "support/frame_ink.h"
#include "support/gl_context.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr const char* kFontFile = VANTOREL_DATA_DIR "/fonts/FRESHBOT.ttf";
constexpr unsigned int kPointSize = 48;
constexpr int kWidth = 1024;
constexpr int kHeight = 768;

// What FreeType itself renders for one character at the game's size: the
// oracle the font's textures and lists are checked against.
struct ReferenceGlyph {
    int left = 0;
    int top = 0;
    int width = 0;
    int rows = 0;
    int advance = 0;
    std::vector<std::uint8_t> coverage; // rows of `width` bytes, top row first

    int coverageAt(int i, int j) const { return coverage[static_cast<std::size_t>(i + j * width)]; }
};

ReferenceGlyph referenceGlyph(char code, unsigned int pointSize = kPointSize) {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    ReferenceGlyph glyph;
    if (FT_Init_FreeType(&library) != 0 || FT_New_Face(library, kFontFile, 0, &face) != 0) {
        ADD_FAILURE() << "FreeType cannot open " << kFontFile;
        return glyph;
    }
    FT_Set_Char_Size(face, pointSize * 64, pointSize * 64, 96, 96);
    if (FT_Load_Char(face, static_cast<FT_ULong>(code), FT_LOAD_RENDER) == 0) {
        const FT_GlyphSlot slot = face->glyph;
        glyph.left = slot->bitmap_left;
        glyph.top = slot->bitmap_top;
        glyph.width = static_cast<int>(slot->bitmap.width);
        glyph.rows = static_cast<int>(slot->bitmap.rows);
        glyph.advance = static_cast<int>(slot->advance.x / 64);
        for (int j = 0; j < glyph.rows; ++j) {
            const unsigned char* row = slot->bitmap.buffer + j * slot->bitmap.pitch;
            glyph.coverage.insert(glyph.coverage.end(), row, row + glyph.width);
        }
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return glyph;
}

// Each texel's luminance and alpha, as the glyphs are kept.
struct TextureImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> texels;
};

TextureImage textureImage(GLuint texture) {
    TextureImage image;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &image.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &image.height);
    image.texels.resize(static_cast<std::size_t>(2 * image.width * image.height));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_LUMINANCE_ALPHA, GL_UNSIGNED_BYTE, image.texels.data());
    return image;
}

// One vertex as feedback mode reports it: window position and texture coordinate.
struct FedBackVertex {
    float x;
    float y;
    float s;
    float t;
};

// Texel channels that differ from the reference bitmap padded with zeros.
int textureMismatches(const TextureImage& texture, const ReferenceGlyph& glyph) {
    int mismatches = 0;
    for (int j = 0; j < texture.height; ++j) {
        for (int i = 0; i < texture.width; ++i) {
            const int expected = i < glyph.width && j < glyph.rows ? glyph.coverageAt(i, j) : 0;
            const std::size_t at = static_cast<std::size_t>(2 * (i + j * texture.width));
            for (std::size_t channel = 0; channel < 2; ++channel) {
                mismatches += texture.texels[at + channel] != expected;
            }
        }
    }
    return mismatches;
}

std::vector<FedBackVertex> verticesDrawnBy(GLuint list) {
    constexpr int kFloatsPerVertex = 11; // x y z, r g b a, s t r q
    std::vector<GLfloat> buffer(512);
    glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
    glRenderMode(GL_FEEDBACK);
    glCallList(list);
    const int used = glRenderMode(GL_RENDER);
    std::vector<FedBackVertex> vertices;
    for (int at = 0; at < used;) {
        const int token = static_cast<int>(buffer[static_cast<std::size_t>(at)]);
        if (token != GL_POLYGON_TOKEN) {
            ADD_FAILURE() << "unexpected feedback token " << token;
            break;
        }
        const int count = static_cast<int>(buffer[static_cast<std::size_t>(at + 1)]);
        at += 2;
        for (int v = 0; v < count; ++v, at += kFloatsPerVertex) {
            const GLfloat* f = &buffer[static_cast<std::size_t>(at)];
            vertices.push_back(FedBackVertex{f[0], f[1], f[7], f[8]});
        }
    }
    return vertices;
}

GLfloat modelviewX() {
    GLfloat matrix[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    return matrix[12];
}

class FontTest : public GlTest {
protected:
    static void SetUpTestSuite() {
        GlTest::SetUpTestSuite();
        font_ = new Font();
        font_->init(kFontFile, kPointSize);
    }

    // One window pixel per unit, origin at the lower left; black ink on white.
    void SetUp() override {
        GlTest::SetUp();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0.0, kWidth, 0.0, kHeight, -1.0, 1.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
    }

    void TearDown() override {
        glMatrixMode(GL_MODELVIEW);
        glDisable(GL_LIGHTING);
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
        glListBase(0);
    }

    static const Font& font() { return *font_; }

    static InkBox inkOf(const char* text, float x, float y, float scale) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glPushMatrix();
        glTranslatef(x, y, 0.0f);
        glScalef(scale, scale, 1.0f);
        printText(font(), "%s", text);
        glPopMatrix();
        return inkBoxOf(readFrame(), 255, 255, 255);
    }

private:
    static Font* font_;
};

Font* FontTest::font_ = nullptr;

} // namespace

TEST(NextPowerOfTwo, RoundsUpToAPowerOfTwo) {
    const std::array<std::array<unsigned int, 2>, 8> cases = {
        {{0, 1}, {1, 1}, {2, 2}, {3, 4}, {5, 8}, {63, 64}, {64, 64}, {65, 128}}};
    for (const auto& [n, power] : cases) {
        EXPECT_EQ(nextPowerOfTwo(n), power) << "n = " << n;
    }
}

TEST(SplitLines, GivesOneLineMoreThanThereAreLineFeeds) {
    const std::vector<std::pair<const char*, std::vector<std::string>>> cases = {
        {"", {""}},
        {"Planets Formed: 3", {"Planets Formed: 3"}},
        {"top\nbottom", {"top", "bottom"}},
        {"last\n", {"last", ""}},
        {"\n", {"", ""}},
        {"a\n\nb", {"a", "", "b"}},
    };
    for (const auto& [text, lines] : cases) {
        EXPECT_EQ(splitLines(text), lines) << "text \"" << text << "\"";
    }
}

TEST(FontInit, NamesTheFontFileWhenItCannotBeOpened) {
    const std::array<const char*, 2> badFiles = {VANTOREL_DATA_DIR "/fonts/MISSING.ttf",
                                                 VANTOREL_DATA_DIR "/fonts/FRESHBOT.LICENSE"};
    for (const char* file : badFiles) {
        Font font;
        try {
            font.init(file, kPointSize);
            ADD_FAILURE() << file << " loaded";
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(),
                         "FT_New_Face failed (there is probably a problem with your font file)");
        }
        EXPECT_EQ(font.listBase(), 0u) << "a failed font must not draw";
    }
}

TEST_F(FontTest, KeepsItsSizeAndSpacesLinesByIt) {
    EXPECT_EQ(font().pointSize(), 48.0f);
    EXPECT_NEAR(font().lineSpacing(), 76.19f, 0.01f);
    EXPECT_NE(font().listBase(), 0u);
    for (int code = 0; code < 128; ++code) {
        ASSERT_TRUE(glIsList(font().listBase() + static_cast<GLuint>(code))) << code;
        ASSERT_TRUE(glIsTexture(font().textures()[code])) << code;
    }
}

TEST_F(FontTest, SpaceIsAnEmptyTextureAndOnlyMovesThePen) {
    const ReferenceGlyph space = referenceGlyph(' ');
    ASSERT_EQ(space.width, 0);
    ASSERT_GT(space.advance, 0);

    const TextureImage texture = textureImage(font().textures()[' ']);
    EXPECT_EQ(texture.width, 1);
    EXPECT_EQ(texture.height, 1);
    EXPECT_EQ(texture.texels, (std::vector<std::uint8_t>{0, 0}));

    glLoadIdentity();
    glTranslatef(300.0f, 300.0f, 0.0f);
    glCallList(font().listBase() + ' ');
    EXPECT_EQ(modelviewX(), 300.0f + static_cast<float>(space.advance));
    EXPECT_FALSE(inkOf("    ", 300.0f, 300.0f, 4.0f).any);
}

TEST_F(FontTest, CapitalLetterTextureIsItsBitmapPaddedToPowersOfTwo) {
    const ReferenceGlyph a = referenceGlyph('A');
    ASSERT_GT(a.width, 0);
    ASSERT_GT(a.rows, 0);

    const TextureImage texture = textureImage(font().textures()['A']);
    ASSERT_EQ(texture.width, static_cast<int>(nextPowerOfTwo(static_cast<unsigned>(a.width))));
    ASSERT_EQ(texture.height, static_cast<int>(nextPowerOfTwo(static_cast<unsigned>(a.rows))));
    EXPECT_EQ(textureMismatches(texture, a), 0);
    GLint format = 0; // two channels kept, not four
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
    EXPECT_EQ(format, GL_LUMINANCE_ALPHA);
}

TEST_F(FontTest, CapitalLetterQuadSitsOnTheBaselineAndShowsOnlyTheBitmap) {
    const ReferenceGlyph a = referenceGlyph('A');
    const float sMax = static_cast<float>(a.width) / static_cast<float>(nextPowerOfTwo(a.width));
    const float tMax = static_cast<float>(a.rows) / static_cast<float>(nextPowerOfTwo(a.rows));
    EXPECT_LE(sMax, 1.0f);
    EXPECT_LE(tMax, 1.0f);

    const float penX = 200.0f;
    const float baseline = 300.0f;
    const float left = penX + static_cast<float>(a.left);
    const float right = left + static_cast<float>(a.width);
    const float top = baseline + static_cast<float>(a.top);
    const float bottom = top - static_cast<float>(a.rows);
    struct Corner {
        float x, y, s, t;
    };
    const std::array<Corner, 4> corners = {{{left, top, 0.0f, 0.0f},
                                            {left, bottom, 0.0f, tMax},
                                            {right, bottom, sMax, tMax},
                                            {right, top, sMax, 0.0f}}};

    glEnable(GL_TEXTURE_2D);
    glTranslatef(penX, baseline, 0.0f);
    const std::vector<FedBackVertex> vertices = verticesDrawnBy(font().listBase() + 'A');
    ASSERT_FALSE(vertices.empty()) << "the quad was culled or not drawn";
    std::array<bool, 4> seen{};
    for (const FedBackVertex& vertex : vertices) {
        bool matched = false;
        for (std::size_t c = 0; c < corners.size(); ++c) {
            const Corner& corner = corners[c];
            if (std::fabs(vertex.x - corner.x) < 0.01f && std::fabs(vertex.y - corner.y) < 0.01f) {
                EXPECT_NEAR(vertex.s, corner.s, 1e-6f);
                EXPECT_NEAR(vertex.t, corner.t, 1e-6f);
                seen[c] = matched = true;
            }
        }
        EXPECT_TRUE(matched) << "vertex at " << vertex.x << ", " << vertex.y;
    }
    EXPECT_EQ(seen, (std::array<bool, 4>{true, true, true, true}));
}

TEST_F(FontTest, CapitalLetterListAdvancesThePenByWholePixels) {
    const ReferenceGlyph a = referenceGlyph('A');
    glTranslatef(100.0f, 0.0f, 0.0f);
    glCallList(font().listBase() + 'A');
    glCallList(font().listBase() + 'A');
    EXPECT_EQ(modelviewX(), 100.0f + 2.0f * static_cast<float>(a.advance));
}

TEST_F(FontTest, TextWidthIsHowFarDrawingTheLineMovesThePen) {
    for (const std::string line : {"", " ", "A", "Won in 4:05. Best 3:42"}) {
        glLoadIdentity();
        glListBase(font().listBase());
        glCallLists(static_cast<GLsizei>(line.size()), GL_UNSIGNED_BYTE, line.data());
        EXPECT_EQ(font().textWidth(line), modelviewX()) << '"' << line << '"';
    }
    EXPECT_EQ(font().textWidth("caf\xe9"), font().textWidth("caf?"));
    EXPECT_EQ(Font().textWidth("A"), 0.0f) << "a font that never loaded";
}

TEST_F(FontTest, DrawsTheCapitalWhereItsBitmapSaysAndInTheCurrentColour) {
    const ReferenceGlyph a = referenceGlyph('A');
    const InkBox box = inkOf("A", 200.0f, 300.0f, 1.0f);
    ASSERT_TRUE(box.any);
    EXPECT_NEAR(box.left, 200 + a.left, 1);
    EXPECT_NEAR(box.right, 200 + a.left + a.width - 1, 1);
    EXPECT_NEAR(box.top, 300 + a.top - 1, 1);
    EXPECT_NEAR(box.bottom, 300 + a.top - a.rows, 1);
    const int middle = (box.bottom + box.top) / 2;
    bool black = false;
    for (int x = box.left; x <= box.right; ++x) {
        const std::array<std::uint8_t, 4> pixel = pixelAt(x, middle);
        black = black || (pixel[0] == 0 && pixel[1] == 0 && pixel[2] == 0);
    }
    EXPECT_TRUE(black) << "full coverage in black ink should be black";
}

TEST_F(FontTest, LaterLinesStepDownByTheLineSpacingWhateverTheScale) {
    for (const float scale : {1.0f, 0.5f}) {
        const InkBox one = inkOf("A", 100.0f, 500.0f, scale);
        const InkBox two = inkOf("A\nA", 100.0f, 500.0f, scale);
        const InkBox trailing = inkOf("A\n", 100.0f, 500.0f, scale);
        ASSERT_TRUE(one.any && two.any);
        EXPECT_EQ(two.top, one.top) << "scale " << scale;
        EXPECT_EQ(two.left, one.left) << "scale " << scale;
        EXPECT_NEAR(static_cast<float>(one.bottom - two.bottom), font().lineSpacing(), 1.0f)
            << "scale " << scale;
        EXPECT_EQ(trailing.bottom, one.bottom) << "the empty last line draws nothing";
    }
}

TEST_F(FontTest, CutsTextOffAfter255Bytes) {
    const ReferenceGlyph space = referenceGlyph(' ');
    const float scale = 900.0f / (255.0f * static_cast<float>(space.advance));
    const std::string lastFits = std::string(254, ' ') + std::string(46, 'A');
    const std::string cutOff = std::string(255, ' ') + std::string(45, 'A');
    EXPECT_TRUE(inkOf(lastFits.c_str(), 10.0f, 400.0f, scale).any);
    EXPECT_FALSE(inkOf(cutOff.c_str(), 10.0f, 400.0f, scale).any);
}

TEST_F(FontTest, BytesAboveTheFontShowAsAQuestionMark) {
    const GLuint foreignList = font().listBase() + 0xC1;
    ASSERT_FALSE(glIsList(foreignList)) << "list name already taken; cannot plant a trap";
    glNewList(foreignList, GL_COMPILE);
    glDisable(GL_TEXTURE_2D);
    glRectf(-2000.0f, -2000.0f, 2000.0f, 2000.0f);
    glEndList();

    const InkBox question = inkOf("?", 300.0f, 300.0f, 1.0f);
    const Frame questionFrame = readFrame();
    const InkBox foreign = inkOf("\xC1", 300.0f, 300.0f, 1.0f);
    const Frame foreignFrame = readFrame();
    glDeleteLists(foreignList, 1);

    ASSERT_TRUE(question.any);
    EXPECT_EQ(foreignFrame.rgba, questionFrame.rgba);
    EXPECT_EQ(foreign.right, question.right);
}

TEST_F(FontTest, NullFormatDrawsNothing) {
    glClear(GL_COLOR_BUFFER_BIT);
    const char* noFormat = nullptr;
    printText(font(), noFormat);
    EXPECT_FALSE(inkBoxOf(readFrame(), 255, 255, 255).any);
}

TEST_F(FontTest, AFontThatNeverLoadedDrawsNothing) {
    glClear(GL_COLOR_BUFFER_BIT);
    const Font unloaded;
    printText(unloaded, "Planets Formed: %.0f", 3.0);
    EXPECT_FALSE(inkBoxOf(readFrame(), 255, 255, 255).any);
}

namespace {

struct TextState {
    std::array<GLboolean, 4> enables{};
    GLint listBase = 0;
    GLint matrixMode = 0;
    std::array<GLfloat, 16> modelview{};
    std::array<GLfloat, 16> projection{};
    GLint modelviewDepth = 0;
    GLint projectionDepth = 0;
    std::array<GLfloat, 4> colour{};

    static TextState current() {
        TextState state;
        state.enables = {glIsEnabled(GL_LIGHTING), glIsEnabled(GL_DEPTH_TEST),
                         glIsEnabled(GL_BLEND), glIsEnabled(GL_TEXTURE_2D)};
        glGetIntegerv(GL_LIST_BASE, &state.listBase);
        glGetIntegerv(GL_MATRIX_MODE, &state.matrixMode);
        glGetFloatv(GL_MODELVIEW_MATRIX, state.modelview.data());
        glGetFloatv(GL_PROJECTION_MATRIX, state.projection.data());
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &state.modelviewDepth);
        glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &state.projectionDepth);
        glGetFloatv(GL_CURRENT_COLOR, state.colour.data());
        return state;
    }
};

void setEnabled(GLenum capability, bool enabled) {
    if (enabled) {
        glEnable(capability);
    } else {
        glDisable(capability);
    }
}

} // namespace

TEST_F(FontTest, LeavesTheCallersStateAsItFoundIt) {
    struct Setting {
        bool on;
        GLuint listBase;
        GLenum matrixMode;
    };
    for (const Setting& setting :
         {Setting{true, 7, GL_PROJECTION}, Setting{false, 0, GL_MODELVIEW}}) {
        for (const GLenum capability : {GL_LIGHTING, GL_DEPTH_TEST, GL_BLEND, GL_TEXTURE_2D}) {
            setEnabled(capability, setting.on);
        }
        glListBase(setting.listBase);
        glColor4f(0.2f, 0.4f, 0.6f, 0.8f);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glTranslatef(30.0f, 200.0f, 0.0f);
        glScalef(0.5f, 0.5f, 1.0f);
        glMatrixMode(setting.matrixMode);
        const TextState before = TextState::current();

        printText(font(), "Two\nlines %d", 2);

        const TextState after = TextState::current();
        EXPECT_EQ(after.enables, before.enables) << "enables on " << setting.on;
        EXPECT_EQ(after.listBase, before.listBase);
        EXPECT_EQ(after.matrixMode, before.matrixMode);
        EXPECT_EQ(after.modelview, before.modelview);
        EXPECT_EQ(after.projection, before.projection);
        EXPECT_EQ(after.modelviewDepth, before.modelviewDepth);
        EXPECT_EQ(after.projectionDepth, before.projectionDepth);
        EXPECT_EQ(after.colour, before.colour);
    }
}

TEST_F(FontTest, GlyphsUploadWhateverTheCallersUnpackAlignment) {
    constexpr unsigned int kSmallSize = 12; // narrow glyphs get textures two texels wide
    glPixelStorei(GL_UNPACK_ALIGNMENT, 8);
    Font small;
    small.init(kFontFile, kSmallSize);
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    EXPECT_EQ(alignment, 8) << "the caller's alignment comes back";
    for (char code = '!'; code <= '~'; ++code) {
        const TextureImage texture = textureImage(small.textures()[static_cast<int>(code)]);
        EXPECT_EQ(textureMismatches(texture, referenceGlyph(code, kSmallSize)), 0)
            << "glyph '" << code << "', " << texture.width << " texels wide";
    }
}
