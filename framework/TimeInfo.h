#pragma once

#include <cstdint>

/// The host's transport state for the current block (filled by the adapters).
struct TimeInfo
{
    double tempo = 0.0;           ///< beats per minute
    double samplePosition = 0.0;  ///< project time in samples
    double ppqPosition = 0.0;     ///< project time in quarter notes
    double lastBarPosition = 0.0; ///< start of the current bar in quarter notes
    double cycleStart = 0.0;      ///< loop start in quarter notes
    double cycleEnd = 0.0;        ///< loop end in quarter notes
    int32_t numerator = 4;
    int32_t denominator = 4;
    bool playing = false;
    bool cycleActive = false;
};
