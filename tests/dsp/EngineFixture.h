#pragma once

#include "dsp/AudioPlugin.h"

#include <cmath>
#include <random>
#include <vector>

/// A stereo block the engine processes in place.
struct StereoBlock
{
    std::vector<double> left, right;
    double* ptr[2] = {nullptr, nullptr};

    explicit StereoBlock(int n = 0) : left(static_cast<std::size_t>(n)), right(left.size()) {}

    /// Two different sines, so that a channel mix-up shows.
    static StereoBlock tones(int n, double rate = 44100.0, int offset = 0)
    {
        StereoBlock b(n);
        for (int i = 0; i < n; ++i)
        {
            b.left[static_cast<std::size_t>(i)] =
                0.5 * std::sin(2 * M_PI * 220 * (i + offset) / rate);
            b.right[static_cast<std::size_t>(i)] =
                0.4 * std::sin(2 * M_PI * 330 * (i + offset) / rate);
        }
        return b;
    }

    static StereoBlock random(int n, unsigned seed)
    {
        StereoBlock b(n);
        std::mt19937 rng(seed);
        std::uniform_real_distribution<double> u(-1.0, 1.0);
        for (int i = 0; i < n; ++i)
        {
            b.left[static_cast<std::size_t>(i)] = u(rng);
            b.right[static_cast<std::size_t>(i)] = u(rng);
        }
        return b;
    }

    double* const* channels()
    {
        ptr[0] = left.data();
        ptr[1] = right.data();
        return ptr;
    }
    int size() const { return static_cast<int>(left.size()); }
};

/// An engine configured as the effect's reset leaves it, with its noise seeded.
inline void resetEngine(AudioPlugin& engine, int rate = 44100, unsigned seed = 99)
{
    engine.setSampleRate(rate);
    engine.setOversampling(1);
    engine.noise.setSeed(seed);
}

/// Installs a filter of `type` as the Filter Type handler does.
inline void setFilterType(AudioPlugin& engine, int type)
{
    engine.filter.reset();
    engine.filter = AudioPlugin::makeFilter(type);
    engine.updateFilter();
    engine.filterType = type;
}

/// Sets the frequency as the Filter Frequency handler does.
inline void setFrequency(AudioPlugin& engine, double hz)
{
    engine.frequency = hz;
    engine.updateFilter();
    engine.setOscillatorFrequencies(hz);
}
