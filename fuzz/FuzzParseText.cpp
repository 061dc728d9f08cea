// Typed values as the editor's text entry reads them. Input: the parameter index (first
// byte), then the text.

#include "FuzzCheck.h"
#include "effect/Verdigrix.h"

#include <cstddef>
#include <cstdint>
#include <string>

using namespace fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    static Verdigrix& effect = *new Verdigrix();
    if (size == 0)
        return 0;
    IParameter& p = *effect.Param(data[0] % effect.ParamCount());
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);

    // What the text box hands on: the value read, normalised and set.
    const double normalised = p.ToNormalised(p.ParseText(text.c_str()));
    RequireNormalised(normalised, "text gives a normalised value out of 0..1", data[0]);
    p.SetFromNormalised(normalised);
    RequireParametersInRange(effect);

    // Its display text reads back to the same value.
    char shown[64] = {};
    p.DisplayText(shown, sizeof shown);
    const double before = p.Value();
    p.SetClamped(p.ParseText(shown));
    Require(std::abs(p.Value() - before) <= p.Step() + 1e-9 * std::abs(before),
            "display text reads back to another value");
    return 0;
}
