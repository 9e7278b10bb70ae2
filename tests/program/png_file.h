#pragma once

#include "running_game.h"

#include <string>

// Writes a screenshot as a PNG file (through ImageMagick's convert, which the
// tests need anyway); true when the file was written.
bool savePng(const RunningGame::Screenshot& shot, const std::string& path);
