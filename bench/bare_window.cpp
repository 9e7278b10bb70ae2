// The least a game window costs, and the floor the game is measured against
// (bench/measure-window.sh): the game's 1024 by 768 double-buffered GLUT window,
// opened without a depth buffer as the game's is, drawing one opaque
// full-window textured quad and a swap whenever the loop is idle. The quad is
// laid down as the game lays its backdrop: a texture of the window's size,
// texel for pixel, unfiltered. Nothing else: no depth test, no blending, no
// clear (the quad covers every pixel). It links nothing of the game.
#include <GL/glut.h>

#include <cstdint>
#include <vector>

namespace {

constexpr int kWindowWidth = 1024;
constexpr int kWindowHeight = 768;
constexpr int kWindowX = 100;
constexpr int kWindowY = 100;
constexpr std::uint8_t kBlue = 128;
constexpr std::uint8_t kOpaque = 255;
constexpr int kGradientStep = 4;

GLuint texture = 0;

// A made-up opaque picture: the floor loads no file.
std::vector<std::uint8_t> gradient() {
    std::vector<std::uint8_t> rgba(4u * kWindowWidth * kWindowHeight);
    for (int y = 0; y < kWindowHeight; ++y) {
        for (int x = 0; x < kWindowWidth; ++x) {
            std::uint8_t* const texel = &rgba[4u * static_cast<unsigned>(y * kWindowWidth + x)];
            texel[0] = static_cast<std::uint8_t>(x / kGradientStep);
            texel[1] = static_cast<std::uint8_t>(y / kGradientStep);
            texel[2] = kBlue;
            texel[3] = kOpaque;
        }
    }
    return rgba;
}

void makeTexture() {
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kWindowWidth, kWindowHeight, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, gradient().data());
}

void onReshape(int w, int h) {
    glViewport(0, 0, w, h);
}

// The projection and modelview stay the identity: the quad's corners are the
// window's.
void onDisplay() {
    glEnable(GL_TEXTURE_2D);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(-1.0f, -1.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(1.0f, -1.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(1.0f, 1.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(-1.0f, 1.0f);
    glEnd();
    glDisable(GL_TEXTURE_2D);
    glutSwapBuffers();
}

void onIdle() {
    glutPostRedisplay();
}

} // namespace

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
    glutInitWindowSize(kWindowWidth, kWindowHeight);
    glutCreateWindow("bare window");
    glutPositionWindow(kWindowX, kWindowY);
    glutReshapeFunc(onReshape);
    glutDisplayFunc(onDisplay);
    glutIdleFunc(onIdle);
    makeTexture();
    glutMainLoop();
    return 0;
}
