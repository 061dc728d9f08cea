// The parameter table and the change handler's engine actions, as hosts and the editor see them.
#include "effect/Verdigrix.h"
#include "tests/effect/EffectHost.h"

#include "controls/IControl.h"
#include "dsp/filters/DirectFormII.h"
#include "dsp/filters/SmoothedFilterDesign.h"
#include "dsp/filters/rbj/LowPass.h"
#include "graphics/IGraphicsHeadless.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace
{
using effect_test::EffectHost;

struct Row
{
    const char* name;
    int type;
    double defaultValue, min, max, step;
    const char* label;
    std::vector<std::pair<int, std::string>> texts;
};

const std::vector<Row> kTable = {
    {"Source Type",
     IParameter::kTypeEnum,
     0,
     0,
     5,
     0.1,
     "",
     {{0, "Noise"},
      {1, "Stereo Noise"},
      {2, "Sine"},
      {3, "Saw"},
      {4, "Square"},
      {5, "Ext. input"}}},
    {"Filter Type",
     IParameter::kTypeEnum,
     1,
     0,
     2,
     0.1,
     "",
     {{0, "Low Pass"}, {2, "High Pass"}, {1, "Band Pass"}}},
    {"Filter Frequency", IParameter::kTypeDouble, 2500, 300, 18000, 1, "Hz", {}},
    {"Filter Q", IParameter::kTypeDouble, 1, 0.1, 4, 0.1, "", {}},
    {"Effect Amount", IParameter::kTypeDouble, 100, 0, 100, 1, "%", {}},
    {"Follow Pitch", IParameter::kTypeBool, 0, 0, 1, 0.1, "", {{0, "off"}, {1, "on"}}},
    {"Input level", IParameter::kTypeDouble, 0, -15, 15, 0.1, "dB", {}},
    {"Output level", IParameter::kTypeDouble, 0, -15, 15, 0.1, "dB", {}},
    {"Bypass", IParameter::kTypeBool, 0, 0, 1, 0.1, "", {{0, "off"}, {1, "on"}}},
    {"Analog Saturation", IParameter::kTypeBool, 1, 0, 1, 0.1, "", {{0, "off"}, {1, "on"}}},
};

TEST(VerdigrixParameters, TableMatchesWhatHostsAndStoredStatesAddress)
{
    Verdigrix effect;
    ASSERT_EQ(effect.ParamCount(), static_cast<int>(kTable.size()));
    for (int i = 0; i < effect.ParamCount(); ++i)
    {
        SCOPED_TRACE(i);
        const IParameter& p = *effect.Param(i);
        const Row& row = kTable[static_cast<size_t>(i)];
        EXPECT_STREQ(p.Name(), row.name);
        EXPECT_EQ(p.Type(), row.type);
        EXPECT_EQ(p.DefaultValue(), row.defaultValue);
        EXPECT_EQ(p.Value(), row.defaultValue);
        EXPECT_EQ(p.Min(), row.min);
        EXPECT_EQ(p.Max(), row.max);
        EXPECT_EQ(p.Step(), row.step);
        EXPECT_EQ(p.Shape(), 1.0);
        EXPECT_STREQ(p.Label(), row.label);
        EXPECT_STREQ(p.Group(), "");
        ASSERT_EQ(p.ValueTextCount(), static_cast<int>(row.texts.size()));
        for (int t = 0; t < p.ValueTextCount(); ++t)
        {
            EXPECT_EQ(p.ValueTextAt(t)->value, row.texts[static_cast<size_t>(t)].first);
            EXPECT_EQ(std::string(p.ValueTextAt(t)->text),
                      row.texts[static_cast<size_t>(t)].second);
        }
    }
}

TEST(VerdigrixParameters, IdentityHandedToTheBase)
{
    Verdigrix effect;
    EXPECT_STREQ(effect.effectName, "Verdigrix");
    EXPECT_STREQ(effect.makerName, "Tamrok");
    EXPECT_EQ(effect.uniqueId, FourCharCode("Vdgx"));
    EXPECT_EQ(effect.makerId, FourCharCode("Tmrk"));
    EXPECT_EQ(effect.version, 0x00010100);
    EXPECT_EQ(effect.PresetCount(), 1);
    EXPECT_EQ(effect.channelConfigs.size(), 6u);
    EXPECT_EQ(effect.InputChannelCount(), 4);
    EXPECT_EQ(effect.OutputChannelCount(), 2);
    EXPECT_TRUE(effect.LegalIO(4, 2));
    EXPECT_FALSE(effect.LegalIO(4, 1));
    // Only the VST3 module captures its default program in the constructor.
    EXPECT_STREQ(effect.presets[0]->name, "empty");
    EXPECT_FALSE(effect.presets[0]->initialized);
}

TEST(VerdigrixParameters, EngineKeepsItsOwnValuesUntilParametersAreAnnounced)
{
    Verdigrix effect;
    EXPECT_EQ(effect.engine.frequency, 3000.0);
    EXPECT_STREQ(effect.engine.filter->name(), "RBJ Low Pass");

    EffectHost(effect).AnnounceAll();
    EXPECT_EQ(effect.engine.frequency, 2500.0);
    EXPECT_STREQ(effect.engine.filter->name(), "RBJ Band Pass 1");
    EXPECT_EQ(effect.engine.filterType, AudioPlugin::kBandPass);
    EXPECT_EQ(effect.engine.amount, 0.5);
    EXPECT_TRUE(effect.engine.saturation);
    EXPECT_FALSE(effect.engine.bypass);
}

// A value as a host's normalised 0..1 scale can leave it (step 0.1), and what it does.
struct EngineCase
{
    const char* what;
    int index;
    double value;
    std::function<void(const AudioPlugin&)> check;
};

class EngineActions : public testing::TestWithParam<EngineCase>
{
};

TEST_P(EngineActions, ReachTheEngine)
{
    Verdigrix effect;
    EffectHost host(effect);
    host.Configure(48000.0, 512);
    host.Set(GetParam().index, GetParam().value);
    GetParam().check(effect.engine);
}

const EngineCase kEngineCases[] = {
    {"source 3.7 truncates to saw", Verdigrix::kSourceType, 3.7,
     [](const AudioPlugin& e) { EXPECT_EQ(e.sourceType, AudioPlugin::kSaw); }},
    {"filter type 1.5 is band pass", Verdigrix::kFilterType, 1.5,
     [](const AudioPlugin& e)
     {
         EXPECT_STREQ(e.filter->name(), "RBJ Band Pass 1");
         EXPECT_EQ(e.filterType, 1);
     }},
    {"filter type 2.0 is high pass", Verdigrix::kFilterType, 2.0,
     [](const AudioPlugin& e)
     {
         EXPECT_STREQ(e.filter->name(), "RBJ High Pass");
         EXPECT_EQ(e.filterType, 2);
     }},
    {"filter type 0.9 is low pass", Verdigrix::kFilterType, 0.9,
     [](const AudioPlugin& e) { EXPECT_STREQ(e.filter->name(), "RBJ Low Pass"); }},
    {"new filter is designed for rate, frequency and Q", Verdigrix::kFilterType, 2,
     [](const AudioPlugin& e)
     {
         EXPECT_EQ(e.filter->FilterParameters[0], 48000.0);
         EXPECT_EQ(e.filter->FilterParameters[1], e.frequency);
         EXPECT_EQ(e.filter->FilterParameters[2], e.q);
     }},
    {"frequency retunes filter and oscillators", Verdigrix::kFilterFrequency, 1234,
     [](const AudioPlugin& e)
     {
         EXPECT_EQ(e.frequency, 1234.0);
         EXPECT_EQ(e.filter->FilterParameters[1], 1234.0);
         EXPECT_EQ(e.sine.frequency, 1234.0);
         EXPECT_EQ(e.square.frequency, 1234.0);
         EXPECT_EQ(e.saw.frequency, 1234.0);
     }},
    {"Q redesigns the filter", Verdigrix::kFilterQ, 3.3,
     [](const AudioPlugin& e)
     {
         EXPECT_EQ(e.q, 3.3);
         EXPECT_EQ(e.filter->FilterParameters[2], 3.3);
     }},
    {"amount 100 is 0.5", Verdigrix::kEffectAmount, 100,
     [](const AudioPlugin& e) { EXPECT_EQ(e.amount, 0.5); }},
    {"amount 0 is 0", Verdigrix::kEffectAmount, 0,
     [](const AudioPlugin& e) { EXPECT_EQ(e.amount, 0.0); }},
    {"amount 37 is 0.185", Verdigrix::kEffectAmount, 37,
     [](const AudioPlugin& e) { EXPECT_DOUBLE_EQ(e.amount, 0.185); }},
    {"input minus 15 dB", Verdigrix::kInputLevel, -15,
     [](const AudioPlugin& e) { EXPECT_NEAR(e.inputGain, 0.1778279, 5e-8); }},
    {"input plus 15 dB", Verdigrix::kInputLevel, 15,
     [](const AudioPlugin& e) { EXPECT_NEAR(e.inputGain, 5.6234133, 5e-8); }},
    {"output 0 dB is exactly unity", Verdigrix::kOutputLevel, 0,
     [](const AudioPlugin& e) { EXPECT_EQ(e.outputGain, 1.0); }},
    {"output minus 15 dB", Verdigrix::kOutputLevel, -15,
     [](const AudioPlugin& e) { EXPECT_NEAR(e.outputGain, 0.1778279, 5e-8); }},
    {"bypass 0.5 is on", Verdigrix::kBypass, 0.5,
     [](const AudioPlugin& e) { EXPECT_TRUE(e.bypass); }},
    {"bypass 0.4 is off", Verdigrix::kBypass, 0.4,
     [](const AudioPlugin& e) { EXPECT_FALSE(e.bypass); }},
    {"saturation 0.4 is off", Verdigrix::kAnalogSaturation, 0.4,
     [](const AudioPlugin& e) { EXPECT_FALSE(e.saturation); }},
    {"follow pitch 0.6 is on", Verdigrix::kFollowPitch, 0.6,
     [](const AudioPlugin& e) { EXPECT_TRUE(e.followPitch); }},
};

INSTANTIATE_TEST_SUITE_P(Verdigrix, EngineActions, testing::ValuesIn(kEngineCases),
                         [](const auto& info)
                         {
                             std::string name = info.param.what;
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

TEST(VerdigrixParameters, LeavingFollowPitchPutsFilterAndOscillatorsBackOnTheFrequency)
{
    Verdigrix effect;
    EffectHost host(effect);
    host.Configure(44100.0, 512);
    host.Set(Verdigrix::kFilterFrequency, 2000);
    host.Set(Verdigrix::kFollowPitch, 1);
    // What the pitch follower does on every block.
    effect.engine.filter->setParameterById(1, 440.0);
    effect.engine.sine.setFrequency(440.0);
    effect.engine.saw.setFrequency(440.0);

    host.Set(Verdigrix::kFollowPitch, 0);
    EXPECT_FALSE(effect.engine.followPitch);
    EXPECT_EQ(effect.engine.filter->FilterParameters[1], 2000.0);
    EXPECT_EQ(effect.engine.sine.frequency, 2000.0);
    EXPECT_EQ(effect.engine.saw.frequency, 2000.0);
}

// Filters `input` through `filter` and returns the result (both channels get `input`).
std::vector<double> Filtered(Dsp::Filter& filter, std::vector<double> input)
{
    std::vector<double> right = input;
    double* channels[2] = {input.data(), right.data()};
    filter.filterBlock(static_cast<int>(input.size()), channels);
    return input;
}

TEST(VerdigrixParameters, SameFilterTypeAgainGivesAFreshFilterWithoutGlide)
{
    Verdigrix effect;
    EffectHost host(effect);
    host.Configure(44100.0, 512);
    host.Set(Verdigrix::kFilterType, 0);
    host.Set(Verdigrix::kFilterFrequency, 800);
    std::vector<double> loud(300, 0.9);
    Filtered(*effect.engine.filter, loud);       // fills the filter's memory
    host.Set(Verdigrix::kFilterFrequency, 1500); // and starts a glide

    host.Set(Verdigrix::kFilterType, 0);

    Dsp::SmoothedFilterDesign<Dsp::RBJ::Design::LowPass, 2, Dsp::DirectFormII> fresh(512);
    fresh.setParameters(effect.engine.filter->FilterParameters);
    std::vector<double> impulse(64, 0.0);
    impulse[0] = 1.0;
    EXPECT_EQ(Filtered(*effect.engine.filter, impulse), Filtered(fresh, impulse));
}

TEST(VerdigrixParameters, FilterTypeChangesBackAndForthKeepEveryTypeRight)
{
    Verdigrix effect;
    EffectHost host(effect);
    host.Configure(44100.0, 512);
    const char* names[] = {"RBJ Low Pass", "RBJ Band Pass 1", "RBJ High Pass"};
    for (int type : {1, 1, 0, 2, 0, 0, 2, 1, 2})
    {
        host.Set(Verdigrix::kFilterType, type);
        EXPECT_STREQ(effect.engine.filter->name(), names[type]) << type;
        EXPECT_EQ(effect.engine.filterType, type);
    }
}

/// Records what the effect tells the editor.
class MarkProbeEditor : public IEditor
{
public:
    void CreateDrawingBitmap() override {}
    void SetControlsFromNormalised(int, double) override {}
    void ShowParameterValue(int index, double, bool) override { shown.push_back(index); }
    void MarkParameterChanged(int index) override { marked.push_back(index); }
    std::vector<int> shown;
    std::vector<int> marked;
};

TEST(VerdigrixParameters, AChangeOnlyMarksItsParameterForTheEditor)
{
    // The change may come from the audio thread: no control is touched there, and the other
    // parameters are not pushed again.
    Verdigrix effect;
    auto editor = std::make_unique<MarkProbeEditor>();
    MarkProbeEditor& probe = *editor;
    effect.AttachEditor(std::move(editor));

    effect.Param(Verdigrix::kFilterQ)->SetClamped(2.0);
    effect.ParameterChanged(Verdigrix::kFilterQ, IEffectBase::kSourceHost);

    EXPECT_EQ(probe.marked, (std::vector<int>{Verdigrix::kFilterQ}));
    EXPECT_TRUE(probe.shown.empty());
    EXPECT_EQ(effect.engine.q, 2.0);
}

TEST(VerdigrixParameters, TheEditorsTimerShowsMarkedValues)
{
    Verdigrix effect;
    auto* graphics = dynamic_cast<IGraphicsHeadless*>(effect.graphics.get());
    ASSERT_NE(graphics, nullptr);
    IControl* box = nullptr;
    for (int i = 0; i < graphics->ControlCount() && box == nullptr; ++i)
        if (graphics->ControlAt(i)->parameterIndex == Verdigrix::kFilterQ)
            box = static_cast<IControl*>(graphics->ControlAt(i));
    ASSERT_NE(box, nullptr);
    const double before = box->value.load();

    effect.Param(Verdigrix::kFilterQ)->SetClamped(4.0);
    effect.ParameterChanged(Verdigrix::kFilterQ, IEffectBase::kSourceHost);
    EXPECT_EQ(box->value.load(), before); // nothing shown by the changing thread
    graphics->Tick();
    EXPECT_DOUBLE_EQ(box->value.load(), 1.0);
}

TEST(VerdigrixParameters, IndexOutsideTheTableChangesNothing)
{
    Verdigrix effect;
    effect.ParameterChanged(-1, 1);
    effect.ParameterChanged(Verdigrix::kParamCount, 1);
    EXPECT_EQ(effect.engine.frequency, 3000.0);
}

} // namespace
