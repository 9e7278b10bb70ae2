// The least a game window costs: the same 1024 by 768 double-buffered GLUT
// window as the game's, drawing the bare frame of the benchmarks (one
// full-window textured quad and a swap, with the game's fixed depth test)
// whenever the loop is idle. The yardstick for the game's start-up, memory and
// frame rate (bench/measure-window.sh); it links nothing of the game.
#include <GL/glu.h>
#include <GL/glut.h>

#include <cstdint>
#include <vector>

namespace {

constexpr int kWindowWidth = 1024;
constexpr int kWindowHeight = 768;
constexpr int kWindowX = 100;
constexpr int kWindowY = 100;
constexpr int kTextureSize = 1024; // the size of the game's full-window pictures
constexpr double kFieldOfView = 90.0;
constexpr double kNearPlane = 0.001;
constexpr double kFarPlane = 200.0;
constexpr float kFieldCentreY = 37.5f;
constexpr float kFieldWidth = 100.0f;
constexpr float kFieldHeight = 75.0f;
constexpr float kHalf = 0.5f;

GLuint texture = 0;

// A made-up opaque picture: the reference loads no file.
std::vector<std::uint8_t> gradient() {
    std::vector<std::uint8_t> rgba(4u * kTextureSize * kTextureSize);
    for (int y = 0; y < kTextureSize; ++y) {
        for (int x = 0; x < kTextureSize; ++x) {
            std::uint8_t* const texel = &rgba[4u * static_cast<unsigned>(y * kTextureSize + x)];
            texel[0] = static_cast<std::uint8_t>(x / 4);
            texel[1] = static_cast<std::uint8_t>(y / 4);
            texel[2] = 128;
            texel[3] = 255;
        }
    }
    return rgba;
}

void makeTexture() {
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, kTextureSize, kTextureSize, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, gradient().data());
}

// As the game's camera does: the clear sets the depth the quad is tested against.
void onReshape(int w, int h) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFieldOfView, static_cast<double>(w) / static_cast<double>(h), kNearPlane,
                   kFarPlane);
    glMatrixMode(GL_MODELVIEW);
}

void onDisplay() {
    glLoadIdentity();
    glTranslatef(0.0f, -kFieldCentreY, -kFieldCentreY);
    glTranslatef(0.0f, kFieldCentreY, 0.0f);
    glScalef(kFieldWidth, kFieldHeight, 1.0f);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 1.0f);
    glVertex2f(-kHalf, -kHalf);
    glTexCoord2f(1.0f, 1.0f);
    glVertex2f(kHalf, -kHalf);
    glTexCoord2f(1.0f, 0.0f);
    glVertex2f(kHalf, kHalf);
    glTexCoord2f(0.0f, 0.0f);
    glVertex2f(-kHalf, kHalf);
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
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(kWindowWidth, kWindowHeight);
    glutCreateWindow("bare window");
    glutPositionWindow(kWindowX, kWindowY);
    glutReshapeFunc(onReshape);
    glutDisplayFunc(onDisplay);
    glutIdleFunc(onIdle);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_DEPTH_TEST);
    makeTexture();
    glutMainLoop();
    return 0;
}
