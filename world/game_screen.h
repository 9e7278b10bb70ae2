#pragma once

#include <cstdint>

enum class GameScreen : std::int32_t {
    Title = 0,
    Instructions = 1,
    Playing = 2,
};

// The screen the program shows; written by the game's rules as it starts and
// as the mouse moves it on.
extern GameScreen currentScreen;
