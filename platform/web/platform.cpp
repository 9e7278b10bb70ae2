#include "platform/platform.h"

#include "app/camera.h"

#include <GL/glut.h>
#include <emscripten.h>

namespace {

constexpr const char* kWindowTitle = "Vantorel";
constexpr int kNextTask = 0; // milliseconds: a task of its own, after the frame

} // namespace

extern "C" void vantorel_show_outcome(const char* line, int trouble);

// The window is the page's canvas, which the page sizes to the 4:3 field at the
// screen's density before the program starts; the game takes whatever size it
// is given.
void openGameWindow(const Options&) {
    glutCreateWindow(kWindowTitle);
    getCamera().takeAnyWindowSize();
}

// Full screen is the page's, and the browser leaves it on Escape by itself.
void leaveFullScreen() {}

// GLUT shows the display callback's frame on the browser's next animation
// frame, which is the pace of play.
void setFramesContinuous(bool continuous) {
    if (continuous) {
        glutPostRedisplay();
    }
}

// The browser shows a frame once its animation frame's callbacks return: work
// done in them would hold the frame back.
void whenFrameShown(void (*task)()) {
    emscripten_async_call([](void* run) { reinterpret_cast<void (*)()>(run)(); },
                          reinterpret_cast<void*>(task), kNextTask);
}

// A canvas given a new size is cleared, and GLUT does not draw it again.
void redrawAfterReshape() {
    glutPostRedisplay();
}

// A page is closed without a word to it, and it takes no signals.
void callWhenWindowCloses(void (*)()) {}
void endAsClosingDoes(void (*)()) {}

// GLUT calls the idle callback from a timer of the browser's, which waits.
void waitBetweenIdleCalls(std::chrono::nanoseconds) {}

// Shown on the page, beside the field (web_page.js).
void showOutcomeLine(const std::string& line, bool trouble) {
    vantorel_show_outcome(line.c_str(), trouble ? 1 : 0);
}
