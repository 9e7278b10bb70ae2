// A small program the browser harness tests itself against: it draws what the
// game will draw in the page (a textured quad, a glyph of the game's font
// through FreeType, fixed-function GL), follows the mouse, and plays a tone
// once a click lets the page's audio start.
#include <GL/glut.h>
#include <emscripten.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <vector>

namespace {

constexpr double kFieldLeft = -50.0;
constexpr double kFieldRight = 50.0;
constexpr double kFieldBottom = 0.0;
constexpr double kFieldTop = 75.0;
constexpr int kInitialWidth = 1024;
constexpr int kInitialHeight = 768;
constexpr const char* kFontFile = "fonts/FRESHBOT.ttf";
constexpr unsigned int kGlyphPixels = 96;
constexpr char kGlyph = 'V';
// Not a power of two: drawn only when the texture clamps to its edge.
constexpr int kPictureWidth = 96;
constexpr int kPictureHeight = 72;
constexpr float kMarkerHalfSize = 2.0f;
constexpr double kReportSeconds = 1.0;

struct Rect {
    float left;
    float bottom;
    float right;
    float top;
};
// Where the harness's self-tests look, in field units.
constexpr Rect kPictureArea{-40.0f, 40.0f, -10.0f, 65.0f};
constexpr Rect kGlyphArea{10.0f, 40.0f, 30.0f, 65.0f};

struct Texture {
    GLuint name = 0;
    int width = 0;
    int height = 0;
};

struct Pointer {
    float x = 0.0f;
    float y = 0.0f;
    bool seen = false;
    bool held = false;
};

int windowWidth = kInitialWidth;
int windowHeight = kInitialHeight;
Texture picture;
Texture glyph;
Pointer pointer;
int framesDrawn = 0;
int idleCalls = 0;
double reportStart = 0.0;

// A continuous quiet tone, asked for at start-up: the browser holds it back
// until a click, and the page's mute silences it.
EM_JS(void, startTone, (), {
    const context = new AudioContext();
    const level = context.createGain();
    const gainWhenHeard = 0.2;
    level.gain.value = gainWhenHeard;
    const tone = context.createOscillator();
    tone.frequency.value = 440;
    tone.connect(level);
    level.connect(context.destination);
    tone.start();
    Module['spikeAudio'] = context;
    Module['setMuted'] = function(muted) {
        level.gain.value = muted ? 0 : gainWhenHeard;
    };
});

EM_JS(void, resumeTone, (), {
    if (Module['spikeAudio']) {
        Module['spikeAudio'].resume();
    }
});

Texture uploadRgba(int width, int height, const std::vector<unsigned char>& texels) {
    Texture texture{0, width, height};
    glGenTextures(1, &texture.name);
    glBindTexture(GL_TEXTURE_2D, texture.name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 texels.data());
    return texture;
}

// Red on the left half, blue on the right.
Texture makePicture() {
    std::vector<unsigned char> texels(static_cast<size_t>(kPictureWidth * kPictureHeight * 4));
    for (int row = 0; row < kPictureHeight; ++row) {
        for (int column = 0; column < kPictureWidth; ++column) {
            unsigned char* texel = &texels[static_cast<size_t>((row * kPictureWidth + column) * 4)];
            const bool left = column < kPictureWidth / 2;
            texel[0] = left ? 255 : 0;
            texel[2] = left ? 0 : 255;
            texel[3] = 255;
        }
    }
    return uploadRgba(kPictureWidth, kPictureHeight, texels);
}

// The glyph's coverage as the alpha of white texels, top row first.
Texture makeGlyph() {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    Texture texture;
    if (FT_Init_FreeType(&library) != 0) {
        std::fprintf(stderr, "spike: FT_Init_FreeType failed\n");
        return texture;
    }
    if (FT_New_Face(library, kFontFile, 0, &face) == 0 &&
        FT_Set_Pixel_Sizes(face, 0, kGlyphPixels) == 0 &&
        FT_Load_Char(face, kGlyph, FT_LOAD_RENDER) == 0) {
        const FT_Bitmap& bitmap = face->glyph->bitmap;
        const int width = static_cast<int>(bitmap.width);
        const int rows = static_cast<int>(bitmap.rows);
        std::vector<unsigned char> texels(static_cast<size_t>(width * rows * 4), 255);
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < width; ++column) {
                texels[static_cast<size_t>((row * width + column) * 4 + 3)] =
                    bitmap.buffer[row * bitmap.pitch + column];
            }
        }
        texture = uploadRgba(width, rows, texels);
    } else {
        std::fprintf(stderr, "spike: the font's glyph could not be made\n");
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return texture;
}

// Each vertex carries its colour: legacy GL emulation garbles one set per quad.
void drawQuad(const Rect& area, const float (&colour)[4]) {
    struct Corner {
        float x;
        float y;
        float s;
        float t;
    };
    const Corner corners[] = {{area.left, area.bottom, 0.0f, 1.0f},
                              {area.right, area.bottom, 1.0f, 1.0f},
                              {area.right, area.top, 1.0f, 0.0f},
                              {area.left, area.top, 0.0f, 0.0f}};
    glBegin(GL_QUADS);
    for (const Corner& corner : corners) {
        glColor4fv(colour);
        glTexCoord2f(corner.s, corner.t);
        glVertex2f(corner.x, corner.y);
    }
    glEnd();
}

void drawTextured(const Texture& texture, const Rect& area) {
    constexpr float kWhite[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    constexpr float kVisibleAlpha = 0.1f;
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glEnable(GL_ALPHA_TEST);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glAlphaFunc(GL_GREATER, kVisibleAlpha);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glBindTexture(GL_TEXTURE_2D, texture.name);
    drawQuad(area, kWhite);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
}

void drawPointer() {
    constexpr float kFollowing[4] = {0.0f, 1.0f, 0.0f, 1.0f};
    constexpr float kHeld[4] = {1.0f, 1.0f, 0.0f, 1.0f};
    if (!pointer.seen) {
        return;
    }
    const Rect marker{pointer.x - kMarkerHalfSize, pointer.y - kMarkerHalfSize,
                      pointer.x + kMarkerHalfSize, pointer.y + kMarkerHalfSize};
    drawQuad(marker, pointer.held ? kHeld : kFollowing);
}

void reportFrameRates() {
    const double now = emscripten_get_now() / 1000.0;
    if (now - reportStart < kReportSeconds) {
        return;
    }
    std::printf("spike: %d frames, %d idle calls in %.2f s, window %d x %d\n", framesDrawn,
                idleCalls, now - reportStart, windowWidth, windowHeight);
    reportStart = now;
    framesDrawn = 0;
    idleCalls = 0;
}

void display() {
    glViewport(0, 0, windowWidth, windowHeight);
    glClearColor(0.0f, 0.0f, 0.25f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(kFieldLeft, kFieldRight, kFieldBottom, kFieldTop, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    drawTextured(picture, kPictureArea);
    drawTextured(glyph, kGlyphArea);
    drawPointer();
    glutSwapBuffers();
    ++framesDrawn;
    reportFrameRates();
}

void idle() {
    ++idleCalls;
    glutPostRedisplay();
}

void reshape(int width, int height) {
    windowWidth = width;
    windowHeight = height;
}

void follow(int x, int y) {
    pointer.x = static_cast<float>(kFieldLeft + (kFieldRight - kFieldLeft) * x / windowWidth);
    pointer.y = static_cast<float>(kFieldTop - (kFieldTop - kFieldBottom) * y / windowHeight);
    pointer.seen = true;
}

void mouse(int button, int state, int x, int y) {
    if (button != GLUT_LEFT_BUTTON) {
        return;
    }
    pointer.held = state == GLUT_DOWN;
    follow(x, y);
    resumeTone();
}

} // namespace

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGBA | GLUT_DOUBLE);
    glutInitWindowSize(kInitialWidth, kInitialHeight);
    glutCreateWindow("Vantorel");
    picture = makePicture();
    glyph = makeGlyph();
    startTone();
    glutDisplayFunc(display);
    glutIdleFunc(idle);
    glutReshapeFunc(reshape);
    glutMouseFunc(mouse);
    glutMotionFunc(follow);
    glutPassiveMotionFunc(follow);
    glutMainLoop();
    return 0;
}
