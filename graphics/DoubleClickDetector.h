#pragma once

#include <cstdint>

/// Recognises double clicks for window systems that report only presses: a left press
/// that follows the previous left press within `kIntervalMs` and `kDistance` window
/// pixels. The press after a recognised double click starts afresh. [ui thread]
class DoubleClickDetector
{
public:
    static constexpr uint32_t kIntervalMs = 400;
    static constexpr int kDistance = 4;

    /// Feeds a press of `button` (1 left) at `timeMs` (the window system's 32-bit clock); answers whether it completes a
    /// double click.
    bool Press(int button, int x, int y, uint32_t timeMs);
    /// Forgets the previous press (the pointer left, a menu ran, ...).
    void Reset() { armed = false; }

private:
    bool armed = false;
    int lastX = 0;
    int lastY = 0;
    uint32_t lastTime = 0;
};
