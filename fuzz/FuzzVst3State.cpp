// setState and setComponentState through a stream whose reads come short or fail.
// Input: one byte of stream behaviour (see FlakyStream::FromByte; bit 7 chooses the
// controller's setComponentState instead of the component's setState), then the stream.

#include "Vst3FuzzInstance.h"

#include <cstddef>
#include <cstdint>
#include <vector>

using namespace fuzz;
using namespace vst3;

namespace
{
/// Back to the defaults: the effect's values put back directly, a whole load of the default
/// state only when the host's bypass moved too.
void Reset(Vst3FuzzInstance& instance)
{
    static const std::vector<double> values = Values(*instance.effect);
    static const std::vector<double> normalised = instance.Normalised();
    ResetValues(*instance.effect, values);
    if (instance.Normalised() != normalised)
        instance.Load(instance.defaults, {}, false);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    static Vst3FuzzInstance instance;
    Reset(instance);
    if (size == 0)
        return 0;
    const FlakyStream::Behaviour behaviour = FlakyStream::FromByte(data[0]);
    const bool viaController = (data[0] & 0x80) != 0;
    std::vector<char> bytes(data + 1, data + size);

    const tresult result = instance.Load(bytes, behaviour, viaController);
    Require(result == kResultOk || result == kResultFalse, "setState result");
    RequireParametersInRange(*instance.effect);
    for (double v : instance.Normalised())
        RequireNormalised(v, "getParamNormalized out of 0..1");
    if (result != kResultOk)
        return 0;

    // A state that loaded saves, and the saved state loads to the same values and saves the same.
    const std::vector<double> loaded = Values(*instance.effect);
    const std::vector<double> normalised = instance.Normalised();
    const std::vector<char> saved = instance.State();
    Reset(instance);
    Require(instance.Load(saved, {}, viaController) == kResultOk, "saved state refused");
    RequireSameValues(*instance.effect, loaded, "saved state loads other values");
    Require(instance.Normalised() == normalised, "saved state loads other host values");
    Require(instance.State() == saved, "saving twice gives other bytes");
    return 0;
}
