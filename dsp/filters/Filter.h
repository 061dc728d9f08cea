#pragma once

#include "dsp/filters/BiquadCascade.h"
#include "dsp/filters/ParamInfo.h"

#include <array>
#include <complex>

namespace Dsp
{

/// Abstract filter: a parameter array that a design reads, block filtering in place and
/// the frequency response of the current target design.
///
/// Threads: everything but `responseAt`/`targetCoefficients` runs under the owner's lock
/// (the plug-in lock); those two only read and may be called by a reader that holds it.
class Filter
{
public:
    static constexpr int kMaxParameters = 8;
    using Parameters = std::array<double, kMaxParameters>;

    virtual ~Filter() = default;

    /// Display name of the design, e.g. "RBJ Low Pass".
    virtual const char* name() const = 0;
    /// Number of parameter positions the design reads.
    virtual int parameterCount() const = 0;
    /// Descriptor of a position; throws std::logic_error("invalid usage of ParamInfo")
    /// for a position the design does not have (a programming error).
    virtual ParamInfo parameterInfo(int position) const = 0;
    /// Complex response of the target design at f / sample rate. No allocation.
    virtual std::complex<double> responseAt(double normalizedFrequency) const = 0;
    /// Number of channels `filterBlock` filters.
    virtual int channelCount() const = 0;
    /// Filters `count` samples of each of `channelCount()` arrays in place. Audio thread;
    /// no allocation.
    virtual void filterBlock(int count, double* const* channels) = 0;
    /// (Re)designs from a parameter array.
    virtual void applyParameters(const Parameters& parameters) = 0;
    /// Copy of the target coefficients, for drawing the response away from the filter.
    virtual BiquadCascade targetCoefficients() const = 0;

    /// Copies all values into `FilterParameters`, then designs from them.
    void setParameters(const Parameters& parameters);
    /// Stores `value` at the last position whose descriptor has `id` and designs again;
    /// nothing happens when no position has that id.
    void setParameterById(int id, double value);

    /// The parameters last set; a design reads the first `parameterCount()` of them.
    Parameters FilterParameters{};
};

} // namespace Dsp
