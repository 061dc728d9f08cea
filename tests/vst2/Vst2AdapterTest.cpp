// IEffectVST2 driven through its effect record by our host side, with a small probe effect in
// place of Verdigrix: what the adapter itself decides (host identification, setup, slicing,
// buffer safety, chunk rollback) without the engine in the way.
#include "hosting/vst2/Vst2Instance.h"
#include "vst2/IEffectVST2.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace
{
IEffectConfig ProbeConfig()
{
    IEffectConfig config;
    config.paramCount = 2;
    config.presetCount = 1;
    config.channelConfigText = "1-1 2-1 3-1 2-2 3-2 4-2";
    config.effectName = "Probe";
    config.makerName = "Tamrok";
    config.uniqueId = FourCharCode("Prbe");
    config.makerId = FourCharCode("Tmrk");
    config.version = 0x00010203;
    return config;
}

/// Records parameter changes and block sizes; its outputs are its doubled main inputs, the
/// right one plus both side-chain inputs.
class ProbeEffect : public IEffectVST2
{
public:
    explicit ProbeEffect(vst2_host_callback host) : IEffectVST2(ProbeConfig(), host)
    {
        Param(0)->ConfigureChoice("Mode", 0, 3);
        Param(0)->AddValueText(0, "A");
        Param(0)->AddValueText(1, "B");
        Param(0)->AddValueText(2, "C");
        Param(1)->ConfigureRange("Level", 0.0, -10.0, 10.0, 0.5, "dB");
    }

    void ParameterChanged(int index, int source) override { changes.emplace_back(index, source); }

    void ProcessChannels(const double* const* inputs, double** outputs, int frames) override
    {
        blocks.push_back(frames);
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < frames; ++i)
                outputs[c][i] = 2.0 * inputs[c][i] + (c == 1 ? inputs[2][i] + inputs[3][i] : 0.0);
    }

    std::vector<std::pair<int, int>> changes;
    std::vector<int> blocks;
};

vst2_effect* ProbeEntry(vst2_host_callback host)
{
    auto* probe = new ProbeEffect(host);
    probe->PrepareForHost();
    return probe->EffectRecord();
}

class Vst2Adapter : public ::testing::Test
{
protected:
    void Create(const Vst2Instance::Setup& setup = {})
    {
        host = Vst2Instance::Create(&ProbeEntry, setup);
        ASSERT_NE(host, nullptr);
        probe = static_cast<ProbeEffect*>(IEffectVST2::FromRecord(host->Effect()));
    }

    std::unique_ptr<Vst2Instance> host;
    ProbeEffect* probe = nullptr;
};
} // namespace

TEST_F(Vst2Adapter, IdentifiesTheHostOnceFromProductAndVersion)
{
    struct Case
    {
        const char* product;
        int32_t vendorVersion;
        int code;
        int32_t version;
        std::size_t versionQueries;
    };
    const Case cases[] = {
        {"Ardour", 10203, 28, 0x010203, 1},
        {"My REAPER build", 60512, 1, (6 << 16) | (5 << 8) | 12, 1},
        {"", 10203, 0, 0, 0}, // an empty name is never asked for its version
        {"Unknown", 70000, 0, 7 << 16, 1},
    };
    for (const Case& c : cases)
    {
        Vst2Instance::Setup setup;
        setup.productName = c.product;
        setup.vendorVersion = c.vendorVersion;
        Create(setup);
        host->Dispatch(VST2_EFF_OPEN);
        host->Dispatch(VST2_EFF_OPEN);
        EXPECT_EQ(static_cast<int>(probe->hostCode), c.code) << c.product;
        EXPECT_EQ(probe->hostVersion, c.version) << c.product;
        EXPECT_EQ(host->CallsOf(VST2_HOST_GET_PRODUCT_STRING).size(), 1u) << c.product;
        EXPECT_EQ(host->CallsOf(VST2_HOST_GET_VENDOR_VERSION).size(), c.versionQueries)
            << c.product;
    }
}

TEST_F(Vst2Adapter, UnterminatedProductTextIsCutAtTheBufferEnd)
{
    Vst2Instance::Setup setup;
    setup.productName = std::string(300, 'x') + "ardour";
    setup.productWriteLimit = 256; // fills the plug-in's whole buffer, no terminator
    Create(setup);
    host->Dispatch(VST2_EFF_OPEN);
    EXPECT_EQ(probe->hostCode, IHostCode::Unknown); // "ardour" lay beyond the 255 characters kept
}

TEST_F(Vst2Adapter, HostsWithoutSideChainBuffersGetInputsThreeAndFourDisconnected)
{
    struct Case
    {
        const char* product;
        bool sideChainHeard;
    };
    const Case cases[] = {
        {"Forte", false}, {"Adobe Audition", false}, {"Orion", false}, {"SAWStudio", false},
        {"Ardour", true}, {"Chainer", true},         {"Logic", true},  {"", true},
    };
    for (const Case& c : cases)
    {
        Vst2Instance::Setup setup;
        setup.productName = c.product;
        Create(setup);
        host->Start(44100.0, 8);
        std::vector<float> main(8, 1.0f), side(8, 10.0f), outL(8), outR(8);
        float* inputs[4] = {main.data(), main.data(), side.data(), side.data()};
        float* outputs[2] = {outL.data(), outR.data()};
        host->ProcessReplacing(inputs, outputs, 8);
        // The probe's right output is twice its right input plus both side-chain inputs.
        EXPECT_FLOAT_EQ(outR[3], c.sideChainHeard ? 22.0f : 2.0f) << c.product;
        EXPECT_EQ(host->Effect()->num_inputs, 4) << c.product;
    }
}

TEST_F(Vst2Adapter, OpenReportsEveryParameterEachTimeButSetsUpOnce)
{
    Create();
    host->Dispatch(VST2_EFF_OPEN);
    host->Dispatch(VST2_EFF_OPEN);
    const std::vector<std::pair<int, int>> expected = {{0, 0}, {1, 0}, {0, 0}, {1, 0}};
    EXPECT_EQ(probe->changes, expected);
    EXPECT_TRUE(probe->hostSetupDone);
}

TEST_F(Vst2Adapter, EditorOpcodesWithoutAnEditorDoNothing)
{
    Create();
    vst2_erect* rect = nullptr;
    EXPECT_EQ(host->Dispatch(VST2_EFF_EDIT_GET_RECT, 0, 0, &rect), 0);
    EXPECT_EQ(rect, nullptr);
    EXPECT_EQ(host->Dispatch(VST2_EFF_EDIT_OPEN), 0);
    EXPECT_EQ(host->Dispatch(VST2_EFF_EDIT_CLOSE), 0);
    EXPECT_EQ(host->Effect()->flags & VST2_FLAG_HAS_EDITOR, 0);
}

TEST_F(Vst2Adapter, SetParameterEntryReachesTheParameterAsAHostChange)
{
    Create();
    host->SetParameter(1, 0.75f);
    EXPECT_DOUBLE_EQ(probe->Param(1)->Value(), 5.0);
    EXPECT_FLOAT_EQ(host->GetParameter(1), 0.75f);
    ASSERT_EQ(probe->changes.size(), 1u);
    EXPECT_EQ(probe->changes[0], std::make_pair(1, 1));

    host->SetParameter(1, 7.0f); // beyond 1 is the top of the range
    EXPECT_DOUBLE_EQ(probe->Param(1)->Value(), 10.0);
    host->SetParameter(5, 0.5f); // no such parameter: ignored
    host->SetParameter(-1, 0.5f);
    EXPECT_EQ(probe->changes.size(), 2u);
}

TEST_F(Vst2Adapter, ThirtyTwoBitBlocksLargerThanAnnouncedAreProcessedInSlices)
{
    Create();
    host->Start(48000.0, 256);
    const int frames = 700;
    std::vector<std::vector<float>> in(4, std::vector<float>(frames));
    std::vector<std::vector<float>> out(2, std::vector<float>(frames, -1.0f));
    for (int i = 0; i < frames; ++i)
        for (int c = 0; c < 4; ++c)
            in[static_cast<std::size_t>(c)][static_cast<std::size_t>(i)] =
                static_cast<float>(i + 1000 * c);
    float* inputs[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
    float* outputs[2] = {out[0].data(), out[1].data()};

    host->ProcessReplacing(inputs, outputs, frames);

    EXPECT_EQ(probe->blocks, (std::vector<int>{256, 256, 188}));
    for (int i = 0; i < frames; ++i)
    {
        const auto s = static_cast<std::size_t>(i);
        ASSERT_FLOAT_EQ(out[0][s], 2.0f * in[0][s]) << i;
        ASSERT_FLOAT_EQ(out[1][s], 2.0f * in[1][s] + in[2][s] + in[3][s]) << i;
    }
}

TEST_F(Vst2Adapter, SixtyFourBitPathSlicesAndLeavesHostInputsUntouched)
{
    Create();
    host->Start(48000.0, 128);
    const int frames = 300;
    std::vector<std::vector<double>> in(4, std::vector<double>(frames, 0.25));
    std::vector<std::vector<double>> out(2, std::vector<double>(frames, 0.0));
    double* inputs[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
    double* outputs[2] = {out[0].data(), out[1].data()};

    host->ProcessDoubleReplacing(inputs, outputs, frames);

    EXPECT_EQ(probe->blocks, (std::vector<int>{128, 128, 44}));
    for (std::size_t i = 0; i < static_cast<std::size_t>(frames); ++i)
    {
        ASSERT_DOUBLE_EQ(in[0][i], 0.25);
        ASSERT_DOUBLE_EQ(out[0][i], 0.5);
        ASSERT_DOUBLE_EQ(out[1][i], 1.0);
    }
}

TEST_F(Vst2Adapter, AccumulatingEntryAddsToTheHostOutput)
{
    Create();
    host->Start(44100.0, 64);
    std::vector<float> a(64, 1.0f), b(64, 2.0f), zero(64, 0.0f), outL(64, 10.0f), outR(64, 20.0f);
    float* inputs[4] = {a.data(), b.data(), zero.data(), zero.data()};
    float* outputs[2] = {outL.data(), outR.data()};
    host->ProcessAccumulating(inputs, outputs, 64);
    EXPECT_FLOAT_EQ(outL[63], 12.0f);
    EXPECT_FLOAT_EQ(outR[0], 24.0f);
}

TEST_F(Vst2Adapter, UnconnectedInputsReadSilenceEveryBlock)
{
    Create();
    host->Start(44100.0, 32);
    vst2_speaker_arrangement mono{};
    mono.type = VST2_SPEAKER_ARR_MONO;
    mono.num_channels = 1;
    EXPECT_EQ(host->Dispatch(VST2_EFF_SET_SPEAKER_ARRANGEMENT, 0, reinterpret_cast<intptr_t>(&mono),
                             nullptr),
              1);
    std::vector<float> a(32, 1.0f), poison(32, 99.0f), outL(32), outR(32);
    // Only one input is connected, so only the first host buffer may be read.
    float* inputs[4] = {a.data(), poison.data(), poison.data(), poison.data()};
    float* outputs[2] = {outL.data(), outR.data()};
    for (int block = 0; block < 3; ++block)
    {
        host->ProcessReplacing(inputs, outputs, 32);
        // The unconnected inputs are silent, whatever the host's buffers hold.
        EXPECT_FLOAT_EQ(outR[5], 0.0f) << block;
        EXPECT_FLOAT_EQ(outL[5], 2.0f) << block;
    }
}

TEST_F(Vst2Adapter, OutputArrangementDisconnectsOutputsButNotTheReportedArrangements)
{
    Create();
    host->Start(44100.0, 16);
    vst2_speaker_arrangement stereo{};
    stereo.type = VST2_SPEAKER_ARR_STEREO;
    stereo.num_channels = 2;
    vst2_speaker_arrangement mono{};
    mono.type = VST2_SPEAKER_ARR_MONO;
    mono.num_channels = 1;
    EXPECT_EQ(host->Dispatch(VST2_EFF_SET_SPEAKER_ARRANGEMENT, 0,
                             reinterpret_cast<intptr_t>(&stereo), &mono),
              1);
    std::vector<float> a(16, 1.0f), side(16, 5.0f), outL(16), outR(16, -3.0f);
    float* inputs[4] = {a.data(), a.data(), side.data(), side.data()};
    float* outputs[2] = {outL.data(), outR.data()};
    host->ProcessReplacing(inputs, outputs, 16);
    EXPECT_FLOAT_EQ(outL[7], 2.0f);
    EXPECT_FLOAT_EQ(outR[7], -3.0f); // unconnected: the host's buffer is not written

    vst2_speaker_arrangement* in = nullptr;
    vst2_speaker_arrangement* out = nullptr;
    host->Dispatch(VST2_EFF_GET_SPEAKER_ARRANGEMENT, 0, reinterpret_cast<intptr_t>(&in), &out);
    ASSERT_TRUE(in != nullptr && out != nullptr);
    EXPECT_EQ(in->num_channels, 4);
    EXPECT_EQ(out->num_channels, 2);
}

TEST_F(Vst2Adapter, MidiKeyNameIsEmptiedWhenTheEffectNamesNoNotes)
{
    Create();
    vst2_midi_key_name key{};
    key.this_key_number = 60;
    std::strcpy(key.key_name, "stale");
    EXPECT_EQ(host->Dispatch(VST2_EFF_GET_MIDI_KEY_NAME, 0, 0, &key), 0);
    EXPECT_STREQ(key.key_name, "");
    EXPECT_EQ(host->Dispatch(VST2_EFF_GET_MIDI_KEY_NAME, 0, 0, nullptr), 0);
}

TEST_F(Vst2Adapter, HostileSetupValuesAreIgnored)
{
    Create();
    host->Start(44100.0, 512);
    host->Dispatch(VST2_EFF_SET_BLOCK_SIZE, 0, -5);
    host->Dispatch(VST2_EFF_SET_BLOCK_SIZE, 0, 0);
    EXPECT_EQ(probe->blockSize, 512);
    host->Dispatch(VST2_EFF_SET_BLOCK_SIZE, 0, intptr_t{1} << 40);
    EXPECT_EQ(probe->blockSize, IEffectBase::kMaxBlockSize);
    host->Dispatch(VST2_EFF_SET_SAMPLE_RATE, 0, 0, nullptr, 0.0f);
    host->Dispatch(VST2_EFF_SET_SAMPLE_RATE, 0, 0, nullptr, -1.0f);
    EXPECT_DOUBLE_EQ(probe->sampleRate, 44100.0);

    float* none[4] = {nullptr, nullptr, nullptr, nullptr};
    host->ProcessReplacing(nullptr, nullptr, 64);
    host->ProcessReplacing(none, none, 64);
    host->ProcessReplacing(none, none, -3);
    EXPECT_EQ(host->Dispatch(VST2_EFF_PROCESS_EVENTS, 0, 0, nullptr), 0);
}

TEST_F(Vst2Adapter, DamagedChunkReturnsZeroAndKeepsTheState)
{
    Create();
    host->SetParameter(1, 1.0f);
    const uint8_t header[] = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
    // Two parameter values announced, the second cut short.
    std::vector<uint8_t> program(header, header + 8);
    const uint8_t body[] = {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F, 1, 2, 3, 4};
    program.insert(program.end(), body, body + sizeof body);
    // A bank whose first preset name runs past the end.
    std::vector<uint8_t> bank(header, header + 8);
    const uint8_t longName[] = {0xE8, 0x03, 0, 0, 'a', 'b'};
    bank.insert(bank.end(), longName, longName + sizeof longName);

    EXPECT_EQ(host->SetChunk(false, program.data(), program.size()), 0);
    EXPECT_EQ(host->SetChunk(true, bank.data(), bank.size()), 0);
    EXPECT_EQ(host->SetChunk(false, header, 6), 0); // header cut short
    EXPECT_EQ(host->Dispatch(VST2_EFF_SET_CHUNK, 0, 16, nullptr), 0);
    EXPECT_EQ(host->Dispatch(VST2_EFF_SET_CHUNK, 1, -8, program.data()), 0);
    EXPECT_EQ(host->Dispatch(VST2_EFF_SET_CHUNK, 1, intptr_t{1} << 40, program.data()), 0);

    EXPECT_DOUBLE_EQ(probe->Param(1)->Value(), 10.0);
    EXPECT_DOUBLE_EQ(probe->Param(0)->Value(), 0.0);
    EXPECT_STREQ(probe->presets[0]->name, "-");

    // And the plug-in still saves and loads.
    const std::vector<uint8_t> saved = host->GetChunk(false);
    host->SetParameter(1, 0.0f);
    EXPECT_EQ(host->SetChunk(false, saved.data(), saved.size()), 1);
    EXPECT_DOUBLE_EQ(probe->Param(1)->Value(), 10.0);
}

TEST_F(Vst2Adapter, EditorChangesReachTheHostAsGesturesAndAutomation)
{
    Create();
    probe->BeginHostEdit(1);
    probe->SetParameterFromEditor(1, 0.25);
    probe->EndHostEdit(1);
    const auto calls = host->Calls();
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].opcode, VST2_HOST_BEGIN_EDIT);
    EXPECT_EQ(calls[0].index, 1);
    EXPECT_EQ(calls[1].opcode, VST2_HOST_AUTOMATE);
    EXPECT_EQ(calls[1].index, 1);
    EXPECT_FLOAT_EQ(calls[1].opt, 0.25f);
    EXPECT_EQ(calls[2].opcode, VST2_HOST_END_EDIT);
    EXPECT_EQ(calls[2].index, 1);
    EXPECT_DOUBLE_EQ(probe->Param(1)->Value(), -5.0);
}

TEST_F(Vst2Adapter, TransportQueriesReadOnlyWhatTheHostVouchesFor)
{
    Create();
    TimeInfo info;
    EXPECT_FALSE(probe->HostTimeInfo(info)); // this host has no transport
    EXPECT_DOUBLE_EQ(probe->HostTempo(), 0.0);
    EXPECT_FALSE(probe->IsOfflineRendering());

    Vst2Instance::Setup setup;
    setup.answersTime = true;
    setup.processLevel = 4;
    setup.time.sample_pos = 96000.0;
    setup.time.tempo = 133.0;
    setup.time.ppq_pos = 12.5; // not vouched for: ignored
    setup.time.time_sig_numerator = 7;
    setup.time.time_sig_denominator = 8;
    setup.time.flags = 0x2 | 0x400 | 0x2000; // playing, tempo, time signature
    Create(setup);
    ASSERT_TRUE(probe->HostTimeInfo(info));
    EXPECT_DOUBLE_EQ(info.samplePosition, 96000.0);
    EXPECT_DOUBLE_EQ(info.tempo, 133.0);
    EXPECT_DOUBLE_EQ(info.ppqPosition, 0.0);
    EXPECT_EQ(info.numerator, 7);
    EXPECT_EQ(info.denominator, 8);
    EXPECT_TRUE(info.playing);
    EXPECT_EQ(probe->HostSamplePosition(), 96000);
    EXPECT_TRUE(probe->IsOfflineRendering());
}
