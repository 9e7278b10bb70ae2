#pragma once

// The play field on the plane z = 0, in world units: what the camera shows edge
// to edge, where the pictures are stretched and where bodies are placed.
constexpr double kFieldLeft = -50.0;
constexpr double kFieldRight = 50.0;
constexpr double kFieldBottom = 0.0;
constexpr double kFieldTop = 75.0;
