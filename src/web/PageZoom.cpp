#include "web/PageZoom.h"

#include <QtGlobal>

#include <cmath>
#include <iterator>

namespace PageZoom {

namespace {
const double kSteps[] = {0.25, 0.33, 0.5, 0.67, 0.75, 0.8, 0.9, 1.0, 1.1, 1.25, 1.5, 1.75, 2.0, 2.5, 3.0, 4.0, 5.0};
// Factors closer than this count as the same step.
const double kTolerance = 0.001;
} // namespace

double step(double factor, int direction)
{
    if (direction > 0) {
        for (const double next : kSteps) {
            if (next > factor + kTolerance)
                return next;
        }
        return std::end(kSteps)[-1];
    }
    for (auto it = std::rbegin(kSteps); it != std::rend(kSteps); ++it) {
        if (*it < factor - kTolerance)
            return *it;
    }
    return kSteps[0];
}

int percent(double factor)
{
    return int(std::lround(factor * 100));
}

} // namespace PageZoom
