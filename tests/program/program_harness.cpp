#include "program_harness.h"

#include "support/temporary_folder.h"

#include <cstdlib>
#include <cstring>

namespace {

// Any press leaves the title and the instructions; neither moves the ship.
constexpr int kPressX = kWindowWidth / 2;
constexpr int kPressY = kWindowHeight / 2;
// Mean difference per channel above which the window shows another picture.
constexpr double kChanged = 1.0;

double meanDifference(const RunningGame::Screenshot& a, const RunningGame::Screenshot& b) {
    if (a.rgb.size() != b.rgb.size() || a.rgb.empty()) {
        return 255.0;
    }
    double sum = 0.0;
    for (std::size_t i = 0; i < a.rgb.size(); ++i) {
        sum += std::abs(static_cast<int>(a.rgb[i]) - static_cast<int>(b.rgb[i]));
    }
    return sum / static_cast<double>(a.rgb.size());
}

// A press, then the next screen: the window must have changed, so that a screen
// that looks much like the next one is not taken for it.
RunningGame::Screenshot pressOnto(const RunningGame& game, const StretchedPicture& next,
                                  double share) {
    const RunningGame::Screenshot before = game.screenshot();
    game.click(kPressX, kPressY);
    return screenshotWhen(game, [&](const RunningGame::Screenshot& shot) {
        return meanDifference(shot, before) >= kChanged && shareMatching(shot, next) >= share;
    });
}

} // namespace

Finished runToEnd(const std::string& program, const std::string& arguments,
                  const std::string& environment) {
    const TemporaryFolder folder;
    const std::string output =
        commandOutput("cd " VANTOREL_DATA_DIR " && " + environment + " " + program + " " +
                      arguments + " 2>" + folder.pathOf("errors") + "; echo \"status $?\"");
    const std::size_t statusAt = output.rfind("status ");
    return Finished{output.substr(0, statusAt), folder.read("errors"),
                    std::atoi(output.c_str() + statusAt + std::strlen("status "))};
}

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

RunningGame::Screenshot screenshotWhen(const RunningGame& game, const ScreenshotCondition& holds,
                                       std::chrono::milliseconds longest) {
    RunningGame::Screenshot shot;
    waitUntil(
        [&] {
            shot = game.screenshot();
            return holds(shot);
        },
        longest);
    return shot;
}

RunningGame::Screenshot waitForPicture(const RunningGame& game, const StretchedPicture& picture,
                                       double share) {
    return screenshotWhen(game, [&](const RunningGame::Screenshot& shot) {
        return shareMatching(shot, picture) >= share;
    });
}

RunningGame::Geometry settledGeometry(const RunningGame& game) {
    RunningGame::Geometry size;
    waitUntil([&] {
        size = game.geometry();
        return size.width == kWindowWidth && size.height == kWindowHeight;
    });
    return size;
}

RunningGame::Screenshot waitForTitle(const RunningGame& game, const ScreenPictures& pictures) {
    return waitForPicture(game, pictures.title);
}

RunningGame::Screenshot pressToInstructions(const RunningGame& game,
                                            const ScreenPictures& pictures) {
    return pressOnto(game, pictures.instructions, kWholePicture);
}

RunningGame::Screenshot pressToPlay(const RunningGame& game, const ScreenPictures& pictures) {
    return pressOnto(game, pictures.backdrop, kMostOfTheBackdrop);
}

RunningGame::Screenshot reachPlay(const RunningGame& game, const ScreenPictures& pictures) {
    waitForTitle(game, pictures);
    pressToInstructions(game, pictures);
    return pressToPlay(game, pictures);
}
