#include "framework/IParameter.h"

#include "framework/FixedText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <system_error>

namespace
{
bool IsCSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

/// Where the first significant digit of a decimal number lies relative to the units, plus its
/// exponent: above zero the number is large, otherwise small. Tells overflow from underflow.
long DecimalMagnitude(const char* p)
{
    long magnitude = 0;
    bool significant = false;
    bool fraction = false;
    for (;; ++p)
    {
        if (*p == '.' && !fraction)
        {
            fraction = true;
            continue;
        }
        if (!IsDigit(*p))
            break;
        significant = significant || *p != '0';
        if (!fraction && significant)
            ++magnitude;
        else if (fraction && !significant)
            --magnitude;
    }
    if (*p == 'e' || *p == 'E')
    {
        // strtol saturates a huge exponent at the ends of long; the sum saturates there too.
        const long exponent = std::strtol(p + 1, nullptr, 10);
        if (exponent > 0 && magnitude > std::numeric_limits<long>::max() - exponent)
            return std::numeric_limits<long>::max();
        if (exponent < 0 && magnitude < std::numeric_limits<long>::min() - exponent)
            return std::numeric_limits<long>::min();
        magnitude += exponent;
    }
    return magnitude;
}

/// Reads a decimal (or 0x hexadecimal) number as atof does in the C locale, whatever locale
/// the host has set: leading blanks and one sign are skipped, the rest after the number is
/// ignored, nothing readable gives 0, and a number too large gives an infinity.
double ReadCNumber(const char* text)
{
    while (IsCSpace(*text))
        ++text;
    bool negative = false;
    if (*text == '+' || *text == '-')
        negative = *text++ == '-';
    if (*text == '+' || *text == '-')
        return 0.0;
    const char* end = text + std::strlen(text);
    double value = 0.0;
    std::from_chars_result result{};
    const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    if (hex)
    {
        result = std::from_chars(text + 2, end, value, std::chars_format::hex);
        if (result.ec == std::errc::invalid_argument)
            return 0.0; // a lone "0x" reads as the 0 before it
    }
    else
    {
        result = std::from_chars(text, end, value, std::chars_format::general);
    }
    if (result.ec == std::errc::result_out_of_range)
    {
        const bool huge = hex ? std::strstr(text, "p-") == nullptr && std::strstr(text, "P-") == nullptr
                              : DecimalMagnitude(text) > 0;
        value = huge ? std::numeric_limits<double>::infinity() : 0.0;
    }
    else if (result.ec != std::errc())
    {
        return 0.0;
    }
    return negative ? -value : value;
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

/// `v` truncated toward zero to a multiple of `unit`, except that a value within rounding noise
/// of the next multiple away from zero counts as that multiple. Hosts keep normalised values in
/// single precision, so a stored 2500 comes back as 2499.9998: it must still show as 2500.
/// `noise` is the largest such error in plain units.
double TruncateBeyondNoise(double v, double unit, double noise)
{
    const double truncated = std::trunc(v / unit) * unit;
    const double next = truncated + (v < 0.0 ? -unit : unit);
    return std::fabs(next - v) <= noise ? next : truncated;
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

double IParameter::DisplayNoise() const
{
    // A normalised value held as a 32-bit float is off by at most half its unit in the last
    // place, 2^-25 below 1; mapped through the range that is this many plain units (twice, for
    // a value that went through more than one rounding).
    return (max - min) * std::ldexp(1.0, -24);
}

const IValueText* IParameter::FindValueText(double v) const
{
    const double truncated = TruncateBeyondNoise(v, 1.0, DisplayNoise());
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
    const double truncated = TruncateBeyondNoise(v, 1.0, DisplayNoise());
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
    return ReadCNumber(text);
}
