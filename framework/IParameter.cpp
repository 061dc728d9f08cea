#include "framework/IParameter.h"

#include "framework/FixedText.h"

#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale.h>

namespace
{
/// The C locale, made once: typed numbers read the same whatever locale the host has set.
locale_t CLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    return locale;
}

/// Number of decimals a step needs: multiply by 10 until integral, at most six times.
int PrecisionFromStep(double step)
{
    int precision = 0;
    double s = step;
    while (precision < 6 && std::floor(s) != s)
    {
        ++precision;
        s *= 10.0;
    }
    return precision;
}

/// Writes [first, last) plus a terminator into `text`, truncated to fit `size` bytes.
void Terminate(char* text, std::size_t size, const char* first, const char* last)
{
    const auto length = std::min<std::size_t>(static_cast<std::size_t>(last - first), size - 1);
    std::memcpy(text, first, length);
    text[length] = '\0';
}
} // namespace

void IParameter::ConfigureRange(const char* newName, double newDefault, double newMin,
                                double newMax, double newStep, const char* newLabel,
                                double newShape)
{
    if (type == kTypeNone)
        type = kTypeDouble;
    CopyFixedText(name, newName);
    CopyFixedText(label, newLabel);
    group[0] = '\0';
    min = newMin;
    step = newStep;
    defaultValue = newDefault;
    Store(newDefault);
    precision = PrecisionFromStep(newStep);
    max = std::max(newMax, newMin + newStep);
    if (newShape != 0.0)
        shape = newShape;
}

void IParameter::ConfigureToggle(const char* newName, bool defaultOn)
{
    if (type == kTypeNone)
        type = kTypeBool;
    ConfigureRange(newName, defaultOn ? 1.0 : 0.0, 0.0, 1.0, 0.1, "", 1.0);
    AddValueText(0, "off");
    AddValueText(1, "on");
}

void IParameter::ConfigureChoice(const char* newName, int defaultIndex, int count,
                                 const char* newLabel)
{
    if (type == kTypeNone)
        type = kTypeEnum;
    ConfigureRange(newName, defaultIndex, 0.0, static_cast<double>(count) - 1.0, 0.1, newLabel,
                   1.0);
}

void IParameter::AddValueText(int v, const char* text)
{
    IValueText entry;
    entry.value = v;
    CopyFixedText(entry.text, text);
    valueTexts.push_back(entry);
}

const IValueText* IParameter::ValueTextAt(int i) const
{
    if (i < 0 || i >= ValueTextCount())
        return nullptr;
    return &valueTexts[static_cast<std::size_t>(i)];
}

void IParameter::SetClamped(double v)
{
    if (std::isnan(v) || v < min)
        Store(min);
    else
        Store(std::min(max, v));
}

void IParameter::SetFromNormalised(double x)
{
    // Hosts are meant to send 0..1; anything else would leave the range or give NaN.
    x = std::isnan(x) ? 0.0 : std::clamp(x, 0.0, 1.0);
    double v = FromNormalised(x);
    if (type != kTypeDouble)
    {
        if (step > 0.0)
            v = std::floor(v / step + 0.5) * step; // multiples of the step counted from 0
    }
    else if (step == 1.0)
    {
        v = std::round(v); // halves away from zero
    }
    Store(std::isnan(v) ? min : std::clamp(v, min, std::max(min, max)));
}

double IParameter::ToNormalised(double v) const
{
    if (!(max > min))
        return 0.0;
    const double c = std::isnan(v) ? min : std::clamp(v, min, max);
    const double r = std::pow((c - min) / (max - min), 1.0 / shape);
    return std::isnan(r) ? 0.0 : std::clamp(r, 0.0, 1.0);
}

double IParameter::FromNormalised(double x) const
{
    return min + (max - min) * std::pow(x, shape);
}

int IParameter::IntValue() const
{
    // Values stay within the configured range; the clamp only guards a range beyond int.
    const double v = Value();
    if (std::isnan(v))
        return 0;
    return static_cast<int>(std::clamp(std::trunc(v), -2147483648.0, 2147483647.0));
}

const IValueText* IParameter::FindValueText(double v) const
{
    const double truncated = std::trunc(v);
    for (const IValueText& entry : valueTexts)
        if (static_cast<double>(entry.value) == truncated)
            return &entry;
    return nullptr;
}

void IParameter::FormatValue(double v, bool vIsNormalised, bool useValueTexts, char* text,
                             std::size_t size) const
{
    if (text == nullptr || size == 0)
        return;
    if (vIsNormalised)
        v = FromNormalised(v);
    if (useValueTexts && !valueTexts.empty())
    {
        const IValueText* entry = FindValueText(v);
        if (entry != nullptr && entry->text[0] != '\0')
        {
            CopyFixedText(text, size, entry->text);
            return;
        }
    }
    char digits[kTextSize + 320]; // room for any double in fixed notation with 6 decimals
    std::to_chars_result result{};
    const double truncated = std::trunc(v);
    if (precision == 0 && truncated >= -2147483648.0 && truncated <= 2147483647.0)
        result = std::to_chars(digits, digits + sizeof digits, static_cast<int>(truncated));
    else if (precision == 0)
        result =
            std::to_chars(digits, digits + sizeof digits, truncated, std::chars_format::fixed, 0);
    else
        result =
            std::to_chars(digits, digits + sizeof digits, v, std::chars_format::fixed, precision);
    if (result.ec != std::errc{})
    {
        text[0] = '\0';
        return;
    }
    Terminate(text, std::min<std::size_t>(size, kTextSize), digits, result.ptr);
}

const char* IParameter::DisplayLabel() const
{
    if (!valueTexts.empty())
    {
        const IValueText* entry = FindValueText(Value());
        if (entry != nullptr && entry->text[0] != '\0')
            return "";
    }
    return label;
}

double IParameter::ParseText(const char* text) const
{
    if (text == nullptr)
        return 0.0;
    if (type == kTypeBool || type == kTypeEnum)
    {
        for (const IValueText& entry : valueTexts)
            if (std::strcmp(entry.text, text) == 0)
                return entry.value;
        return 0.0;
    }
    return strtod_l(text, nullptr, CLocale());
}
