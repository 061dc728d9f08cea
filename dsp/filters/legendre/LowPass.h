#pragma once

#include "dsp/filters/BiquadCascade.h"
#include "dsp/filters/Filter.h"
#include "dsp/filters/ParamInfo.h"
#include "dsp/filters/legendre/AnalogPrototype.h"

#include <array>

namespace Dsp::Legendre::Design
{

/// Optimum-L (Legendre) low pass of up to `MaxOrder`, unity gain at DC.
/// Parameters: 0 sample rate (Hz), 1 order (1..MaxOrder), 2 cutoff (Hz). The analog
/// prototype is kept between designs and recomputed only when the order changes.
template <int MaxOrder> struct LowPass
{
    static_assert(MaxOrder >= 1 && MaxOrder <= AnalogPrototype::kMaxOrder);

    static constexpr const char* kName = "Legendre Low Pass";
    static constexpr int kMaxStages = (MaxOrder + 1) / 2;
    static constexpr std::array<ParamInfo, 3> kParameters{
        {{0, "Fs", "Sample Rate"}, {7, "Order", "Order"}, {1, "Fc", "Cutoff Frequency"}}};

    void design(const Filter::Parameters& parameters, BiquadCascade& cascade)
    {
        // Truncated; out-of-range and non-numeric orders land on the nearest valid one.
        const double o = parameters[1];
        const int order = o >= MaxOrder ? MaxOrder : (o >= 1.0 ? static_cast<int>(o) : 1);
        if (order != prototype.order)
            prototype.design(order);
        prototype.transform(parameters[0], parameters[2], cascade);
    }

    AnalogPrototype prototype;
};

} // namespace Dsp::Legendre::Design
