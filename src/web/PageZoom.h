#pragma once

// The page zoom in the engine's usual steps, from 25 % to 500 %.
namespace PageZoom {

// The next step above (direction > 0) or below (direction < 0) factor; the same factor
// at either end. A factor between steps moves to the nearest step that way.
double step(double factor, int direction);

// The factor as the user reads it: "110 %".
int percent(double factor);

} // namespace PageZoom
