#pragma once

// What every whole-program test shares: the window's size, how closely a
// screenshot must show a picture, waits on the window, and the way into play.
#include "polling.h"
#include "running_game.h"
#include "stretched_picture.h"

#include "app/camera.h"
#include "render/tga_image.h"

#include <functional>
#include <string>

// The game's window keeps this one size.
constexpr int kWindowWidth = Camera::kWindowWidth;
constexpr int kWindowHeight = Camera::kWindowHeight;
// Share of samples that must match for a full-window picture to count as shown.
constexpr double kWholePicture = 0.97;
// In play the bodies and the planet counter are drawn over the backdrop.
constexpr double kMostOfTheBackdrop = 0.85;
// An end picture takes no click for its first half second; this long after it
// shows, a click plays again.
constexpr std::chrono::milliseconds kEndPictureStands{700};

// The screens' pictures, and the one drawn over play when the ship is lost.
struct GamePictures : ScreenPictures {
    TgaImage lose;
    GamePictures() { lose.load(VANTOREL_DATA_DIR "/images/lose.tga", false); }
};

using ScreenshotCondition = std::function<bool(const RunningGame::Screenshot&)>;

// Screenshots the window every poll interval until one satisfies `holds` or
// `longest` has passed; returns the last screenshot taken.
RunningGame::Screenshot screenshotWhen(const RunningGame& game, const ScreenshotCondition& holds,
                                       std::chrono::milliseconds longest = kLongestWait);
// Waits until the window shows the picture, and returns what it shows.
RunningGame::Screenshot waitForPicture(const RunningGame& game, const StretchedPicture& picture,
                                       double share = kWholePicture);
// The window's size once it is back at its own, or the last one seen.
RunningGame::Geometry settledGeometry(const RunningGame& game);

// A real program run to its end: what it printed, and its exit status.
struct Finished {
    std::string standardOutput;
    std::string standardError;
    int status = -1;
};

// Runs `program` with `arguments`, split as a shell splits them, in the game's
// data folder; `environment` goes before it, as in "env -u DISPLAY".
Finished runToEnd(const std::string& program, const std::string& arguments,
                  const std::string& environment = "");

// How the game's and the checker's report of a replay ends when the game ended
// in the state the recording holds.
constexpr const char* kEndsAsRecorded = "; the final state is the recorded one\n";

bool endsWith(const std::string& text, const std::string& end);

// The way into play a player takes; each step waits for its screen and returns it.
RunningGame::Screenshot waitForTitle(const RunningGame& game, const ScreenPictures& pictures);
RunningGame::Screenshot pressToInstructions(const RunningGame& game,
                                            const ScreenPictures& pictures);
RunningGame::Screenshot pressToPlay(const RunningGame& game, const ScreenPictures& pictures);
// All three steps: returns the first play frame.
RunningGame::Screenshot reachPlay(const RunningGame& game, const ScreenPictures& pictures);
