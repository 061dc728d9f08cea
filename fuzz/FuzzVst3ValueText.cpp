// getParamValueByString of every VST3 parameter. Input: the parameter's list index (first
// byte), then the text (bytes widened to UTF-16, at most 127).

#include "Vst3FuzzInstance.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

using namespace fuzz;
using namespace vst3;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    static Vst3FuzzInstance instance;
    if (size == 0)
        return 0;
    IEditController& controller = *instance.controller;
    ParameterInfo info{};
    Require(controller.getParameterInfo(data[0] % controller.getParameterCount(), info) ==
                kResultOk,
            "parameter info");
    String128 text{};
    for (std::size_t i = 1; i < size && i < 128; ++i)
        text[i - 1] = static_cast<char16>(data[i]);

    const std::vector<double> before = instance.Normalised();
    double value = -7.0;
    const tresult result = controller.getParamValueByString(info.id, text, value);
    Require(result == kResultOk || result == kResultFalse, "result");
    if (result == kResultOk)
        RequireNormalised(value, "text gives a normalised value out of 0..1",
                          static_cast<int>(info.id));
    else
        Require(value == -7.0, "a refused text wrote a value");
    Require(instance.Normalised() == before, "reading a text changed a parameter");
    return 0;
}
