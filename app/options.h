#pragma once

#include <string>

// What the player asked for on the command line. Every field's default is the
// game as it always was: a 1024 by 768 window, sound on, data in the working
// directory.
struct Options {
    // The folder that holds images/, sound/ and fonts/; empty for the working directory.
    std::string dataFolder;
    // No audio device is opened at all.
    bool mute = false;
    // Borderless full screen, the field letterboxed to fit.
    bool fullscreen = false;
    // The window is this many times 1024 by 768; 0 for the default size.
    double scale = 0.0;
    // Frames per second at most: kPacedToScreen follows the screen's refresh,
    // kUnpaced draws as fast as it can.
    static constexpr int kPacedToScreen = -1;
    static constexpr int kUnpaced = 0;
    int maxFps = kPacedToScreen;
    // The player's records are read at start and each finished game added to them.
    bool keepRecords = true;
    // The game is recorded into this file as it is played; empty for none.
    std::string recordFile;
    // The recorded game in this file is played back instead; empty for none.
    std::string replayFile;
    // The replay runs unpaced, whatever --max-fps says, and the program ends
    // with it, saying how it ended.
    bool fastReplay = false;
    // The X display GLUT opens the window on, as -display names it; empty for $DISPLAY.
    std::string displayName;
};
