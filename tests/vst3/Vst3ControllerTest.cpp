// The instance as component and edit controller, through the real bundle: interfaces,
// buses and arrangements, the host's parameter list, texts and conversions, units, views
// and the initialize/terminate life.

#include "BundleFixture.h"

#include <cmath>

using namespace vst3;

namespace
{

constexpr ParamID kPresetId = 0x70727374;
constexpr ParamID kBypassId = 0x62706173;

class ControllerTest : public BundleTest
{
protected:
    void SetUp() override
    {
        plugin = NewPlugin();
        ASSERT_NE(plugin->Component(), nullptr);
    }
    IComponent& Component() { return *plugin->Component(); }
    IAudioProcessor& Processor() { return *plugin->Processor(); }
    IEditController& Controller() { return *plugin->Controller(); }

    std::string ValueText(ParamID id, double v)
    {
        String128 text{};
        text[0] = u'?';
        const tresult r = Controller().getParamStringByValue(id, v, text);
        return r == kResultOk ? Text(text) : "<refused>";
    }

    std::unique_ptr<Vst3Plugin> plugin;
};

TEST_F(ControllerTest, AnswersItsInterfacesButNotTheConnectionPoint)
{
    for (const Uid& iid :
         {FUnknown::iid, IDependent::iid, IPluginBase::iid, IComponent::iid, IAudioProcessor::iid,
          IEditController::iid, IEditController2::iid, IUnitInfo::iid, IMidiMapping::iid})
    {
        void* obj = nullptr;
        ASSERT_EQ(Component().queryInterface(iid.data(), &obj), kResultOk);
        ASSERT_NE(obj, nullptr);
        static_cast<FUnknown*>(obj)->release();
    }
    for (const Uid& iid : {IConnectionPoint::iid, IPlugView::iid, IProcessContextRequirements::iid})
    {
        void* obj = &obj;
        EXPECT_EQ(Component().queryInterface(iid.data(), &obj), kNoInterface);
        EXPECT_EQ(obj, nullptr);
    }
}

TEST_F(ControllerTest, BusesAfterInitialize)
{
    EXPECT_EQ(Component().getBusCount(kAudio, kInput), 2);
    EXPECT_EQ(Component().getBusCount(kAudio, kOutput), 1);
    EXPECT_EQ(Component().getBusCount(kEvent, kInput), 0);
    EXPECT_EQ(Component().getBusCount(kEvent, kOutput), 0);
    EXPECT_EQ(Component().getBusCount(7, kInput), 0);

    struct Expected
    {
        BusDirection dir;
        int32 index;
        const char* name;
        BusType type;
        uint32 flags;
    };
    for (const Expected& e : {Expected{kInput, 0, "Main Input", kMain, BusInfo::kDefaultActive},
                              Expected{kInput, 1, "Aux Input", kAux, 0},
                              Expected{kOutput, 0, "Output", kMain, BusInfo::kDefaultActive}})
    {
        BusInfo info{};
        ASSERT_EQ(Component().getBusInfo(kAudio, e.dir, e.index, info), kResultTrue) << e.name;
        EXPECT_EQ(info.mediaType, kAudio);
        EXPECT_EQ(info.direction, e.dir);
        EXPECT_EQ(info.channelCount, 2);
        EXPECT_EQ(Text(info.name), e.name);
        EXPECT_EQ(info.busType, e.type);
        EXPECT_EQ(info.flags, e.flags);
    }
    BusInfo info{};
    EXPECT_EQ(Component().getBusInfo(kAudio, kInput, 2, info), kResultFalse);
    EXPECT_EQ(Component().getBusInfo(kEvent, kInput, 0, info), kResultFalse);
    EXPECT_EQ(Component().activateBus(kAudio, kInput, 1, 1), kResultTrue);
    EXPECT_EQ(Component().activateBus(kAudio, kOutput, 1, 1), kResultFalse);
    EXPECT_EQ(Component().activateBus(kEvent, kInput, 0, 1), kResultFalse);
}

TEST_F(ControllerTest, BusArrangementsAcceptTheChannelConfigurations)
{
    using namespace SpeakerArr;
    struct Case
    {
        const char* what;
        std::vector<SpeakerArrangement> ins;
        SpeakerArrangement out;
        tresult result;
        const char* in0Name;
        SpeakerArrangement in0, in1, out0;
    };
    const Case cases[] = {
        {"stereo", {kStereo, kStereo}, kStereo, kResultOk, "Main Input", kStereo, kStereo, kStereo},
        {"mono", {kMono, kMono}, kMono, kResultOk, "Input", kMono, kMono, kMono},
        {"stereo in, mono out",
         {kStereo, kStereo},
         kMono,
         kResultOk,
         "Main Input",
         kStereo,
         kStereo,
         kMono},
        {"no side-chain arrangement",
         {kStereo},
         kStereo,
         kResultFalse,
         "Main Input",
         kStereo,
         kStereo,
         kStereo},
        {"mono in, stereo out",
         {kMono, kMono},
         kStereo,
         kResultFalse,
         "Main Input",
         kStereo,
         kStereo,
         kStereo},
        {"five in", {k50, kStereo}, kStereo, kResultFalse, "Main Input", kStereo, kStereo, kStereo},
    };
    for (const Case& c : cases)
    {
        auto fresh = NewPlugin();
        auto ins = c.ins;
        SpeakerArrangement out = c.out;
        EXPECT_EQ(fresh->Processor()->setBusArrangements(ins.data(), static_cast<int32>(ins.size()),
                                                         &out, 1),
                  c.result)
            << c.what;
        SpeakerArrangement arr = 0;
        ASSERT_EQ(fresh->Processor()->getBusArrangement(kInput, 0, arr), kResultTrue);
        EXPECT_EQ(arr, c.in0) << c.what;
        ASSERT_EQ(fresh->Processor()->getBusArrangement(kInput, 1, arr), kResultTrue);
        EXPECT_EQ(arr, c.in1) << c.what;
        ASSERT_EQ(fresh->Processor()->getBusArrangement(kOutput, 0, arr), kResultTrue);
        EXPECT_EQ(arr, c.out0) << c.what;
        BusInfo info{};
        fresh->Component()->getBusInfo(kAudio, kInput, 0, info);
        EXPECT_EQ(Text(info.name), c.in0Name) << c.what;
    }

    // The replacement buses keep their positions and take the format's names.
    SpeakerArrangement ins[2] = {SpeakerArr::kMono, SpeakerArr::kMono};
    SpeakerArrangement out = SpeakerArr::kMono;
    ASSERT_EQ(Processor().setBusArrangements(ins, 2, &out, 1), kResultOk);
    BusInfo info{};
    Component().getBusInfo(kAudio, kInput, 1, info);
    EXPECT_EQ(Text(info.name), "Sidechain Input");
    EXPECT_EQ(info.busType, kAux);
    EXPECT_EQ(info.flags, 0u);
    Component().getBusInfo(kAudio, kOutput, 0, info);
    EXPECT_EQ(Text(info.name), "Output");
    EXPECT_EQ(info.channelCount, 1);
    SpeakerArrangement none = 0;
    EXPECT_EQ(Processor().getBusArrangement(kOutput, 1, none), kResultFalse);

    // Arrangements the host does not give at all are refused, not read.
    EXPECT_EQ(Processor().setBusArrangements(nullptr, 0, nullptr, 0), kResultFalse);
    EXPECT_EQ(Processor().setBusArrangements(ins, 0, &out, 1), kResultFalse);
}

TEST_F(ControllerTest, ExportsTwelveParameters)
{
    struct Row
    {
        ParamID id;
        const char* title;
        const char* units;
        int32 stepCount;
        double defaultNormalized;
        int32 flags;
    };
    const Row rows[] = {
        {kPresetId, "Preset", "", 0, 0.0, 0x8008}, // a program list of the one preset
        {kBypassId, "Bypass", "", 1, 0.0, 0x10009},
        {0, "Source Type", "", 5, 0.0, 0x9},
        {1, "Filter Type", "", 2, 0.5, 0x9}, // the band pass, the effect's own default
        {2, "Filter Frequency", "Hz", 0, 2200.0 / 17700.0, 0x1},
        {3, "Filter Q", "", 0, 0.9 / 3.9, 0x1},
        {4, "Effect Amount", "%", 0, 1.0, 0x1},
        {5, "Follow Pitch", "", 1, 0.0, 0x9},
        {6, "Input level", "dB", 0, 0.5, 0x1},
        {7, "Output level", "dB", 0, 0.5, 0x1},
        {8, "Bypass", "", 1, 0.0, 0x9},
        {9, "Analog Saturation", "", 1, 1.0, 0x9},
    };
    ASSERT_EQ(Controller().getParameterCount(), 12);
    for (int32 i = 0; i < 12; ++i)
    {
        ParameterInfo info{};
        ASSERT_EQ(Controller().getParameterInfo(i, info), kResultOk);
        const Row& row = rows[i];
        EXPECT_EQ(info.id, row.id) << i;
        EXPECT_EQ(Text(info.title), row.title) << i;
        EXPECT_EQ(Text(info.shortTitle), "") << i;
        EXPECT_EQ(Text(info.units), row.units) << i;
        EXPECT_EQ(info.stepCount, row.stepCount) << i;
        EXPECT_NEAR(info.defaultNormalizedValue, row.defaultNormalized, 1e-12) << i;
        EXPECT_EQ(info.unitId, kRootUnitId) << i;
        EXPECT_EQ(info.flags, row.flags) << i;
        // A host starts a new instance's controls at the default: it is what the effect holds.
        if (info.id < 10)
        {
            EXPECT_NEAR(Controller().getParamNormalized(info.id), info.defaultNormalizedValue,
                        1e-12)
                << i;
        }
    }
    ParameterInfo info{};
    EXPECT_EQ(Controller().getParameterInfo(12, info), kResultFalse);
    EXPECT_EQ(Controller().getParameterInfo(-1, info), kResultFalse);
}

TEST_F(ControllerTest, ListParametersAreOrderedByValue)
{
    // Filter Type's value texts are added in another order, and its default is the band pass.
    const char* filterTypes[] = {"Low Pass", "Band Pass", "High Pass"};
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(ValueText(1, k / 2.0), filterTypes[k]);
    const char* sources[] = {"Noise", "Stereo Noise", "Sine", "Saw", "Square", "Ext. input"};
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(ValueText(0, k / 5.0), sources[k]);
}

TEST_F(ControllerTest, DisplayTextsOfNormalisedValues)
{
    struct Case
    {
        ParamID id;
        double normalized;
        const char* text;
    };
    for (const Case& c :
         {Case{2, 0.5, "9150"}, Case{6, 0.75, "7.5"}, Case{1, 0.5, "Band Pass"},
          Case{0, 1.0, "Ext. input"}, Case{5, 1.0, "on"}, Case{4, 0.5, "50"},
          // The adapter's own two read as a block applies them.
          Case{kBypassId, 1.0, "on"}, Case{kBypassId, 0.5, "off"}, Case{kBypassId, 0.51, "on"},
          Case{kPresetId, 0.0, "-"}, Case{kPresetId, 1.0, "-"}, // the one preset, by name
          Case{0x12345678, 0.0, "<refused>"}, Case{10, 0.0, "<refused>"}, Case{2, 7.0, "18000"},
          Case{2, -3.0, "300"}, Case{2, std::nan(""), "<refused>"}, Case{2, INFINITY, "<refused>"},
          // Values a host kept in single precision show the step they stand for.
          Case{2, static_cast<float>(2200.0 / 17700.0), "2500"}, Case{4, 0.29f, "29"}})
        EXPECT_EQ(ValueText(c.id, c.normalized), c.text) << c.id << " " << c.normalized;
}

TEST_F(ControllerTest, ValuesFromTexts)
{
    struct Case
    {
        ParamID id;
        std::u16string text;
        tresult result;
        double normalized;
    };
    const Case cases[] = {
        {1, u"High Pass", kResultOk, 1.0},
        {1, u"high pass", kResultFalse, 0.0},
        {0, u"Ext. input", kResultOk, 1.0},
        {2, u"20000", kResultOk, 1.0},   // clamped to the maximum
        {2, u"9150 Hz", kResultOk, 0.5}, // the leading number, linear
        {2, u"Hz", kResultFalse, 0.0},
        {2, u"nan", kResultFalse, 0.0}, // a number to strtod, no value to a parameter
        {kPresetId, u"nan", kResultFalse, 0.0},
        {kBypassId, u"on", kResultOk, 1.0},
        {kBypassId, u"off", kResultOk, 0.0},
        {kPresetId, u"-", kResultOk, 0.0}, // a preset's name, as its text shows it
        {kPresetId, u"1", kResultOk, 1.0}, // the text shown past the presets reads back
        {kPresetId, u"0.5", kResultOk, 0.5},
        // The number is the normalised value itself, kept within 0..1 as hosts expect.
        {kPresetId, u"2", kResultOk, 1.0},
        {kPresetId, u"4\x04", kResultOk, 1.0},
        {kPresetId, u"-3", kResultOk, 0.0},
        {77, u"1", kResultFalse, 0.0},
    };
    for (const Case& c : cases)
    {
        std::u16string text = c.text;
        double value = -1.0;
        EXPECT_EQ(Controller().getParamValueByString(c.id, text.data(), value), c.result) << c.id;
        if (c.result == kResultOk)
        {
            EXPECT_NEAR(value, c.normalized, 1e-12) << c.id;
        }
    }
}

TEST_F(ControllerTest, ConversionsBetweenPlainAndNormalised)
{
    EXPECT_DOUBLE_EQ(Controller().normalizedParamToPlain(2, 0.5), 9150.0);
    EXPECT_DOUBLE_EQ(Controller().normalizedParamToPlain(0, 0.5), 3.0);
    EXPECT_DOUBLE_EQ(Controller().normalizedParamToPlain(0, 1.0), 5.0);
    EXPECT_DOUBLE_EQ(Controller().normalizedParamToPlain(kBypassId, 0.7), 1.0);
    EXPECT_DOUBLE_EQ(Controller().normalizedParamToPlain(kPresetId, 0.7), 0.7);
    EXPECT_DOUBLE_EQ(Controller().normalizedParamToPlain(1234, 0.7), 0.7);

    EXPECT_DOUBLE_EQ(Controller().plainParamToNormalized(2, 300.0), 0.0);
    EXPECT_DOUBLE_EQ(Controller().plainParamToNormalized(2, 100000.0), 1.0); // clamped
    EXPECT_DOUBLE_EQ(Controller().plainParamToNormalized(6, 0.0), 0.5);
    EXPECT_DOUBLE_EQ(Controller().plainParamToNormalized(kBypassId, 7.0), 7.0);
    EXPECT_DOUBLE_EQ(Controller().plainParamToNormalized(1234, 7.0), 7.0);

    EXPECT_DOUBLE_EQ(Controller().getParamNormalized(1234), 0.0);
    EXPECT_DOUBLE_EQ(Controller().getParamNormalized(kBypassId), 0.0);
}

TEST_F(ControllerTest, EveryParameterReadsBackWhatTheControllerWasGiven)
{
    // As a validator checks it: each exported parameter, at its ends, its default, its middle
    // and (for lists) every entry, reads back the value set through the controller.
    for (int32 i = 0; i < Controller().getParameterCount(); ++i)
    {
        ParameterInfo info{};
        ASSERT_EQ(Controller().getParameterInfo(i, info), kResultOk);
        std::vector<double> values = {1.0, 0.0, info.defaultNormalizedValue};
        if (info.stepCount > 0)
            for (int k = 0; k <= info.stepCount; ++k)
                values.push_back(static_cast<double>(k) / info.stepCount);
        else if (info.id != kPresetId)
            values.push_back(0.5);
        for (double v : values)
        {
            EXPECT_EQ(Controller().setParamNormalized(info.id, v), kResultOk) << Text(info.title);
            EXPECT_NEAR(Controller().getParamNormalized(info.id), v, 1e-12)
                << Text(info.title) << " at " << v;
        }
    }
    // Values a parameter cannot hold are refused or held to its range.
    EXPECT_EQ(Controller().setParamNormalized(1234, 0.5), kResultFalse);
    EXPECT_EQ(Controller().setParamNormalized(2, std::nan("")), kResultFalse);
    EXPECT_EQ(Controller().setParamNormalized(2, 7.0), kResultOk);
    EXPECT_DOUBLE_EQ(Controller().getParamNormalized(2), 1.0);
}

TEST_F(ControllerTest, UnitsProgramListsAndMidiMapping)
{
    void* obj = nullptr;
    ASSERT_EQ(Component().queryInterface(IUnitInfo::iid.data(), &obj), kResultOk);
    auto* units = static_cast<IUnitInfo*>(obj);
    EXPECT_EQ(units->getUnitCount(), 1);
    UnitInfo unit{};
    ASSERT_EQ(units->getUnitInfo(0, unit), kResultOk);
    EXPECT_EQ(unit.id, kRootUnitId);
    EXPECT_EQ(unit.parentUnitId, kNoParentUnitId);
    EXPECT_EQ(Text(unit.name), "Root Unit");
    // The root unit names the Preset parameter's program list, so hosts list presets by name.
    EXPECT_EQ(unit.programListId, static_cast<ProgramListID>(kPresetId));
    EXPECT_EQ(units->getUnitInfo(1, unit), kResultFalse);
    EXPECT_EQ(units->getUnitInfo(-1, unit), kResultFalse);

    EXPECT_EQ(units->getProgramListCount(), 1);
    ProgramListInfo list{};
    ASSERT_EQ(units->getProgramListInfo(0, list), kResultOk);
    EXPECT_EQ(list.id, static_cast<ProgramListID>(kPresetId));
    EXPECT_EQ(Text(list.name), "Factory Presets");
    EXPECT_EQ(list.programCount, 1);
    EXPECT_EQ(units->getProgramListInfo(1, list), kResultFalse);

    String128 name{};
    ASSERT_EQ(units->getProgramName(static_cast<ProgramListID>(kPresetId), 0, name), kResultOk);
    EXPECT_EQ(Text(name), "-");
    name[0] = u'x';
    ASSERT_EQ(units->getProgramName(static_cast<ProgramListID>(kPresetId), 5, name), kResultOk);
    EXPECT_EQ(Text(name), "");
    EXPECT_EQ(units->getProgramName(3, 0, name), kResultFalse);
    EXPECT_EQ(units->getSelectedUnit(), kRootUnitId);
    EXPECT_EQ(units->selectUnit(0), kNotImplemented);
    units->release();

    ASSERT_EQ(Component().queryInterface(IMidiMapping::iid.data(), &obj), kResultOk);
    auto* mapping = static_cast<IMidiMapping*>(obj);
    ParamID id = 4242;
    EXPECT_EQ(mapping->getMidiControllerAssignment(0, 0, 7, id), kResultFalse);
    EXPECT_EQ(id, 4242u);
    mapping->release();

    ASSERT_EQ(Component().queryInterface(IEditController2::iid.data(), &obj), kResultOk);
    auto* controller2 = static_cast<IEditController2*>(obj);
    EXPECT_EQ(controller2->setKnobMode(2), kResultOk);
    EXPECT_EQ(controller2->openHelp(0), kResultFalse);
    EXPECT_EQ(controller2->openAboutBox(0), kResultFalse);
    controller2->release();

    EXPECT_EQ(Component().getControllerClassId(nullptr), kNotImplemented);
    EXPECT_EQ(Component().setIoMode(kSimple), kNotImplemented);
    EXPECT_EQ(Processor().setProcessing(1), kNotImplemented);
    EXPECT_EQ(Processor().getLatencySamples(), 0u);
    EXPECT_EQ(Processor().getTailSamples(), 0u);
}

TEST_F(ControllerTest, ViewsOfferThePlatformsWindowOnlyAndAFixedSize)
{
    IPlugView* first = Controller().createView("editor");
    IPlugView* second = Controller().createView("editor");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(Controller().createView("Editor"), nullptr);
    EXPECT_EQ(Controller().createView("editor2"), nullptr);
    EXPECT_EQ(Controller().createView(nullptr), nullptr);

    // The platform's own window type and no other; a build without a window system offers none.
    constexpr bool opensAWindow = VERDIGRIX_EDITOR_WINDOW != 0;
    const std::string offered = VERDIGRIX_EDITOR_PLATFORM_TYPE;
    for (const char* type : {"HWND", "HWNDX", "X11EmbedWindowID", "X11EmbedWindowIDs", "X11", ""})
        EXPECT_EQ(first->isPlatformTypeSupported(type),
                  opensAWindow && offered == type ? kResultTrue : kResultFalse)
            << type;
    EXPECT_EQ(first->attached(nullptr, offered.c_str()), kResultFalse);
    ViewRect size{};
    if (opensAWindow)
    {
        ASSERT_EQ(first->getSize(&size), kResultOk);
        EXPECT_EQ(size.right - size.left, 500);
        EXPECT_EQ(size.bottom - size.top, 450);
    }
    EXPECT_EQ(first->removed(), kResultOk);
    EXPECT_EQ(first->onSize(nullptr), kResultOk);
    ViewRect wanted{0, 0, 320, 200};
    EXPECT_EQ(first->onSize(&wanted), kResultOk);
    EXPECT_EQ(first->onWheel(1.0f), kResultFalse);
    EXPECT_EQ(first->onKeyDown(u'a', 0, 0), kResultFalse);
    EXPECT_EQ(first->canResize(), kResultFalse);
    EXPECT_EQ(first->checkSizeConstraint(&wanted), kResultFalse);
    EXPECT_EQ(first->setFrame(nullptr), kResultOk);

    void* obj = nullptr;
    EXPECT_EQ(first->queryInterface(IPlugView::iid.data(), &obj), kResultOk);
    EXPECT_EQ(obj, first);
    first->release();
    EXPECT_EQ(first->queryInterface(IEditController::iid.data(), &obj), kNoInterface);

    // A view keeps its plug-in alive: the host may release the controller first.
    EXPECT_EQ(first->release(), 0u);
    plugin->Release();
    EXPECT_EQ(second->release(), 0u);
}

TEST_F(ControllerTest, InitializeIsRefusedUntilTerminateAndThenRebuilds)
{
    auto* host = static_cast<IHostApplication*>(&plugin->Host());
    EXPECT_EQ(Component().initialize(host), kResultFalse);
    EXPECT_EQ(Component().getBusCount(kAudio, kInput), 2);
    EXPECT_EQ(Controller().getParameterCount(), 12);

    EXPECT_EQ(Component().terminate(), kResultOk);
    EXPECT_EQ(Component().getBusCount(kAudio, kInput), 0);
    EXPECT_EQ(Controller().getParameterCount(), 0);

    EXPECT_EQ(Component().initialize(host), kResultOk);
    EXPECT_EQ(Component().getBusCount(kAudio, kInput), 2);
    EXPECT_EQ(Component().getBusCount(kAudio, kOutput), 1);
    EXPECT_EQ(Controller().getParameterCount(), 12);
    EXPECT_TRUE(plugin->Start(48000.0, 256));
}

TEST_F(ControllerTest, ComponentHandlerIsHeldUntilReplacedOrTerminated)
{
    ComponentHandler& handler = plugin->Handler();
    const uint32 held = handler.addRef() - 1;
    handler.release();
    EXPECT_EQ(Controller().setComponentHandler(&handler), kResultOk); // the same again
    EXPECT_EQ(handler.addRef() - 1, held);
    handler.release();
    EXPECT_EQ(Controller().setComponentHandler(nullptr), kResultOk);
    // Both the handler and its IComponentHandler2 reference are gone.
    EXPECT_EQ(handler.addRef() - 1, held - 2);
    handler.release();
    EXPECT_EQ(Controller().setComponentHandler(&handler), kResultOk);
    Component().terminate();
    EXPECT_EQ(handler.addRef() - 1, held - 2);
    handler.release();
}

} // namespace
