#pragma once

#include "framework/IValueText.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

/// One automatable value of the plug-in: plain value, range, step, shape (exponent of the
/// normalised mapping), display precision, name, unit label and an optional value-text table.
/// Plain values are stored; 0..1 normalised values are exchanged with hosts and controls.
/// No locking of its own: writes happen under the plug-in lock. The value itself is atomic, so
/// a host's controller thread may read it (Value, Normalised, texts) without the lock while the
/// audio thread writes it. Everything else is fixed once configured, before hosts see it.
/// Nothing here allocates except the configuration operations and AddValueText.
class IParameter
{
public:
    static constexpr int kTextSize = 32; ///< name, label, group and value texts, with terminator

    static constexpr int kTypeNone = 0;
    static constexpr int kTypeBool = 1;
    static constexpr int kTypeInt = 2;
    static constexpr int kTypeEnum = 3;
    static constexpr int kTypeDouble = 4;

    IParameter() = default;

    /// General configuration. Type becomes double when still unconfigured; `max` becomes at
    /// least `min` + `step`; a `shape` of 0 keeps the current shape; `value` = `defaultValue`
    /// (not clamped). Texts longer than 31 characters are truncated.
    void ConfigureRange(const char* name, double defaultValue, double min, double max,
                        double step = 1.0, const char* label = "", double shape = 1.0);
    /// Boolean: range 0..1, step 0.1, value texts (0, "off") and (1, "on").
    void ConfigureToggle(const char* name, bool defaultOn);
    /// Enumeration: range 0..count-1, step 0.1; the caller adds one value text per choice.
    void ConfigureChoice(const char* name, int defaultIndex, int count, const char* label = "");
    /// Appends one value text at the end of the table (duplicates allowed, first match counts).
    void AddValueText(int value, const char* text);

    int ValueTextCount() const { return static_cast<int>(valueTexts.size()); }
    /// Entry `i` in insertion order, or null when `i` is out of range.
    const IValueText* ValueTextAt(int i) const;

    /// value = v held within [min, max]; NaN gives min.
    void SetClamped(double v);
    /// Sets the value from a 0..1 normalised value with the rounding rules of the type.
    /// `x` outside 0..1 (or NaN) is taken as the nearest end. [any thread, under the lock]
    void SetFromNormalised(double x);
    /// The current value on the 0..1 scale.
    double Normalised() const { return ToNormalised(Value()); }
    /// Any plain value on the 0..1 scale (clamped into the range first, result within 0..1).
    double ToNormalised(double v) const;
    /// The plain value for a normalised one: min + (max - min) * x^shape, unrounded, unclamped.
    double FromNormalised(double x) const;

    /// Display text of `v` (at most 31 characters) into `text`, a buffer of `size` bytes
    /// (32 or more keeps every text whole). Value texts are used when `useValueTexts` and
    /// one matches `v` truncated toward zero; otherwise "%d" of the truncated value when the
    /// precision is 0, else `precision` decimals. Truncation leaves single-precision rounding
    /// noise alone: 2499.9998 (2500 after a trip through a 32-bit float) shows as 2500.
    /// Locale-independent; does not allocate.
    void FormatValue(double v, bool vIsNormalised, bool useValueTexts, char* text,
                     std::size_t size) const;
    /// The display text of the current value: FormatValue(value, false, true).
    void DisplayText(char* text, std::size_t size) const
    {
        FormatValue(Value(), false, true, text, size);
    }
    /// Unit label to show beside the current display text: empty while a non-empty value
    /// text is shown, otherwise `label`.
    const char* DisplayLabel() const;
    /// Plain value of a typed text: booleans and enumerations match value texts exactly
    /// (no match gives 0); other types read a decimal number as atof does in the C locale.
    /// The caller clamps the result.
    double ParseText(const char* text) const;

    int IntValue() const; ///< value truncated toward zero
    bool BoolValue() const { return Value() >= 0.5; }

    int Type() const { return type; }
    double Value() const { return value.load(std::memory_order_relaxed); }
    double Min() const { return min; }
    double Max() const { return max; }
    double Step() const { return step; }
    double Shape() const { return shape; }
    double DefaultValue() const { return defaultValue; }
    int Precision() const { return precision; }
    const char* Name() const { return name; }
    const char* Label() const { return label; }
    const char* Group() const { return group; }
    bool Automatable() const { return automatable; }

private:
    void Store(double v) { value.store(v, std::memory_order_relaxed); }
    /// Plain units by which a value may be off from single-precision rounding of its
    /// normalised form; the display never truncates such noise away.
    double DisplayNoise() const;
    /// First value text whose value equals `v` truncated toward zero, or null.
    const IValueText* FindValueText(double v) const;

    int32_t type = kTypeNone;
    /// Relaxed order is enough: each reader wants one whole, recent value, nothing more.
    std::atomic<double> value{0.0};
    double min = 0.0;
    double max = 1.0;
    double step = 1.0;
    double shape = 1.0;
    double defaultValue = 0.0;
    int32_t precision = 0;
    char name[kTextSize] = {};
    char label[kTextSize] = {};
    char group[kTextSize] = {};
    bool automatable = true;
    std::vector<IValueText> valueTexts;
};
