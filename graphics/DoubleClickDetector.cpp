#include "graphics/DoubleClickDetector.h"

#include <cstdlib>

bool DoubleClickDetector::Press(int button, int x, int y, uint32_t timeMs)
{
    if (button != 1)
    {
        armed = false;
        return false;
    }
    // Server times are 32-bit milliseconds that wrap; unsigned arithmetic keeps the
    // difference right.
    const bool isDouble = armed && timeMs - lastTime <= kIntervalMs &&
                          std::abs(x - lastX) <= kDistance && std::abs(y - lastY) <= kDistance;
    armed = !isDouble;
    lastX = x;
    lastY = y;
    lastTime = timeMs;
    return isDouble;
}
