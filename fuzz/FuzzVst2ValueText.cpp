// effString2Parameter through the VST2 dispatcher. Input: the parameter index (first byte),
// then the text.

#include "Vst2FuzzInstance.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    static Vst2FuzzInstance instance;
    if (size == 0)
        return 0;
    const int index = data[0] % instance.effect->num_params;
    std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

    const std::vector<double> before = Values(*instance.plugin);
    const intptr_t result = instance.Dispatch(VST2_EFF_STRING_TO_PARAMETER, index, 0, text.data());
    Require(result == 0 || result == 1, "result");
    RequireParametersInRange(*instance.plugin);
    for (float v : instance.Normalised())
        RequireNormalised(v, "getParameter out of 0..1");
    // A text that is refused changes nothing; one that is taken changes this parameter only.
    const std::vector<double> after = Values(*instance.plugin);
    for (std::size_t i = 0; i < after.size(); ++i)
        if (after[i] != before[i] && (result == 0 || static_cast<int>(i) != index))
            Fail("effString2Parameter changed another value", static_cast<int>(i), after[i]);
    return 0;
}
