#pragma once

#include <chrono>
#include <string>

struct Options;

// What the game asks of the machine it runs on, beyond OpenGL and GLUT: its
// window and the pace of its frames. Each platform defines all of these in a
// room of its own (platform/desktop/, platform/web/) and the build links one;
// the sound output is SoundOutput, beside this.

// Opens the game's one window, after glutInit and glutInitDisplayMode.
void openGameWindow(const Options& options);
// Full screen, where the game itself took it, gives way to the normal window.
void leaveFullScreen();
// While continuous, frames follow one another at the platform's pace (play);
// otherwise a frame comes only when the window or the game asks for one (the
// menus, which are still pictures).
void setFramesContinuous(bool continuous);
// Runs `task` once the frame just drawn is on the screen: at once where the
// swap has shown it, later where the frame shows only when its drawing returns.
void whenFrameShown(void (*task)());
// The window has just taken a new size, which left it blank: it is drawn again
// where the window system does not see to that itself.
void redrawAfterReshape();
// `onClose` runs when the player closes the window, where the platform tells.
void callWhenWindowCloses(void (*onClose)());
// Whatever else the platform ends a program by (a signal, a window destroyed
// under it) ends the game as closing its window does: `onClose`, then the end.
void endAsClosingDoes(void (*onClose)());
// Lets up to `most` go by between two calls of the idle callback while it
// waits for a time to come: where the platform's loop calls it again at once,
// the wait is here; where the loop waits between calls by itself, nothing.
void waitBetweenIdleCalls(std::chrono::nanoseconds most);
// A line for the player on how something ended, outside the game's picture:
// where there is only a terminal, said there when it tells of trouble.
void showOutcomeLine(const std::string& line, bool trouble);
