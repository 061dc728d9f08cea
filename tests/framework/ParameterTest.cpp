#include "framework/IParameter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

namespace
{

std::string Format(const IParameter& p, double v, bool normalised = false, bool texts = true)
{
    char text[IParameter::kTextSize];
    p.FormatValue(v, normalised, texts, text, sizeof text);
    return text;
}

/// Configures `p` as an enumeration of `count` choices with `texts` added in that order.
void MakeChoice(IParameter& p, std::initializer_list<std::pair<int, const char*>> texts,
                int count = 3)
{
    p.ConfigureChoice("Choice", 0, count);
    for (const auto& [value, text] : texts)
        p.AddValueText(value, text);
}

struct RangeCase
{
    double defaultValue, min, max, step, shape;
    double wantMax, wantValue, wantShape;
    int wantPrecision;
};

class ConfigureRangeTest : public testing::TestWithParam<RangeCase>
{
};

TEST_P(ConfigureRangeTest, SetsRangeValuePrecisionAndShape)
{
    const RangeCase c = GetParam();
    IParameter p;
    p.ConfigureRange("Level", c.defaultValue, c.min, c.max, c.step, "dB", c.shape);
    EXPECT_EQ(p.Type(), IParameter::kTypeDouble);
    EXPECT_DOUBLE_EQ(p.Max(), c.wantMax);
    EXPECT_DOUBLE_EQ(p.Value(), c.wantValue);
    EXPECT_DOUBLE_EQ(p.DefaultValue(), c.defaultValue);
    EXPECT_DOUBLE_EQ(p.Shape(), c.wantShape);
    EXPECT_EQ(p.Precision(), c.wantPrecision);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConfigureRangeTest,
    testing::Values(
        // max below min + step is raised; the default is not clamped
        RangeCase{5, 10, 10, 1, 1, 11, 5, 1, 0}, RangeCase{0, 0, 1, 0.1, 1, 1, 0, 1, 1},
        RangeCase{0, 0, 1, 0.25, 1, 1, 0, 1, 2}, RangeCase{0, 0, 1, 0.001, 1, 1, 0, 1, 3},
        RangeCase{0, 0, 1, 0.0000001, 1, 1, 0, 1, 6}, // more than six decimals stop at six
        RangeCase{0, 0, 1, 0.1, 0, 1, 0, 1, 1},       // shape 0 keeps the fresh shape 1
        RangeCase{2, 0, 10, 0.5, 3, 10, 2, 3, 1}));

TEST(ParameterTest, ShapeZeroKeepsThePreviousShapeOnReconfiguration)
{
    IParameter p;
    p.ConfigureRange("A", 0, 0, 1, 0.1, "", 2.0);
    p.ConfigureRange("A", 0, 0, 1, 0.1, "", 0.0);
    EXPECT_DOUBLE_EQ(p.Shape(), 2.0);
}

TEST(ParameterTest, ConfigurationSetsTheTypeOnlyOnce)
{
    IParameter toggle;
    toggle.ConfigureToggle("Bypass", true);
    EXPECT_EQ(toggle.Type(), IParameter::kTypeBool);
    EXPECT_EQ(toggle.Precision(), 1); // the step is 0.1, not 1
    EXPECT_DOUBLE_EQ(toggle.Value(), 1.0);
    ASSERT_EQ(toggle.ValueTextCount(), 2);
    EXPECT_STREQ(toggle.ValueTextAt(0)->text, "off");
    EXPECT_EQ(toggle.ValueTextAt(1)->value, 1);
    EXPECT_EQ(toggle.ValueTextAt(2), nullptr);
    EXPECT_EQ(toggle.ValueTextAt(-1), nullptr);

    IParameter choice;
    choice.ConfigureChoice("Source", 1, 6, "x");
    EXPECT_EQ(choice.Type(), IParameter::kTypeEnum);
    EXPECT_DOUBLE_EQ(choice.Max(), 5.0);
    EXPECT_DOUBLE_EQ(choice.Step(), 0.1);
    EXPECT_STREQ(choice.Label(), "x");

    choice.ConfigureRange("Source", 0, 0, 9); // a later range keeps the enumeration code
    EXPECT_EQ(choice.Type(), IParameter::kTypeEnum);
    EXPECT_STREQ(choice.Group(), "");
    EXPECT_TRUE(choice.Automatable());
}

TEST(ParameterTest, OverLongTextsAreTruncatedToThirtyOneCharacters)
{
    const std::string longText(60, 'n');
    IParameter p;
    p.ConfigureRange(longText.c_str(), 0, 0, 1, 1, longText.c_str());
    p.AddValueText(0, longText.c_str());
    EXPECT_EQ(std::string(p.Name()), longText.substr(0, 31));
    EXPECT_EQ(std::string(p.Label()), longText.substr(0, 31));
    EXPECT_EQ(std::string(p.ValueTextAt(0)->text), longText.substr(0, 31));
    EXPECT_EQ(Format(p, 0), longText.substr(0, 31));

    IParameter unnamed;
    unnamed.ConfigureRange(nullptr, 0, 0, 1, 1, nullptr);
    EXPECT_STREQ(unnamed.Name(), "");
}

struct NormalisedCase
{
    const char* what;
    int kind; // 1 toggle, 3 choice of 6, 4 double
    double min, max, step, shape, x;
    double wantValue;
};

class SetFromNormalisedTest : public testing::TestWithParam<NormalisedCase>
{
};

TEST_P(SetFromNormalisedTest, RoundsByTypeAndStaysInRange)
{
    const NormalisedCase c = GetParam();
    IParameter p;
    if (c.kind == 1)
        p.ConfigureToggle("T", false);
    else if (c.kind == 3)
        p.ConfigureChoice("C", 0, 6);
    else
        p.ConfigureRange("D", c.min, c.min, c.max, c.step, "", c.shape);
    p.SetFromNormalised(c.x);
    EXPECT_DOUBLE_EQ(p.Value(), c.wantValue) << c.what;
    EXPECT_GE(p.Value(), p.Min()) << c.what;
    EXPECT_LE(p.Value(), p.Max()) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SetFromNormalisedTest,
    testing::Values(NormalisedCase{"toggle below half", 1, 0, 1, 0.1, 1, 0.44, 0.4},
                    NormalisedCase{"toggle above half", 1, 0, 1, 0.1, 1, 0.46, 0.5},
                    NormalisedCase{"choice keeps a fraction", 3, 0, 5, 0.1, 1, 0.46, 2.3},
                    NormalisedCase{"choice top", 3, 0, 5, 0.1, 1, 1.0, 5.0},
                    NormalisedCase{"double step 1 rounds half away", 4, 0, 5, 1, 1, 0.5, 3.0},
                    NormalisedCase{"double step 1 rounds down", 4, 0, 5, 1, 1, 0.48, 2.0},
                    NormalisedCase{"double step 0.5 unrounded", 4, 0, 5, 0.5, 1, 0.5, 2.5},
                    NormalisedCase{"double step 0.1 unrounded", 4, 0, 10, 0.1, 1, 0.123, 1.23},
                    NormalisedCase{"shape squares", 4, 0, 100, 0.1, 2, 0.5, 25},
                    NormalisedCase{"above one is the top", 4, 300, 18000, 1, 1, 1.5, 18000},
                    NormalisedCase{"below zero is the bottom", 4, 300, 18000, 1, 1, -0.5, 300},
                    NormalisedCase{"NaN is the bottom", 4, -15, 15, 0.1, 1,
                                   std::numeric_limits<double>::quiet_NaN(), -15}));

TEST(ParameterTest, FractionalChoicesAndTogglesReadByTruncationAndHalf)
{
    IParameter choice;
    choice.ConfigureChoice("C", 0, 6);
    choice.SetFromNormalised(0.46);
    EXPECT_EQ(choice.IntValue(), 2);

    IParameter toggle;
    toggle.ConfigureToggle("T", false);
    toggle.SetFromNormalised(0.44);
    EXPECT_FALSE(toggle.BoolValue());
    EXPECT_EQ(Format(toggle, toggle.Value()), "off");
    toggle.SetFromNormalised(0.46);
    EXPECT_TRUE(toggle.BoolValue());
    EXPECT_EQ(Format(toggle, toggle.Value()), "off"); // 0.5 truncates to 0
}

TEST(ParameterTest, SetClampedHoldsTheRange)
{
    IParameter p;
    p.ConfigureRange("Q", 1, 0.1, 4, 0.1);
    const double cases[][2] = {{0.0, 0.1},
                               {2.5, 2.5},
                               {9.0, 4.0},
                               {-1e300, 0.1},
                               {std::numeric_limits<double>::infinity(), 4.0},
                               {std::numeric_limits<double>::quiet_NaN(), 0.1}};
    for (const auto& [in, want] : cases)
    {
        p.SetClamped(in);
        EXPECT_DOUBLE_EQ(p.Value(), want) << in;
    }
}

TEST(ParameterTest, NormalisedMappingIsClampedAndFollowsTheShape)
{
    IParameter p;
    p.ConfigureRange("F", 2500, 300, 18000, 1, "Hz");
    EXPECT_NEAR(p.Normalised(), (2500.0 - 300.0) / 17700.0, 1e-12);
    EXPECT_DOUBLE_EQ(p.ToNormalised(100), 0.0);
    EXPECT_DOUBLE_EQ(p.ToNormalised(1e9), 1.0);
    EXPECT_DOUBLE_EQ(p.FromNormalised(0.5), 9150.0);

    IParameter shaped;
    shaped.ConfigureRange("S", 0, 0, 100, 0.1, "", 2.0);
    EXPECT_DOUBLE_EQ(shaped.ToNormalised(25), 0.5);
    EXPECT_DOUBLE_EQ(shaped.FromNormalised(0.5), 25.0);
}

TEST(ParameterTest, DegenerateStepNeverProducesNaN)
{
    IParameter p;
    p.ConfigureRange("Z", 3, 3, 3, 0.0);
    p.SetFromNormalised(0.5);
    EXPECT_DOUBLE_EQ(p.Value(), 3.0);
    EXPECT_DOUBLE_EQ(p.Normalised(), 0.0);
}

struct FormatCase
{
    const char* what;
    int precisionStep; // 0: step 1, 1: step 0.1, 2: step 0.01
    double v;
    const char* want;
};

class FormatNumberTest : public testing::TestWithParam<FormatCase>
{
};

TEST_P(FormatNumberTest, PrintsTruncatedIntegersOrFixedDecimals)
{
    const FormatCase c = GetParam();
    const double steps[] = {1.0, 0.1, 0.01};
    IParameter p;
    p.ConfigureRange("N", 0, -20000, 20000, steps[c.precisionStep]);
    EXPECT_EQ(Format(p, c.v), c.want) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Cases, FormatNumberTest,
                         testing::Values(FormatCase{"truncates", 0, 2500.7, "2500"},
                                         FormatCase{"minus half is 0", 0, -0.5, "0"},
                                         FormatCase{"minus 0.9 is 0", 0, -0.9, "0"},
                                         FormatCase{"negative integer", 0, -12.9, "-12"},
                                         FormatCase{"minus zero, one decimal", 1, -0.04, "-0.0"},
                                         FormatCase{"one decimal", 1, 12.25, "12.2"},
                                         FormatCase{"two decimals", 2, -3.14159, "-3.14"},
                                         FormatCase{"huge integer", 0, 1e12, "1000000000000"}));

TEST(ParameterTest, SinglePrecisionRoundingNoiseIsNotTruncatedAway)
{
    // Hosts keep normalised values as 32-bit floats: the value a text is asked for may lie a
    // hair below the step it stands for. Real fractions still truncate.
    const struct
    {
        const char* what;
        double min, max, v;
        bool normalised;
        const char* want;
    } cases[] = {
        {"2500 Hz through a float", 300, 18000, static_cast<float>(2200.0 / 17700.0), true, "2500"},
        {"29 % through a float", 0, 100, 0.29f, true, "29"},
        {"-3 dB through a float", -15, 15, static_cast<float>(12.0 / 30.0), true, "-3"},
        {"a real fraction", 0, 100, 0.285, true, "28"},
        {"plain 2500.7", 300, 18000, 2500.7, false, "2500"},
        {"plain 2499.99 is no noise", 300, 18000, 2499.99, false, "2499"},
    };
    for (const auto& c : cases)
    {
        IParameter p;
        p.ConfigureRange("N", c.min, c.min, c.max, 1.0);
        EXPECT_EQ(Format(p, c.v, c.normalised), c.want) << c.what;
    }
    IParameter sources;
    MakeChoice(sources, {{0, "Noise"}, {1, "Stereo"}, {2, "Sine"}, {3, "Saw"}}, 6);
    EXPECT_EQ(Format(sources, std::nextafter(0.6f, 0.0f), true), "Saw"); // 2.9999998 of 0..5
    EXPECT_EQ(Format(sources, 0.59, true), "Sine");                      // 2.95
}

TEST(ParameterTest, ValueTextsUseTheFirstMatchOfTheTruncatedValue)
{
    IParameter p;
    MakeChoice(p, {{0, "Low Pass"}, {2, "High Pass"}, {1, "Band Pass"}, {2, "Duplicate"}});
    EXPECT_EQ(Format(p, 2.9), "High Pass");
    EXPECT_EQ(Format(p, 1.5), "Band Pass");
    EXPECT_EQ(Format(p, 2.9, false, false), "2.9"); // texts off: the number
    EXPECT_EQ(Format(p, 1.0, true), "High Pass");   // normalised 1 is the plain 2

    IParameter gaps;
    MakeChoice(gaps, {{0, ""}, {0, "later"}, {1, "one"}});
    EXPECT_EQ(Format(gaps, 0.0), "0.0"); // first match has an empty text: a number
    EXPECT_EQ(Format(gaps, 2.0), "2.0"); // no entry for 2
}

TEST(ParameterTest, DisplayLabelIsEmptyOnlyWhileATextIsShown)
{
    IParameter p;
    MakeChoice(p, {{0, "Noise"}, {1, ""}});
    p.ConfigureRange("Choice", 0, 0, 2, 0.1, "unit");
    p.SetClamped(0);
    EXPECT_STREQ(p.DisplayLabel(), "");
    p.SetClamped(1);
    EXPECT_STREQ(p.DisplayLabel(), "unit"); // matching text is empty
    p.SetClamped(2);
    EXPECT_STREQ(p.DisplayLabel(), "unit"); // no text for 2

    IParameter plain;
    plain.ConfigureRange("F", 2500, 300, 18000, 1, "Hz");
    EXPECT_STREQ(plain.DisplayLabel(), "Hz");
}

TEST(ParameterTest, FormatValueFitsSmallBuffers)
{
    IParameter p;
    p.ConfigureRange("F", 2500, 300, 18000, 1, "Hz");
    char text[4] = {'x', 'x', 'x', 'x'};
    p.FormatValue(12345, false, true, text, sizeof text);
    EXPECT_STREQ(text, "123");
}

struct ParseCase
{
    const char* what;
    int kind; // 1 toggle, 3 choice, 4 double
    const char* text;
    double want;
};

class ParseTextTest : public testing::TestWithParam<ParseCase>
{
};

TEST_P(ParseTextTest, ReadsValueTextsOrNumbers)
{
    const ParseCase c = GetParam();
    IParameter p;
    if (c.kind == 1)
        p.ConfigureToggle("T", false);
    else if (c.kind == 3)
        MakeChoice(p, {{0, "Noise"}, {2, "Sine"}, {5, "Sine"}}, 6);
    else
        p.ConfigureRange("D", 0, -15, 15, 0.1, "dB");
    EXPECT_DOUBLE_EQ(p.ParseText(c.text), c.want) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseTextTest,
    testing::Values(ParseCase{"toggle on", 1, "on", 1}, ParseCase{"case matters", 1, "ON", 0},
                    ParseCase{"toggle off", 1, "off", 0},
                    ParseCase{"first match wins", 3, "Sine", 2},
                    ParseCase{"no match", 3, "sine", 0},
                    ParseCase{"choice ignores numbers", 3, "2", 0},
                    ParseCase{"unit suffix", 4, "12.5dB", 12.5},
                    ParseCase{"leading blanks", 4, "  -3.25", -3.25},
                    ParseCase{"exponent", 4, "1e1", 10}, ParseCase{"nothing readable", 4, "dB", 0},
                    ParseCase{"empty", 4, "", 0}, ParseCase{"null", 4, nullptr, 0},
                    ParseCase{"plus sign", 4, "+2.5", 2.5}, ParseCase{"two signs", 4, "+-2", 0},
                    ParseCase{"blanks then tab", 4, " \t\n4", 4},
                    ParseCase{"hexadecimal", 4, "0x1A", 26}, ParseCase{"lone 0x", 4, "0x", 0},
                    ParseCase{"fraction only", 4, ".5", 0.5},
                    ParseCase{"decimal comma stops", 4, "1,5", 1},
                    ParseCase{"too large", 4, "-1e999", -std::numeric_limits<double>::infinity()},
                    ParseCase{"too small", 4, "1e-999", 0},
                    ParseCase{"small, many zeros", 4, "0.000001e-400", 0},
                    // Exponents past the range of long, which once overflowed the magnitude.
                    ParseCase{"exponent past long", 4, "6500e250006666666666666666666666",
                              std::numeric_limits<double>::infinity()},
                    ParseCase{"negative exponent past long", 4, "0.5e-250006666666666666666666666",
                              0}));

} // namespace
