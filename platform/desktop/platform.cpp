#include "platform/platform.h"

#include "app/version.h"
#include "platform/desktop/end_signals.h"
#include "platform/desktop/game_window.h"
#include "platform/desktop/window_watch.h"

#include <GL/freeglut.h>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

// How often the loop looks for a signal or a destroyed window: the title has no
// idle callback, and freeglut sleeps until an event or a timer comes.
constexpr unsigned int kEndCheckMs = 100;
constexpr int kClosedStatus = 0;

void (*closeGame)() = nullptr;

WindowWatch& getWindowWatch() {
    static WindowWatch* const watch = new WindowWatch();
    return *watch;
}

// Nothing is left to save once the game has closed, and the libraries' own
// teardown would speak to a window that may be gone, an X error that ends the
// program with status 1: they are left out.
void checkForTheEnd(int) {
    if (endSignalArrived() || getWindowWatch().windowDestroyed()) {
        closeGame();
        std::fflush(nullptr);
        std::_Exit(kClosedStatus);
    }
    glutTimerFunc(kEndCheckMs, checkForTheEnd, 0);
}

void onIdle() {
    getGameWindow().waitForNextFrame();
    glutPostRedisplay();
}

} // namespace

void openGameWindow(const Options& options) {
    getGameWindow().open(options);
}

void leaveFullScreen() {
    getGameWindow().leaveFullScreen();
}

// With no idle callback freeglut sleeps until an event comes.
void setFramesContinuous(bool continuous) {
    glutIdleFunc(continuous ? onIdle : nullptr);
}

// The frame is on the screen once glutSwapBuffers has returned.
void whenFrameShown(void (*task)()) {
    task();
}

// freeglut draws a reshaped window again by itself.
void redrawAfterReshape() {}

void callWhenWindowCloses(void (*onClose)()) {
    glutCloseFunc(onClose);
}

// SIGTERM, SIGINT and SIGHUP, and a window destroyed rather than closed (with
// no window manager), which GLUT does not report.
void endAsClosingDoes(void (*onClose)()) {
    closeGame = onClose;
    listenForEndSignals();
    getWindowWatch().watchCurrentWindow();
    glutTimerFunc(kEndCheckMs, checkForTheEnd, 0);
}

void waitBetweenIdleCalls(std::chrono::nanoseconds most) {
    std::this_thread::sleep_for(most);
}

// A terminal is no place for good news: a game that ended as expected is
// seen in the window.
void showOutcomeLine(const std::string& line, bool trouble) {
    if (trouble) {
        std::fprintf(stderr, "%s: %s\n", kProgramName, line.c_str());
    }
}
