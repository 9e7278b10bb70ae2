#pragma once

#include "running_game.h"

#include "app/camera.h"
#include "world/field_bounds.h"
#include "world/landmarks.h"

class TgaImage;

// A point of the play field in world units: x from -50 to 50, y from 0 (bottom) to 75.
struct WorldPoint {
    double x = 0.0;
    double y = 0.0;
};

// The sun, at the centre of the system; it destroys a ship within 6 units of it.
constexpr WorldPoint kSunCentre{kSystemCentre.x, kSystemCentre.y};
// Where the ship of every new game waits.
constexpr WorldPoint kShipStartPoint{kShipStart.x, kShipStart.y};
constexpr double kPixelsPerUnit = Camera::kWindowWidth / (kFieldRight - kFieldLeft);
// The counter "Planets Formed: N", in window pixels (y down).
constexpr int kCounterLeft = 640;
constexpr int kCounterTop = 50;
constexpr int kCounterRight = 1016;
constexpr int kCounterBottom = 88;

// The window pixel showing a world point, y down as in a screenshot.
int windowX(double worldX);
int windowY(double worldY);
WorldPoint worldPointAt(double windowX, double windowY);
double distanceBetween(const WorldPoint& a, const WorldPoint& b);

// Share of the opaque texels of an end picture (drawn 45 by 45 units over the
// sun) that the screenshot shows.
double shareOfEndPicture(const RunningGame::Screenshot& shot, const TgaImage& picture);
// Whether the screenshot shows the end picture over the play field.
bool showsEndPicture(const RunningGame::Screenshot& shot, const TgaImage& picture);
