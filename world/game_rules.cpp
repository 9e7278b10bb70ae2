#include "world/game_rules.h"

#include "clock/elapsed_time.h"
#include "world/game_screen.h"
#include "world/world.h"

GameScreen currentScreen = GameScreen::Title;

namespace {

constexpr double kLongestFrameSeconds = 0.12;
// The end picture stands this long, from the first frame after the one that
// drew it (that drawing may be slow: the picture is read as it first shows),
// before a click may take it away: a click that was steering as the ship died
// must not skip it unseen.
constexpr int kEndPictureStandsMs = 500;
constexpr double kMillisecondsPerSecond = 1000.0;

bool isWheel(int button) {
    return button == GameRules::kWheelUp || button == GameRules::kWheelDown;
}

} // namespace

GameRules::GameRules(World& world) : world_(world) {}

void GameRules::start() {
    currentScreen = GameScreen::Title;
    lastTimeMs_ = elapsedMilliseconds();
    playedLastFrame_ = false;
}

void GameRules::frame() {
    const bool playing = currentScreen == GameScreen::Playing;
    if (playing && !playedLastFrame_) {
        // The menus are drawn only when shown or exposed, so their last frame may
        // be long past: play starts the clock afresh, not from the menus' time.
        lastTimeMs_ = elapsedMilliseconds();
    }
    playedLastFrame_ = playing;
    tick();
    if (playing) {
        world_.update(static_cast<float>(delta_));
    }
    if (!worldBegun_) {
        worldBegun_ = true;
        world_.begin();
    }
}

void GameRules::tick() {
    const std::int32_t nowMs = elapsedMilliseconds();
    delta_ = static_cast<double>(millisecondsBetween(lastTimeMs_, nowMs)) / kMillisecondsPerSecond;
    stalled_ = delta_ > kLongestFrameSeconds;
    if (stalled_) {
        delta_ = kLongestFrameSeconds;
    }
    lastTimeMs_ = nowMs;
}

void GameRules::setPointer(float x, float y) {
    pointerX_ = x;
    pointerY_ = y;
}

GameRules::Outcome GameRules::applyButton(int button, int state) {
    if (isWheel(button)) {
        return Outcome::Nothing; // scrolling neither skips the instructions nor steers
    }
    if (state == kPressed) {
        const Outcome advanced = advanceScreen();
        if (advanced != Outcome::Nothing) {
            return advanced;
        }
    }
    if (!spentOnRestart(button, state)) {
        routeButton(button == kLeftButton && state == kPressed);
    }
    return Outcome::Nothing;
}

// A press on a menu screen moves on to the next one.
GameRules::Outcome GameRules::advanceScreen() {
    if (currentScreen == GameScreen::Title) {
        currentScreen = GameScreen::Instructions;
        return Outcome::ScreenAdvanced;
    }
    if (currentScreen == GameScreen::Instructions) {
        currentScreen = GameScreen::Playing;
        return Outcome::PlayBegan;
    }
    return Outcome::Nothing;
}

// The click that restarts a game is used up by the restart: its release must not
// steer the new ship, whether it comes before or after the restart. A left press
// starts a click afresh, in case a release was never delivered.
bool GameRules::spentOnRestart(int button, int state) {
    if (button != kLeftButton) {
        return false;
    }
    if (state == kPressed) {
        restartClickHeld_ = world_.isGameOver();
        return false;
    }
    const bool spent = restartClickHeld_;
    restartClickHeld_ = false;
    return spent;
}

// While the game is over a left press asks for a new one; otherwise every
// button event steers the ship.
void GameRules::routeButton(bool leftPressed) {
    if (world_.isGameOver()) {
        const std::optional<int> shownSince = world_.endShownSinceMs();
        const bool endPictureStood =
            shownSince &&
            millisecondsBetween(*shownSince, elapsedMilliseconds()) >= kEndPictureStandsMs;
        world_.setRestartRequested(leftPressed && endPictureStood);
        return;
    }
    Ship& ship = world_.ship();
    ship.setButtonHeld(leftPressed);
    ship.setTarget(pointerX_, pointerY_);
}

GameRules& getGameRules() {
    static GameRules* const rules = new GameRules(getWorld());
    return *rules;
}
