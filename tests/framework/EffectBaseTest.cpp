#include "FrameworkFakes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace
{

using framework_test::FakeCanvas;
using framework_test::FakeEditor;
using framework_test::RecordingEffect;
using Log = std::vector<std::string>;

TEST(EffectBaseTest, ConstructionSetsIdentityAndDefaults)
{
    RecordingEffect effect;
    EXPECT_STREQ(effect.effectName, "Verdigrix");
    EXPECT_STREQ(effect.makerName, "Tamrok");
    EXPECT_STREQ(effect.productName, "");
    EXPECT_EQ(effect.uniqueId, 0x56646778);
    EXPECT_EQ(effect.version, 0x00010100);
    EXPECT_EQ(effect.hostCode, IHostCode::NotAsked);
    EXPECT_EQ(effect.HostCode(), IHostCode::NotAsked);
    EXPECT_DOUBLE_EQ(effect.sampleRate, 44100.0);
    EXPECT_EQ(effect.blockSize, 0);
    EXPECT_EQ(effect.ParamCount(), 4);
    EXPECT_EQ(effect.Param(4), nullptr);
    EXPECT_EQ(effect.Param(-1), nullptr);
    ASSERT_EQ(effect.PresetCount(), 1);
    EXPECT_STREQ(effect.presets[0]->name, "empty");
    EXPECT_FALSE(effect.presets[0]->initialized);
    EXPECT_TRUE(effect.changes.empty());
}

struct ConfigCase
{
    const char* text;
    size_t wantConfigs;
    int wantInputs, wantOutputs;
};

class ChannelConfigTest : public testing::TestWithParam<ConfigCase>
{
};

TEST_P(ChannelConfigTest, ParsesItemsAndSizesTheChannels)
{
    const ConfigCase c = GetParam();
    RecordingEffect effect(RecordingEffect::Config(c.text));
    EXPECT_EQ(effect.channelConfigs.size(), c.wantConfigs);
    EXPECT_EQ(effect.InputChannelCount(), c.wantInputs);
    EXPECT_EQ(effect.OutputChannelCount(), c.wantOutputs);
    EXPECT_EQ(effect.inputPointers.size(), static_cast<size_t>(c.wantInputs));
    EXPECT_EQ(effect.outputPointers.size(), static_cast<size_t>(c.wantOutputs));
    for (const auto& channel : effect.inputChannels)
        EXPECT_FALSE(channel->connected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ChannelConfigTest,
                         testing::Values(ConfigCase{"1-1 2-1 3-1 2-2 3-2 4-2", 6, 4, 2},
                                         ConfigCase{"2-2", 1, 2, 2},
                                         ConfigCase{"1-2 junk 2-1", 3, 2, 2},
                                         ConfigCase{"", 0, 0, 0}));

TEST(EffectBaseTest, LegalIOMatchesConfigurationsWithWildcards)
{
    RecordingEffect effect;
    const struct
    {
        int inputs, outputs;
        bool legal;
    } cases[] = {{1, -1, true}, {4, 2, true},  {2, 1, true},   {-1, -1, true},
                 {4, 1, false}, {1, 2, false}, {5, -1, false}, {0, 0, false}};
    for (const auto& c : cases)
        EXPECT_EQ(effect.LegalIO(c.inputs, c.outputs), c.legal) << c.inputs << "-" << c.outputs;

    // An unreadable item counts as 0-0.
    RecordingEffect odd(RecordingEffect::Config("x 2-2"));
    EXPECT_TRUE(odd.LegalIO(0, 0));
}

TEST(EffectBaseTest, HostNamesMapToCodesInTableOrder)
{
    const struct
    {
        const char* name;
        int code;
    } cases[] = {{"REAPER", 1},
                 {"Steinberg Nuendo / Cubase", 3}, // "cubase" is searched before "nuendo"
                 {"Ableton Live 11", 9},
                 {"Deliverance", 9}, // "live" inside a longer word
                 {"Cakewalk by BandLab", 5},
                 {"VST3PluginTestHost", 27},
                 {"Pro Tools", 0}, // the table wants "protools"
                 {"Adobe Audition", 17},
                 {"Renoise", 29},
                 {"WaveLab Pro", 31},
                 {"", 0},
                 {nullptr, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(static_cast<int>(IEffectBase::HostCodeFromName(c.name)), c.code)
            << (c.name ? c.name : "null");

    const std::string longName = std::string(300, 'x') + "reaper"; // cut at 255 characters
    EXPECT_EQ(IEffectBase::HostCodeFromName(longName.c_str()), IHostCode::Unknown);

    RecordingEffect effect;
    effect.IdentifyHost("Bitwig Studio");
    EXPECT_EQ(effect.HostCode(), IHostCode::Unknown);
}

TEST(EffectBaseTest, SetMaxBlockSizeZeroesOnlyOnChange)
{
    RecordingEffect effect;
    effect.SetMaxBlockSize(8);
    ASSERT_EQ(effect.inputChannels[0]->scratch.size(), 8u);
    effect.inputChannels[0]->scratch[3] = 1.5;
    effect.outputChannels[1]->scratch[7] = -2.0;

    effect.SetMaxBlockSize(8);
    EXPECT_EQ(effect.inputChannels[0]->scratch[3], 1.5);
    EXPECT_EQ(effect.outputChannels[1]->scratch[7], -2.0);

    effect.SetMaxBlockSize(16);
    EXPECT_EQ(effect.blockSize, 16);
    for (const auto& channel : effect.outputChannels)
        EXPECT_EQ(channel->scratch, std::vector<double>(16, 0.0));
    EXPECT_EQ(effect.inputChannels[0]->scratch, std::vector<double>(16, 0.0));

    effect.SetMaxBlockSize(-4);
    EXPECT_EQ(effect.blockSize, 0);
    effect.SetMaxBlockSize(0x7FFFFFFF); // a host's absurd maximum is held to what we split by
    EXPECT_EQ(effect.blockSize, IEffectBase::kMaxBlockSize);
    EXPECT_EQ(effect.outputChannels[0]->scratch.size(), size_t{IEffectBase::kMaxBlockSize});
}

TEST(EffectBaseTest, BaseProcessingCopiesMatchingInputsAndZeroesTheRest)
{
    const struct
    {
        const char* config;
        std::vector<double> wantOut1;
    } cases[] = {{"2-2", {4, 5, 6}}, {"1-2", {0, 0, 0}}};
    for (const auto& c : cases)
    {
        RecordingEffect effect(RecordingEffect::Config(c.config));
        std::vector<double> in0 = {1, 2, 3}, in1 = {4, 5, 6}, out0(3, 9.0), out1(3, 9.0);
        double* inputs[] = {in0.data(), in1.data()};
        double* outputs[] = {out0.data(), out1.data()};
        effect.ProcessChannels(inputs, outputs, 3);
        EXPECT_EQ(out0, in0) << c.config;
        EXPECT_EQ(out1, c.wantOut1) << c.config;
    }
}

TEST(EffectBaseTest, SixtyFourBitBuffersGoToConnectedChannelsOnly)
{
    RecordingEffect effect;
    effect.SetMaxBlockSize(4);
    effect.SetChannelConnections(4, 2);
    effect.inputChannels[1]->connected = false; // skipped: takes no host buffer
    double a[4] = {}, b[4] = {}, c[4] = {}, o0[4] = {}, o1[4] = {};
    double* inputs[] = {a, b, c, nullptr};
    double* outputs[] = {o0, o1};
    effect.AttachInputs(inputs, 4, 4);
    effect.AttachOutputs(outputs, 2, 4);
    EXPECT_EQ(effect.inputPointers[0], a);
    EXPECT_EQ(effect.inputPointers[1], effect.inputChannels[1]->scratch.data());
    EXPECT_EQ(effect.inputPointers[2], b);
    EXPECT_EQ(effect.inputPointers[3], c);
    EXPECT_EQ(effect.outputPointers[1], o1);
}

// The 32-bit path counts host buffers by connected channels: a gap in the connections uses up
// none, so `count` buffers reach the first `count` connected channels.
TEST(EffectBaseTest, ThirtyTwoBitBuffersGoToTheFirstConnectedChannels)
{
    RecordingEffect effect;
    effect.SetMaxBlockSize(2);
    effect.SetChannelConnections(4, 2);
    effect.inputChannels[1]->connected = false;
    float a[2] = {1, 1}, b[2] = {2, 2}, c[2] = {3, 3};
    float* inputs[] = {a, b, c};
    EXPECT_EQ(effect.AttachInputsConverted(inputs, 3, 2), 2);
    for (const auto& [channel, want] : {std::pair{0, 1.0}, {2, 2.0}, {3, 3.0}})
    {
        SCOPED_TRACE(channel);
        const auto& scratch = effect.inputChannels[static_cast<size_t>(channel)]->scratch;
        EXPECT_EQ(scratch, std::vector<double>(2, want));
        EXPECT_EQ(effect.inputPointers[static_cast<size_t>(channel)], scratch.data());
    }

    float d[2] = {4, 4};
    float* one[] = {d};
    effect.AttachInputsConverted(one, 1, 2); // fewer buffers: later channels are left alone
    EXPECT_EQ(effect.inputChannels[0]->scratch, std::vector<double>(2, 4.0));
    EXPECT_EQ(effect.inputChannels[2]->scratch, std::vector<double>(2, 2.0));
}

TEST(EffectBaseTest, UnconnectedChannelsPointAtTheirScratchBuffers)
{
    RecordingEffect effect;
    effect.SetMaxBlockSize(4);
    effect.SetChannelConnections(2, 1);
    EXPECT_TRUE(effect.inputChannels[1]->connected);
    EXPECT_FALSE(effect.inputChannels[2]->connected);
    EXPECT_EQ(effect.inputPointers[2], effect.inputChannels[2]->scratch.data());
    EXPECT_EQ(effect.outputPointers[1], effect.outputChannels[1]->scratch.data());

    float host[4] = {};
    float* hostPointers[] = {host, host};
    effect.AttachInputsConverted(hostPointers, 2, 4); // connected slots on scratch too

    effect.SetMaxBlockSize(64); // the slots follow the reallocated scratch buffers
    EXPECT_EQ(effect.inputPointers[0], effect.inputChannels[0]->scratch.data());
    EXPECT_EQ(effect.inputPointers[3], effect.inputChannels[3]->scratch.data());
    EXPECT_EQ(effect.outputPointers[1], effect.outputChannels[1]->scratch.data());
}

// The 32-bit paths convert through scratch buffers of blockSize samples: a larger block must
// never run past them, whatever the caller passes.
TEST(EffectBaseTest, ConvertedPathsNeverPassTheScratchBuffers)
{
    RecordingEffect effect(RecordingEffect::Config("2-2"));
    effect.SetMaxBlockSize(4);
    effect.SetChannelConnections(2, 2);
    std::vector<float> in0 = {1, 2, 3, 4, 5, 6}, in1 = {-1, -2, -3, -4, -5, -6};
    float* inputs[] = {in0.data(), in1.data()};
    EXPECT_EQ(effect.AttachInputsConverted(inputs, 2, 6), 4);
    EXPECT_EQ(effect.inputChannels[1]->scratch, (std::vector<double>{-1, -2, -3, -4}));
    EXPECT_EQ(effect.inputPointers[0], effect.inputChannels[0]->scratch.data());

    std::vector<float> out0(6, 100.0f), out1(6, 100.0f);
    float* outputs[] = {out0.data(), out1.data()};
    effect.AttachOutputsConverted(outputs, 2);
    EXPECT_EQ(effect.outputPointers[1], effect.outputChannels[1]->scratch.data());
    effect.ProcessAttached(4);
    EXPECT_EQ(effect.WriteConvertedOutputs(6), 4);
    EXPECT_EQ(out1, (std::vector<float>{-1, -2, -3, -4, 100, 100}));
    EXPECT_EQ(effect.AccumulateConvertedOutputs(1000), 4);
    EXPECT_EQ(out0, (std::vector<float>{2, 4, 6, 8, 100, 100}));

    EXPECT_EQ(effect.AttachInputsConverted(inputs, 2, -5), 0);
    EXPECT_EQ(effect.WriteConvertedOutputs(-1), 0);
}

TEST(EffectBaseTest, ConvertedPathsTolerateMissingHostBuffers)
{
    RecordingEffect effect(RecordingEffect::Config("2-2"));
    effect.SetMaxBlockSize(3);
    effect.SetChannelConnections(2, 2);
    effect.inputChannels[0]->scratch.assign(3, 7.0);
    EXPECT_EQ(effect.AttachInputsConverted(nullptr, 2, 3), 3);
    EXPECT_EQ(effect.inputChannels[0]->scratch, std::vector<double>(3, 0.0));

    std::vector<float> out0(3, 1.0f);
    float* outputs[] = {out0.data()};
    effect.AttachOutputsConverted(outputs, 1); // the host gave fewer buffers than channels
    EXPECT_EQ(effect.outputChannels[1]->hostBuffer, nullptr);
    effect.WriteConvertedOutputs(3);
    EXPECT_EQ(out0, std::vector<float>(3, 0.0f));
}

TEST(EffectBaseTest, PassThroughCopiesInputSlotsToOutputs)
{
    RecordingEffect effect;
    effect.SetMaxBlockSize(2);
    effect.SetChannelConnections(2, 2);
    double a[2] = {1, 2}, b[2] = {3, 4}, o0[2] = {}, o1[2] = {};
    double* inputs[] = {a, b};
    double* outputs[] = {o0, o1};
    effect.AttachInputs(inputs, 2, 2);
    effect.AttachOutputs(outputs, 2, 2);
    effect.PassThrough(2);
    EXPECT_EQ(o0[1], 2);
    EXPECT_EQ(o1[0], 3);
}

TEST(EffectBaseTest, AttachEditorPreparesPushesValuesThenBindsTheCanvas)
{
    auto log = std::make_shared<Log>();
    RecordingEffect effect;
    effect.AttachEditor(nullptr);
    EXPECT_EQ(effect.graphics, nullptr);

    effect.Param(1)->SetClamped(300);
    effect.SetDrawingContext(std::make_unique<FakeCanvas>(log));
    effect.AttachEditor(std::make_unique<FakeEditor>(log));
    EXPECT_NE(effect.graphics, nullptr);
    EXPECT_EQ(*log, (Log{"bitmap", "controls 0 0.000000", "controls 1 0.000000",
                         "controls 2 0.230769", "controls 3 0.000000", "bind editor"}));

    log->clear();
    effect.RefreshEditorControls();
    // Only marks: the editor's timer takes the values (on its own thread).
    EXPECT_EQ(*log, (Log{"mark 0", "mark 1", "mark 2", "mark 3"}));
}

TEST(EffectBaseTest, RefreshWithoutEditorDoesNothing)
{
    RecordingEffect effect;
    effect.RefreshEditorControls();
    EXPECT_EQ(effect.graphics, nullptr);
}

TEST(EffectBaseTest, DestructionDeletesTheEditorBeforeTheCanvas)
{
    auto log = std::make_shared<Log>();
    {
        RecordingEffect effect;
        effect.SetDrawingContext(std::make_unique<FakeCanvas>(log));
        effect.AttachEditor(std::make_unique<FakeEditor>(log));
        log->clear();
    }
    EXPECT_EQ(*log, (Log{"editor deleted", "canvas deleted"}));
}

TEST(EffectBaseTest, EditorChangesNotifyTheHostThenReportSourceThree)
{
    RecordingEffect effect;
    effect.SetParameterFromEditor(1, 1.0);
    EXPECT_DOUBLE_EQ(effect.Param(1)->Value(), 18000);
    EXPECT_EQ(effect.log, (Log{"notify 1 1.000000", "changed 1 3"}));

    effect.SetParameterFromEditor(9, 0.5);
    effect.SetParameterFromEditor(-1, 0.5);
    EXPECT_EQ(effect.log.size(), 2u);
}

TEST(EffectBaseTest, BaseOperationsHaveTheirDocumentedAnswers)
{
    RecordingEffect effect;
    char note[8] = "C4";
    EXPECT_FALSE(effect.NoteNameOf(60, note));
    EXPECT_STREQ(note, "");
    EXPECT_FALSE(effect.SendSystemExclusive({}));
    EXPECT_FALSE(effect.IsOfflineRendering());
    EXPECT_FALSE(effect.CanResizeEditor());
    effect.SetLatencySamples(64);
    EXPECT_EQ(effect.latency, 64);

    effect.ProcessMidi({12, 0x90, 60, 100});
    ASSERT_EQ(effect.sentMidi.size(), 1u);
    EXPECT_EQ(effect.sentMidi[0].offset, 12);
    EXPECT_EQ(effect.sentMidi[0].data2, 100);
}

TEST(EffectBaseTest, EditorAndStatePathsRunUnderThePluginLock)
{
    auto log = std::make_shared<Log>();
    RecordingEffect effect;
    effect.probeLock = true;
    effect.AttachEditor(std::make_unique<FakeEditor>(log, &effect.lock));
    EXPECT_EQ(log->front(), "bitmap locked");

    effect.SetParameterFromEditor(0, 0.5);
    IByteChunk chunk;
    effect.SerializeParams(chunk);
    effect.UnserializeParams(chunk, 0);
    EXPECT_EQ(effect.lockHeld, std::vector<bool>(5, true));
}

TEST(EffectBaseTest, TheLockIsReentrantAndExcludesOtherThreads)
{
    RecordingEffect effect;
    IPluginLock::Guard outer(effect.lock);
    {
        IPluginLock::Guard inner(effect.lock); // same thread: no deadlock
        effect.ResetProcessing();              // takes it once more
    }
    std::atomic<bool> otherGotIt{true};
    std::thread([&] { otherGotIt = effect.lock.try_lock(); }).join();
    EXPECT_FALSE(otherGotIt);
}

} // namespace
