// The engine's chain against the plainly written reference of the same arithmetic
// (reference/): every source and filter type, steady and gliding, with pitch following, in
// blocks of awkward lengths. They may differ by rounding only.
#include "EngineFixture.h"
#include "reference/ReferenceEngine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace
{
/// Largest difference between `a` and `b`, relative to the largest magnitude in `b`.
double RelativeDifference(const double* a, const double* b, int n)
{
    double peak = 0.0, difference = 0.0;
    for (int i = 0; i < n; ++i)
    {
        peak = std::max(peak, std::fabs(b[i]));
        difference = std::max(difference, std::fabs(a[i] - b[i]));
    }
    return peak > 0.0 ? difference / peak : difference;
}

struct Engines
{
    AudioPlugin product;
    ReferenceEngine reference;
    StereoBlock side = StereoBlock::random(4096, 3);

    Engines(int rate, int source, int type)
    {
        resetEngine(product, rate, 11);
        resetEngine(reference, rate, 11);
        setFilterType(product, type);
        reference.setFilterType(type);
        for (AudioPlugin* e : {&product, static_cast<AudioPlugin*>(&reference)})
        {
            e->sourceType = source;
            e->amount = 0.5;
            e->inputGain = 1.4;
            e->outputGain = 0.7;
            e->sidechain = {side.left.data(), side.right.data()};
            setFrequency(*e, 2500);
        }
    }

    template <class Change> void apply(Change change)
    {
        change(static_cast<AudioPlugin&>(product));
        change(static_cast<AudioPlugin&>(reference));
    }

    /// One block through both; the largest relative difference of output and modulation.
    double run(int frames, unsigned seed)
    {
        StereoBlock a = StereoBlock::random(frames, seed);
        StereoBlock b = a;
        product.runBlock(a.channels(), frames);
        reference.runBlock(b.channels(), frames);
        return std::max({RelativeDifference(a.left.data(), b.left.data(), frames),
                         RelativeDifference(a.right.data(), b.right.data(), frames),
                         RelativeDifference(product.modulation[0].get(),
                                            reference.modulation[0].get(), frames),
                         RelativeDifference(product.modulation[1].get(),
                                            reference.modulation[1].get(), frames)});
    }
};
} // namespace

TEST(ChainReference, EverySourceAndFilterAgreesSteadyGlidingAndFollowing)
{
    const char* sources[] = {"noise", "stereo noise", "sine", "saw", "square", "side chain"};
    for (int rate : {44100, 32000})
        for (int source = 0; source < 6; ++source)
            for (int type = 0; type < 3; ++type)
            {
                SCOPED_TRACE(std::string(sources[source]) + ", filter type " +
                             std::to_string(type) + ", " + std::to_string(rate) + " Hz");
                Engines e(rate, source, type);
                double worst = e.run(300, 1); // steady
                // A glide over three blocks, a second one started in its middle, and a Q
                // change as wide as the parameter allows; up to the guard below Nyquist.
                e.apply([](AudioPlugin& p) { setFrequency(p, 18000); });
                worst = std::max(worst, e.run(37, 2));
                worst = std::max(worst, e.run(200, 3));
                e.apply([](AudioPlugin& p) { setFrequency(p, 300); });
                worst = std::max(worst, e.run(100, 4));
                e.apply(
                    [](AudioPlugin& p)
                    {
                        p.q = 4;
                        p.updateFilter();
                    });
                worst = std::max(worst, e.run(700, 5));
                e.apply(
                    [](AudioPlugin& p)
                    {
                        p.q = 0.1;
                        p.updateFilter();
                    });
                worst = std::max(worst, e.run(1, 6));
                worst = std::max(worst, e.run(600, 7));
                // Pitch following restarts the glide on every block.
                e.apply([](AudioPlugin& p) { p.followPitch = true; });
                for (int block = 0; block < 6; ++block)
                    worst = std::max(worst, e.run(64 + 50 * block, 10 + block));
                // Without saturation: the gains and the modulation only.
                e.apply([](AudioPlugin& p) { p.saturation = false; });
                worst = std::max(worst, e.run(256, 20));
                EXPECT_LE(worst, 1e-9);
            }
}
