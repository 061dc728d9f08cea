// The built Verdigrix.so, loaded and driven exactly as a VST2 host does it.
#include "hosting/vst2/Vst2Module.h"
#include "hosting/vst2/Vst2Instance.h"
#include "tests/vst2/Vst2ModulePath.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

namespace
{
constexpr int kSourceType = 0;
constexpr int kFilterType = 1;
constexpr int kFilterFrequency = 2;
constexpr int kInputLevel = 6;
constexpr int kBypass = 8;

class Vst2ModuleTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        KeepDrawingLibrariesResident();
        std::string error;
        module = Vst2Module::Load(Vst2ModulePath(), &error).release();
        ASSERT_NE(module, nullptr) << error;
    }

    static void TearDownTestSuite()
    {
        delete module;
        module = nullptr;
    }

    void SetUp() override { ASSERT_NE(module, nullptr); }

    std::unique_ptr<Vst2Instance> Create(const Vst2Instance::Setup& setup = {})
    {
        auto instance = Vst2Instance::Create(module->Entry(), setup);
        EXPECT_NE(instance, nullptr);
        return instance;
    }

    static Vst2Module* module;
};

Vst2Module* Vst2ModuleTest::module = nullptr;

/// Four input and two output channels of 32-bit samples, as a host holds them.
struct FloatBuffers
{
    explicit FloatBuffers(int frames)
        : in(4, std::vector<float>(static_cast<std::size_t>(frames))),
          out(2, std::vector<float>(static_cast<std::size_t>(frames)))
    {
        for (int c = 0; c < 4; ++c)
            inputs[c] = in[static_cast<std::size_t>(c)].data();
        for (int c = 0; c < 2; ++c)
            outputs[c] = out[static_cast<std::size_t>(c)].data();
    }

    std::vector<std::vector<float>> in;
    std::vector<std::vector<float>> out;
    float* inputs[4] = {};
    float* outputs[2] = {};
};

void FillTone(std::vector<float>& channel, double hz, double start = 0.0)
{
    for (std::size_t i = 0; i < channel.size(); ++i)
        channel[i] = static_cast<float>(0.5 * std::sin(2.0 * M_PI * hz * (start + i) / 44100.0));
}
} // namespace

TEST_F(Vst2ModuleTest, ExportsOnlyTheTwoEntryPoints)
{
    EXPECT_NE(module->EntryNamed("VSTPluginMain"), nullptr);
    EXPECT_NE(module->EntryNamed("main"), nullptr);
#if defined(_WIN32)
    GTEST_SKIP() << "the DLL's export table is checked with objdump on the build machine";
#endif

    const std::string command = "nm -D --defined-only '" + Vst2ModulePath() + "' 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> exported;
    char line[512];
    while (std::fgets(line, sizeof line, pipe) != nullptr)
    {
        char type = 0;
        char name[400] = {};
        if (std::sscanf(line, "%*s %c %399s", &type, name) == 2 && (type == 'T' || type == 'W'))
            exported.insert(name);
    }
    pclose(pipe);
    EXPECT_EQ(exported, (std::set<std::string>{"VSTPluginMain", "main"}));
}

TEST_F(Vst2ModuleTest, MainCreatesAnIndependentInstanceToo)
{
    auto viaMain = Vst2Instance::Create(module->EntryNamed("main"));
    auto viaEntry = Create();
    ASSERT_NE(viaMain, nullptr);
    EXPECT_NE(viaMain->Effect(), viaEntry->Effect());
    viaMain->SetParameter(kBypass, 1.0f);
    EXPECT_FLOAT_EQ(viaEntry->GetParameter(kBypass), 0.0f);
}

TEST_F(Vst2ModuleTest, EffectRecordDescribesVerdigrix)
{
    auto host = Create();
    // The entry point only builds the instance; the host hears nothing from it yet.
    EXPECT_TRUE(host->Calls().empty());
    const vst2_effect& e = *host->Effect();
    EXPECT_EQ(e.magic, VST2_MAGIC);
    EXPECT_EQ(e.num_programs, 1);
    EXPECT_EQ(e.num_params, 10);
    EXPECT_EQ(e.num_inputs, 4);
    EXPECT_EQ(e.num_outputs, 2);
    // can mono, replacing, program chunks, double; and the editor where a window can open
    EXPECT_EQ(e.flags, VERDIGRIX_EDITOR_WINDOW != 0 ? 0x1039 : 0x1038);
    EXPECT_EQ(e.unique_id, VST2_FOURCC('V', 'd', 'g', 'x'));
    EXPECT_EQ(e.version, 10100);
    EXPECT_EQ(e.initial_delay, 0);
    EXPECT_FLOAT_EQ(e.io_ratio, 1.0f);
    EXPECT_EQ(e.resvd2, 0);
    EXPECT_NE(e.process, nullptr);
    EXPECT_NE(e.process_replacing, nullptr);
    EXPECT_NE(e.process_double_replacing, nullptr);
    for (char byte : e.future)
        EXPECT_EQ(byte, 0);
    // The alignment holes too: some hosts read flags as a pointer-sized field (bytes 56-63).
    const auto* bytes = reinterpret_cast<const uint8_t*>(&e);
    for (std::size_t hole : {4u, 5u, 6u, 7u, 60u, 61u, 62u, 63u})
        EXPECT_EQ(bytes[hole], 0) << "byte " << hole;
}

TEST_F(Vst2ModuleTest, FixedDispatcherAnswers)
{
    auto host = Create();
    struct Case
    {
        int32_t opcode;
        const char* text;
        intptr_t expected;
    };
    const Case cases[] = {
        {VST2_EFF_IDENTIFY, nullptr, 0x4E764566},
        {VST2_EFF_GET_VST_VERSION, nullptr, 2400},
        {VST2_EFF_GET_VENDOR_VERSION, nullptr, 10100},
        {VST2_EFF_GET_PLUG_CATEGORY, nullptr, 1},
        {VST2_EFF_GET_TAIL_SIZE, nullptr, 0},
        {VST2_EFF_CAN_BE_AUTOMATED, nullptr, 1},
        {VST2_EFF_GET_PROGRAM, nullptr, 0},
        {VST2_EFF_CAN_DO, "receiveVstTimeInfo", 1},
        {VST2_EFF_CAN_DO, "receiveVstEvents", 0},
        {VST2_EFF_CAN_DO, "receiveVstTimeInfoPlus", 0},
        {VST2_EFF_CAN_DO, nullptr, 0},
        {12345, nullptr, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(host->Dispatch(c.opcode, 0, 0, const_cast<char*>(c.text)), c.expected)
            << c.opcode << " " << (c.text ? c.text : "");
}

TEST_F(Vst2ModuleTest, NamesStayWithinSafeLengths)
{
    auto host = Create();
    EXPECT_EQ(host->Text(VST2_EFF_GET_EFFECT_NAME), "Verdigrix");
    EXPECT_EQ(host->Text(VST2_EFF_GET_VENDOR_STRING), "Tamrok");
    EXPECT_EQ(host->Text(VST2_EFF_GET_PRODUCT_STRING), "");
    EXPECT_EQ(host->Text(VST2_EFF_GET_PROGRAM_NAME), "-"); // the same name as in VST3
    EXPECT_EQ(host->Dispatch(VST2_EFF_GET_EFFECT_NAME), 0);

    // A long rename is kept to what the tightest host buffer (28 bytes) holds.
    const std::string longName(40, 'n');
    host->Dispatch(VST2_EFF_SET_PROGRAM_NAME, 0, 0, const_cast<char*>(longName.c_str()));
    char buffer[64];
    std::memset(buffer, 'Z', sizeof buffer);
    host->Dispatch(VST2_EFF_GET_PROGRAM_NAME, 0, 0, buffer);
    EXPECT_EQ(std::strlen(buffer), 23u);
    EXPECT_EQ(buffer[24], 'Z');
    std::memset(buffer, 'Z', sizeof buffer);
    EXPECT_EQ(host->Dispatch(VST2_EFF_GET_PROGRAM_NAME_INDEXED, 0, 0, buffer), 1);
    EXPECT_EQ(std::strlen(buffer), 23u);
    EXPECT_EQ(host->Dispatch(VST2_EFF_GET_PROGRAM_NAME_INDEXED, 1, 0, buffer), 0);
    EXPECT_STREQ(buffer, "");
}

TEST_F(Vst2ModuleTest, PinProperties)
{
    auto host = Create();
    struct Case
    {
        int32_t opcode;
        int32_t index;
        intptr_t result;
        const char* label;
        int32_t flags;
    };
    const Case cases[] = {
        {VST2_EFF_GET_INPUT_PROPERTIES, 0, 1, "Input 1", 3},
        {VST2_EFF_GET_INPUT_PROPERTIES, 1, 1, "Input 2", 1},
        {VST2_EFF_GET_INPUT_PROPERTIES, 2, 1, "Input 3", 3},
        {VST2_EFF_GET_INPUT_PROPERTIES, 3, 1, "Input 4", 1},
        {VST2_EFF_GET_INPUT_PROPERTIES, 4, 0, "", -7},
        {VST2_EFF_GET_INPUT_PROPERTIES, -1, 0, "", -7},
        {VST2_EFF_GET_OUTPUT_PROPERTIES, 0, 1, "Output 1", 3},
        {VST2_EFF_GET_OUTPUT_PROPERTIES, 1, 1, "Output 2", 1},
        {VST2_EFF_GET_OUTPUT_PROPERTIES, 2, 0, "", -7},
    };
    for (const Case& c : cases)
    {
        vst2_pin_properties pin{};
        pin.flags = -7;
        pin.arrangement_type = 42; // left as the host gave it
        EXPECT_EQ(host->Dispatch(c.opcode, c.index, 0, &pin), c.result) << c.index;
        EXPECT_STREQ(pin.label, c.label) << c.index;
        EXPECT_EQ(pin.flags, c.flags) << c.index;
        EXPECT_EQ(pin.arrangement_type, 42);
    }
    EXPECT_EQ(host->Dispatch(VST2_EFF_GET_INPUT_PROPERTIES, 0, 0, nullptr), 0);
}

TEST_F(Vst2ModuleTest, SpeakerArrangementsAndEditorRect)
{
    auto host = Create();
    vst2_speaker_arrangement* in = nullptr;
    vst2_speaker_arrangement* out = nullptr;
    EXPECT_EQ(
        host->Dispatch(VST2_EFF_GET_SPEAKER_ARRANGEMENT, 0, reinterpret_cast<intptr_t>(&in), &out),
        1);
    ASSERT_NE(in, nullptr);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(in->type, VST2_SPEAKER_ARR_USER_DEFINED);
    EXPECT_EQ(in->num_channels, 4);
    EXPECT_EQ(out->type, VST2_SPEAKER_ARR_STEREO);
    EXPECT_EQ(out->num_channels, 2);

    // The editor exists from construction, so the rect is there before the window opens.
    vst2_erect* rect = nullptr;
    EXPECT_EQ(host->Dispatch(VST2_EFF_EDIT_GET_RECT, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_GE(rect->right, 500);
    EXPECT_GE(rect->bottom, 450);
    EXPECT_EQ(host->Dispatch(VST2_EFF_EDIT_GET_RECT, 0, 0, nullptr), 0);

    // No parent window: nothing opens. Closing is answered while an editor exists.
    EXPECT_EQ(host->Dispatch(VST2_EFF_EDIT_OPEN, 0, 0, nullptr), 0);
    EXPECT_EQ(host->Dispatch(VST2_EFF_EDIT_CLOSE), 1);
    EXPECT_EQ(host->Dispatch(VST2_EFF_EDIT_IDLE), 0);
}

TEST_F(Vst2ModuleTest, ParameterTextsAndValues)
{
    auto host = Create();
    EXPECT_EQ(host->Text(VST2_EFF_GET_PARAM_NAME, kFilterFrequency), "Filter Frequency");
    EXPECT_EQ(host->Text(VST2_EFF_GET_PARAM_DISPLAY, kFilterType), "Band Pass");
    EXPECT_EQ(host->Text(VST2_EFF_GET_PARAM_LABEL, kFilterType), "");
    EXPECT_EQ(host->Text(VST2_EFF_GET_PARAM_LABEL, kFilterFrequency), "Hz");
    EXPECT_EQ(host->Text(VST2_EFF_GET_PARAM_NAME, 10), "");
    EXPECT_EQ(host->Text(VST2_EFF_GET_PARAM_NAME, -1), "");

    EXPECT_NEAR(host->GetParameter(kFilterFrequency), (2500.0 - 300.0) / 17700.0, 1e-6);
    EXPECT_NEAR(host->GetParameter(kFilterFrequency), 0.1243, 1e-4);
    EXPECT_FLOAT_EQ(host->GetParameter(10), 0.0f);
    EXPECT_FLOAT_EQ(host->GetParameter(-1), 0.0f);
}

TEST_F(Vst2ModuleTest, StringToParameter)
{
    struct Case
    {
        int32_t index;
        const char* text;
        intptr_t result;
        const char* display; // afterwards
    };
    const Case cases[] = {
        {kSourceType, "Sine", 1, "Sine"},
        {kSourceType, "sine", 0, "Noise"},
        {kSourceType, "Ext. input", 1, "Ext. input"},
        {kSourceType, "", 0, "Noise"},
        {kInputLevel, "12.5", 1, "12.5"},
        {kInputLevel, "99", 1, "15.0"},
        {kFilterType, "High Pass", 1, "High Pass"},
    };
    for (const Case& c : cases)
    {
        auto host = Create();
        EXPECT_EQ(
            host->Dispatch(VST2_EFF_STRING_TO_PARAMETER, c.index, 0, const_cast<char*>(c.text)),
            c.result)
            << c.text;
        EXPECT_EQ(host->Text(VST2_EFF_GET_PARAM_DISPLAY, c.index), c.display) << c.text;
    }
    auto host = Create();
    EXPECT_EQ(host->Dispatch(VST2_EFF_STRING_TO_PARAMETER, kSourceType, 0, nullptr), 1);
    EXPECT_EQ(host->Text(VST2_EFF_GET_PARAM_DISPLAY, kSourceType), "Noise");
    EXPECT_EQ(host->Dispatch(VST2_EFF_STRING_TO_PARAMETER, 10, 0, const_cast<char*>("1")), 0);
}

TEST_F(Vst2ModuleTest, SetParameterAutomatesAndVendorSpecificFormats)
{
    auto host = Create();
    host->SetParameter(kSourceType, 0.4f); // 2 of 0..5
    EXPECT_EQ(host->Text(VST2_EFF_GET_PARAM_DISPLAY, kSourceType), "Sine");
    host->SetParameter(kFilterFrequency, 0.5f);
    EXPECT_NEAR(host->GetParameter(kFilterFrequency), 0.5f, 1e-4);

    char text[64] = {};
    EXPECT_EQ(host->Dispatch(VST2_EFF_VENDOR_SPECIFIC, 7, kFilterType, text, 1.0f), 0xBEEF);
    EXPECT_STREQ(text, "High Pass");
    EXPECT_EQ(host->Dispatch(VST2_EFF_VENDOR_SPECIFIC, 7, kFilterType, nullptr, 1.0f), 0);
    EXPECT_EQ(host->Dispatch(VST2_EFF_VENDOR_SPECIFIC, 8, kFilterType), 0xBEEF);
    EXPECT_EQ(host->Dispatch(VST2_EFF_VENDOR_SPECIFIC, 8, kFilterFrequency), 0);
    EXPECT_EQ(host->Dispatch(VST2_EFF_VENDOR_SPECIFIC, 8, 10), 0);
    EXPECT_EQ(host->Dispatch(VST2_EFF_VENDOR_SPECIFIC, 3, kFilterType), 0);
}

TEST_F(Vst2ModuleTest, ParameterPropertiesDescribeSwitchesAndListsOnly)
{
    auto host = Create();
    const struct
    {
        int32_t index;
        intptr_t result;
        int32_t flags, min, max;
        const char* label;
    } cases[] = {
        {0, 1, VST2_PARAM_USES_INTEGER_MIN_MAX | VST2_PARAM_USES_INT_STEP, 0, 5, "Source Type"},
        {1, 1, VST2_PARAM_USES_INTEGER_MIN_MAX | VST2_PARAM_USES_INT_STEP, 0, 2, "Filter Type"},
        {5, 1, VST2_PARAM_IS_SWITCH, 0, 0, "Follow Pitch"},
        {8, 1, VST2_PARAM_IS_SWITCH, 0, 0, "Bypass"},
        {9, 1, VST2_PARAM_IS_SWITCH, 0, 0, "Analog Saturation"},
        {kFilterFrequency, 0, 0, 0, 0, nullptr}, // continuous: the host's own control
        {kInputLevel, 0, 0, 0, 0, nullptr},
        {10, 0, 0, 0, 0, nullptr},
        {-1, 0, 0, 0, 0, nullptr},
    };
    for (const auto& c : cases)
    {
        // The record plus a guard area: nothing past its 152 bytes may be written, and a
        // refused call writes nothing at all.
        unsigned char bytes[sizeof(vst2_parameter_properties) + 16];
        std::memset(bytes, 0xAB, sizeof bytes);
        EXPECT_EQ(host->Dispatch(VST2_EFF_GET_PARAMETER_PROPERTIES, c.index, 0, bytes), c.result)
            << c.index;
        for (std::size_t k = sizeof(vst2_parameter_properties); k < sizeof bytes; ++k)
            ASSERT_EQ(bytes[k], 0xAB) << c.index;
        vst2_parameter_properties p;
        std::memcpy(&p, bytes, sizeof p);
        if (c.result == 0)
        {
            EXPECT_EQ(bytes[0], 0xAB) << c.index;
            continue;
        }
        EXPECT_EQ(p.flags, c.flags) << c.index;
        EXPECT_STREQ(p.label, c.label);
        if (c.flags & VST2_PARAM_USES_INTEGER_MIN_MAX)
        {
            EXPECT_EQ(p.min_integer, c.min);
            EXPECT_EQ(p.max_integer, c.max);
            EXPECT_EQ(p.step_integer, 1);
        }
        EXPECT_EQ(p.category, 0);
    }
    EXPECT_EQ(host->Dispatch(VST2_EFF_GET_PARAMETER_PROPERTIES, 0, 0, nullptr), 0);
}

TEST_F(Vst2ModuleTest, TypedNumbersReadTheSameUnderADecimalCommaLocale)
{
    // A host running in a German locale: its C library reads "12.5" as 12.
#if defined(_WIN32)
    GTEST_SKIP() << "the locale is built with localedef, which only the Linux build has";
#else
    // A folder of this process's own: other test runs on the machine build theirs at once.
    const std::string dir = testing::TempDir() + "vdgx-locales-" + std::to_string(getpid());
    const std::string make = "mkdir -p '" + dir + "' && localedef -i de_DE -f UTF-8 '" + dir +
                             "/de_DE.UTF-8' >/dev/null 2>&1";
    if (std::system(make.c_str()) != 0)
        GTEST_SKIP() << "localedef cannot build a decimal-comma locale here";
    setenv("LOCPATH", dir.c_str(), 1);
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr);
    ASSERT_EQ(std::atof("12.5"), 12.0); // the locale is in force
    auto host = Create();
    EXPECT_EQ(
        host->Dispatch(VST2_EFF_STRING_TO_PARAMETER, kInputLevel, 0, const_cast<char*>("12.5")), 1);
    EXPECT_EQ(host->Text(VST2_EFF_GET_PARAM_DISPLAY, kInputLevel), "12.5");
    std::setlocale(LC_ALL, "C");
    unsetenv("LOCPATH");
    [[maybe_unused]] const int removed = std::system(("rm -rf '" + dir + "'").c_str());
#endif
}

TEST_F(Vst2ModuleTest, DisplayTextsIgnoreSinglePrecisionNoise)
{
    auto host = Create();
    char text[64] = {};
    const float frequency = static_cast<float>(2200.0 / 17700.0); // 2500 Hz, as a host holds it
    EXPECT_EQ(host->Dispatch(VST2_EFF_VENDOR_SPECIFIC, 7, kFilterFrequency, text, frequency),
              0xBEEF);
    EXPECT_STREQ(text, "2500");
    constexpr int kEffectAmount = 4;
    EXPECT_EQ(host->Dispatch(VST2_EFF_VENDOR_SPECIFIC, 7, kEffectAmount, text, 0.29f), 0xBEEF);
    EXPECT_STREQ(text, "29");
    host->SetParameter(kEffectAmount, 0.29f);
    EXPECT_EQ(host->Text(VST2_EFF_GET_PARAM_DISPLAY, kEffectAmount), "29");
}

TEST_F(Vst2ModuleTest, MidiIsPassedBackToTheHost)
{
    auto host = Create();
    vst2_midi_event note{};
    note.type = VST2_EVENT_MIDI;
    note.byte_size = 24; // some hosts write 24: not validated
    note.delta_frames = 17;
    note.midi_data[0] = 0x90;
    note.midi_data[1] = 60;
    note.midi_data[2] = 100;
    vst2_midi_sysex_event sysex{};
    sysex.type = VST2_EVENT_SYSEX;
    char dump[] = {char(0xF0), 0x7E, char(0xF7)};
    sysex.dump_bytes = 3;
    sysex.sysex_dump = dump;
    struct
    {
        vst2_events header;
        vst2_event* more[1];
    } list{};
    list.header.num_events = 3;
    list.header.events[0] = reinterpret_cast<vst2_event*>(&sysex);
    list.header.events[1] = nullptr;
    list.more[0] = reinterpret_cast<vst2_event*>(&note);
    static_assert(offsetof(decltype(list), more) == offsetof(vst2_events, events) + 16);

    EXPECT_EQ(host->Dispatch(VST2_EFF_PROCESS_EVENTS, 0, 0, &list), 1);
    const auto sent = host->MidiOut();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].byte_size, 32);
    EXPECT_EQ(sent[0].delta_frames, 17);
    EXPECT_EQ(sent[0].midi_data[0], 0x90);
    EXPECT_EQ(sent[0].midi_data[1], 60);
    EXPECT_EQ(sent[0].midi_data[2], 100);
    EXPECT_EQ(sent[0].midi_data[3], 0);
}

TEST_F(Vst2ModuleTest, HostSetupForAuditionDisconnectsTheSideChain)
{
    // Ext. input modulates with the side chain; with it disconnected, what the host puts in
    // buffers 3 and 4 must not matter.
    auto render = [&](const char* product, bool loudSideChain)
    {
        Vst2Instance::Setup setup;
        setup.productName = product;
        auto host = Create(setup);
        host->Start(44100.0, 256);
        host->SetParameter(kSourceType, 1.0f);
        FloatBuffers buffers(256);
        FillTone(buffers.in[0], 440.0);
        FillTone(buffers.in[1], 660.0);
        if (loudSideChain)
        {
            FillTone(buffers.in[2], 50.0);
            FillTone(buffers.in[3], 70.0);
        }
        host->ProcessReplacing(buffers.inputs, buffers.outputs, 256);
        EXPECT_EQ(host->Effect()->num_inputs, 4);
        return buffers.out;
    };
    EXPECT_EQ(render("Adobe Audition", true), render("Adobe Audition", false));
    EXPECT_NE(render("Ardour", true), render("Ardour", false));
}

TEST_F(Vst2ModuleTest, ProcessingEntriesAgree)
{
    const int frames = 1000; // more than the announced block: sliced
    auto host = Create();
    host->Start(44100.0, 300);
    host->SetParameter(kSourceType, 0.4f);
    FloatBuffers buffers(frames);
    FillTone(buffers.in[0], 330.0);
    FillTone(buffers.in[1], 220.0);
    host->ProcessReplacing(buffers.inputs, buffers.outputs, frames);

    auto twin = Create();
    twin->Start(44100.0, 300);
    twin->SetParameter(kSourceType, 0.4f);
    std::vector<std::vector<double>> in(4, std::vector<double>(frames)),
        out(2, std::vector<double>(frames));
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < frames; ++i)
            in[c][i] = buffers.in[c][i];
    double* inputs[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
    double* outputs[2] = {out[0].data(), out[1].data()};
    twin->ProcessDoubleReplacing(inputs, outputs, frames);

    auto accumulating = Create();
    accumulating->Start(44100.0, 300);
    accumulating->SetParameter(kSourceType, 0.4f);
    FloatBuffers summed(frames);
    summed.in = buffers.in;
    for (int c = 0; c < 4; ++c)
        summed.inputs[c] = summed.in[c].data();
    std::fill(summed.out[0].begin(), summed.out[0].end(), 1.0f);
    std::fill(summed.out[1].begin(), summed.out[1].end(), -1.0f);
    accumulating->ProcessAccumulating(summed.inputs, summed.outputs, frames);

    double energy = 0.0;
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < frames; ++i)
        {
            const float replaced = buffers.out[c][i];
            energy += replaced * replaced;
            ASSERT_EQ(replaced, static_cast<float>(out[c][i])) << c << " " << i;
            ASSERT_EQ(summed.out[c][i], (c == 0 ? 1.0f : -1.0f) + replaced) << c << " " << i;
        }
    EXPECT_GT(energy, 1.0);
}

TEST_F(Vst2ModuleTest, ProgramAndBankChunksRoundTrip)
{
    auto source = Create();
    source->SetParameter(kSourceType, 0.6f);       // Saw
    source->SetParameter(kFilterFrequency, 0.25f); // 4725 Hz
    source->SetParameter(kBypass, 1.0f);
    const std::vector<uint8_t> program = source->GetChunk(false);
    const std::vector<uint8_t> bank = source->GetChunk(true);
    ASSERT_GT(program.size(), 12u);
    ASSERT_GT(bank.size(), 12u);
    const uint8_t header[] = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
    EXPECT_EQ(std::memcmp(program.data(), header, 8), 0);
    EXPECT_EQ(std::memcmp(bank.data(), header, 8), 0);
    uint32_t documentLength = 0;
    std::memcpy(&documentLength, program.data() + 8, 4);
    EXPECT_EQ(documentLength + 12, program.size());
    EXPECT_EQ(program[12], '{');

    const std::vector<uint8_t> withoutHeader(program.begin() + 8, program.end());
    struct Case
    {
        const char* what;
        bool bank;
        const std::vector<uint8_t>* bytes;
    };
    const Case cases[] = {
        {"program", false, &program},
        {"bank", true, &bank},
        {"program without header", false, &withoutHeader},
        {"bank without header", true, &withoutHeader},
    };
    for (const Case& c : cases)
    {
        auto target = Create();
        EXPECT_EQ(target->SetChunk(c.bank, c.bytes->data(), c.bytes->size()), 1) << c.what;
        for (int i = 0; i < 10; ++i)
            EXPECT_FLOAT_EQ(target->GetParameter(i), source->GetParameter(i)) << c.what << i;
        EXPECT_EQ(target->Text(VST2_EFF_GET_PARAM_DISPLAY, kSourceType), "Saw") << c.what;
        // The program now holds the loaded state: selecting it again keeps it.
        target->Dispatch(VST2_EFF_SET_PROGRAM, 0, 0);
        EXPECT_EQ(target->Text(VST2_EFF_GET_PARAM_DISPLAY, kSourceType), "Saw") << c.what;
    }
}

TEST_F(Vst2ModuleTest, HostileChunksAreRefusedAndTheStateKept)
{
    auto host = Create();
    host->SetParameter(kSourceType, 0.6f);
    const std::vector<uint8_t> good = host->GetChunk(false);
    // Cut short: neither a whole document nor enough bytes for the binary fallback.
    const std::vector<uint8_t> damaged(good.begin(), good.begin() + 30);
    const std::vector<uint8_t> bank = host->GetChunk(true);
    const std::vector<uint8_t> damagedBank(bank.begin(), bank.begin() + 30);
    std::vector<uint8_t> noise(200);
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<uint8_t>(i * 37 + 11);

    EXPECT_EQ(host->Dispatch(VST2_EFF_SET_CHUNK, 1, 64, nullptr), 0);
    EXPECT_EQ(host->Dispatch(VST2_EFF_SET_CHUNK, 0, -1, const_cast<uint8_t*>(good.data())), 0);
    EXPECT_EQ(host->Dispatch(VST2_EFF_SET_CHUNK, 0, INTPTR_MAX, const_cast<uint8_t*>(good.data())),
              0);
    EXPECT_EQ(host->SetChunk(false, damaged.data(), damaged.size()), 0);
    EXPECT_EQ(host->SetChunk(true, damagedBank.data(), damagedBank.size()), 0);
    EXPECT_EQ(host->Text(VST2_EFF_GET_PARAM_DISPLAY, kSourceType), "Saw");
    // Noise may pass as the binary parameter format; whatever it sets stays in range.
    host->SetChunk(false, noise.data(), noise.size());
    host->SetChunk(true, noise.data(), noise.size());
    for (int i = 0; i < 10; ++i)
    {
        const float v = host->GetParameter(i);
        EXPECT_TRUE(v >= 0.0f && v <= 1.0f) << i;
    }
    // Still fully usable.
    EXPECT_EQ(host->SetChunk(false, good.data(), good.size()), 1);
    host->Start(44100.0, 128);
    FloatBuffers buffers(128);
    host->ProcessReplacing(buffers.inputs, buffers.outputs, 128);
}

TEST_F(Vst2ModuleTest, InstancesCreatedFromSeveralThreadsAtOnceAreIndependent)
{
    // Some hosts scan and instantiate in parallel; creation is serialised inside the module.
    constexpr int kThreads = 4;
    std::vector<std::vector<float>> results(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back(
            [&, t]
            {
                auto host = Vst2Instance::Create(module->Entry());
                if (host == nullptr)
                    return;
                host->Start(44100.0, 128);
                host->SetParameter(kSourceType, 0.4f);
                host->SetParameter(kFilterFrequency, 0.1f * static_cast<float>(t));
                FloatBuffers buffers(128);
                FillTone(buffers.in[0], 440.0);
                FillTone(buffers.in[1], 440.0);
                for (int block = 0; block < 20; ++block)
                    host->ProcessReplacing(buffers.inputs, buffers.outputs, 128);
                results[static_cast<std::size_t>(t)] = buffers.out[0];
            });
    for (std::thread& thread : threads)
        thread.join();
    for (int t = 0; t < kThreads; ++t)
        ASSERT_EQ(results[static_cast<std::size_t>(t)].size(), 128u) << t;
    // Different settings, different sound: no instance shares another's state.
    EXPECT_NE(results[0], results[3]);
}
