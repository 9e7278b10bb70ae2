#include "platform/platform.h"

#include "app/game.h"
#include "platform/desktop/game_window.h"

#include <GL/freeglut.h>
#include <malloc.h>

namespace {

void onIdle() {
    getGame();
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

// glibc keeps freed pages for the process unless asked to hand them back.
void returnFreedMemory() {
    malloc_trim(0);
}
