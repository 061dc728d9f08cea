// Processing and state through the real bundle: the last-point rule, bypass, both sample
// sizes, slicing of long blocks, the side chain, missing buffers, and state streams good and bad.

#include "BundleFixture.h"
#include "hosting/vst3/MemoryStream.h"

#include <cmath>
#include <cstring>
#include <thread>

using namespace vst3;

namespace
{

constexpr ParamID kBypassId = 0x62706173;
constexpr ParamID kSourceType = 0;
constexpr ParamID kInputLevel = 6;
constexpr double kSine = 0.4;     // "Sine" of six sources
constexpr double kExtInput = 1.0; // "Ext. input"

/// Planar stereo buffers: a two-tone main input, a slow side-chain signal, outputs.
template <class Sample> struct Buffers
{
    explicit Buffers(int frames, int start = 0)
        : frames(frames), in{Make(frames), Make(frames)}, side{Make(frames), Make(frames)},
          out{Make(frames), Make(frames)}
    {
        for (int k = 0; k < frames; ++k)
        {
            const double t = (start + k) / 48000.0;
            in[0][k] = static_cast<Sample>(0.5 * std::sin(2 * M_PI * 220.0 * t));
            in[1][k] = static_cast<Sample>(0.4 * std::sin(2 * M_PI * 330.0 * t));
            side[0][k] = static_cast<Sample>(0.8 * std::sin(2 * M_PI * 3.0 * t));
            side[1][k] = static_cast<Sample>(0.6 * std::sin(2 * M_PI * 7.0 * t));
        }
    }
    static std::vector<Sample> Make(int n) { return std::vector<Sample>(static_cast<size_t>(n)); }

    tresult Run(Vst3Plugin& plugin, bool withSide = true)
    {
        const Sample* i[2] = {in[0].data(), in[1].data()};
        const Sample* s[2] = {side[0].data(), side[1].data()};
        Sample* o[2] = {out[0].data(), out[1].data()};
        return plugin.Process(i, withSide ? s : nullptr, o, frames);
    }

    int frames;
    std::vector<Sample> in[2];
    std::vector<Sample> side[2];
    std::vector<Sample> out[2];
};

class ProcessTest : public BundleTest
{
protected:
    /// An instance set up at 48 kHz with the sine source.
    std::unique_ptr<Vst3Plugin> Started(int maxBlock = 512, int sampleSize = kSample64,
                                        bool sideChain = false, double source = kSine,
                                        const std::string& host = "Verdigrix Host")
    {
        auto plugin = NewPlugin(host);
        EXPECT_TRUE(plugin->Start(48000.0, maxBlock, sampleSize, sideChain)) << plugin->LastError();
        plugin->QueueParameter(kSourceType, source);
        double none[1];
        double* outs[2] = {none, none};
        const double* ins[2] = {none, none};
        plugin->Process(ins, nullptr, outs, 0); // applies the source before any audio
        return plugin;
    }

    /// Sets `plugin` up as Started() does, by hand, and expects it to sound exactly like an
    /// instance that Started() set up on the default buses.
    void ExpectSoundsLikeStarted(Vst3Plugin& plugin)
    {
        ProcessSetup setup{kRealtime, kSample64, 512, 48000.0};
        ASSERT_EQ(plugin.Processor()->setupProcessing(setup), kResultOk);
        plugin.QueueParameter(kSourceType, kSine);
        Buffers<double> a(512);
        a.Run(plugin);

        auto started = Started();
        Buffers<double> b(512);
        b.Run(*started);
        EXPECT_EQ(a.out[0], b.out[0]);
        EXPECT_EQ(a.out[1], b.out[1]);
    }
};

TEST_F(ProcessTest, OnlyTheLastPointOfAQueueCountsAndComesBeforeTheAudio)
{
    auto multi = Started();
    multi->QueueParameter(kInputLevel, 0.1, 0);
    multi->QueueParameter(kInputLevel, 0.9, 64);
    multi->QueueParameter(kInputLevel, 0.3, 128);
    Buffers<double> a(256);
    ASSERT_EQ(a.Run(*multi), kResultOk);

    auto single = Started();
    single->QueueParameter(kInputLevel, 0.3, 128);
    Buffers<double> b(256);
    ASSERT_EQ(b.Run(*single), kResultOk);

    EXPECT_DOUBLE_EQ(multi->Controller()->getParamNormalized(kInputLevel), 0.3);
    EXPECT_EQ(a.out[0], b.out[0]);
    EXPECT_EQ(a.out[1], b.out[1]);

    auto first = Started();
    first->QueueParameter(kInputLevel, 0.1, 0);
    Buffers<double> c(256);
    c.Run(*first);
    EXPECT_NE(c.out[0], a.out[0]); // the level is audible, so the equality above means something
}

TEST_F(ProcessTest, BlocksBeforeAnySetupAreSafe)
{
    // Some hosts process before announcing a setup; the module's own defaults then hold
    // (32-bit samples, blocks of up to 1024 handled in slices beyond that).
    auto plugin = NewPlugin();
    Buffers<float> b(3000);
    EXPECT_EQ(b.Run(*plugin), kResultOk);
    for (const auto& channel : b.out)
        for (float v : channel)
            ASSERT_TRUE(std::isfinite(v));
}

TEST_F(ProcessTest, ABlockOfNoSamplesStillAppliesItsChanges)
{
    auto plugin = Started();
    plugin->QueueParameter(kInputLevel, 0.25);
    double none[1];
    const double* ins[2] = {none, none};
    double* outs[2] = {none, none};
    EXPECT_EQ(plugin->Process(ins, nullptr, outs, 0), kResultOk);
    EXPECT_DOUBLE_EQ(plugin->Controller()->getParamNormalized(kInputLevel), 0.25);
}

TEST_F(ProcessTest, EveryHostsAutomationReachesTheEffect)
{
    // Hosts whose names once switched automation off, and names that merely contain them.
    for (const char* host : {"Ableton Live 11", "Deliverance", "REAPER", "Ardour"})
    {
        auto plugin = Started(512, kSample64, false, kSine, host);
        plugin->QueueParameter(kInputLevel, 0.25);
        Buffers<double> b(64);
        b.Run(*plugin);
        EXPECT_DOUBLE_EQ(plugin->Controller()->getParamNormalized(kInputLevel), 0.25) << host;
    }
}

TEST_F(ProcessTest, AValueSetThroughTheControllerIsHeardWithoutABlockCarryingIt)
{
    // Hosts stop calling process while idle and set values through the controller meanwhile.
    auto plugin = Started();
    constexpr ParamID kEffectBypass = 8;
    ASSERT_EQ(plugin->Controller()->setParamNormalized(kEffectBypass, 1.0), kResultOk);
    Buffers<double> b(256);
    b.Run(*plugin);
    EXPECT_EQ(b.out[0], b.in[0]);
    EXPECT_EQ(b.out[1], b.in[1]);
}

TEST_F(ProcessTest, BypassAboveOneHalfPassesTheInputThroughAndOutlivesANewSetup)
{
    auto plugin = Started();
    plugin->QueueParameter(kBypassId, 0.5);
    Buffers<double> half(256);
    half.Run(*plugin);
    EXPECT_DOUBLE_EQ(plugin->Controller()->getParamNormalized(kBypassId), 0.0);
    EXPECT_NE(half.out[0], half.in[0]);

    plugin->QueueParameter(kBypassId, 0.51);
    Buffers<double> on(256);
    on.Run(*plugin);
    EXPECT_DOUBLE_EQ(plugin->Controller()->getParamNormalized(kBypassId), 1.0);
    EXPECT_EQ(on.out[0], on.in[0]);
    EXPECT_EQ(on.out[1], on.in[1]);

    plugin->QueueParameter(kBypassId, 0.8);
    on.Run(*plugin);
    EXPECT_DOUBLE_EQ(plugin->Controller()->getParamNormalized(kBypassId), 1.0);
    // A new block size or rate keeps the host's bypass: the host sends no value again.
    ProcessSetup setup{kRealtime, kSample64, 512, 44100.0};
    ASSERT_EQ(plugin->Processor()->setupProcessing(setup), kResultOk);
    EXPECT_DOUBLE_EQ(plugin->Controller()->getParamNormalized(kBypassId), 1.0);
    Buffers<double> still(256);
    still.Run(*plugin);
    EXPECT_EQ(still.out[0], still.in[0]);

    plugin->QueueParameter(kBypassId, 0.0);
    still.Run(*plugin);
    EXPECT_DOUBLE_EQ(plugin->Controller()->getParamNormalized(kBypassId), 0.0);
}

TEST_F(ProcessTest, OutputsThatAreExactlyZeroAreFlaggedSilent)
{
    for (int sampleSize : {kSample32, kSample64})
    {
        auto plugin = Started(512, sampleSize);
        plugin->QueueParameter(kBypassId, 1.0);
        std::vector<float> silent32(256, 0.0f), tone32(256, 0.25f), out32[2] = {tone32, tone32};
        std::vector<double> silent64(256, 0.0), tone64(256, 0.25), out64[2] = {tone64, tone64};
        auto run = [&](bool leftSilent, bool rightSilent)
        {
            tresult r;
            if (sampleSize == kSample32)
            {
                const float* in[2] = {leftSilent ? silent32.data() : tone32.data(),
                                      rightSilent ? silent32.data() : tone32.data()};
                float* out[2] = {out32[0].data(), out32[1].data()};
                r = plugin->Process(in, nullptr, out, 256);
            }
            else
            {
                const double* in[2] = {leftSilent ? silent64.data() : tone64.data(),
                                       rightSilent ? silent64.data() : tone64.data()};
                double* out[2] = {out64[0].data(), out64[1].data()};
                r = plugin->Process(in, nullptr, out, 256);
            }
            EXPECT_EQ(r, kResultOk);
            return plugin->LastOutputSilenceFlags();
        };
        EXPECT_EQ(run(true, true), 0x3u) << sampleSize;
        EXPECT_EQ(run(false, true), 0x2u) << sampleSize;
        EXPECT_EQ(run(false, false), 0x0u) << sampleSize;
        // The effect itself: silence in, modulated silence out.
        plugin->QueueParameter(kBypassId, 0.0);
        EXPECT_EQ(run(true, true), 0x3u) << sampleSize;
    }
}

TEST_F(ProcessTest, ThirtyTwoAndSixtyFourBitPathsAgree)
{
    auto p32 = Started(512, kSample32);
    auto p64 = Started(512, kSample64);
    for (int block = 0; block < 8; ++block)
    {
        Buffers<float> f(300, block * 300);
        Buffers<double> d(300, block * 300);
        for (int c = 0; c < 2; ++c) // the same samples in both widths
            for (int k = 0; k < 300; ++k)
                d.in[c][k] = f.in[c][k];
        ASSERT_EQ(f.Run(*p32), kResultOk);
        ASSERT_EQ(d.Run(*p64), kResultOk);
        for (int c = 0; c < 2; ++c)
            for (int k = 0; k < 300; ++k)
                ASSERT_EQ(f.out[c][k], static_cast<float>(d.out[c][k])) << block << " " << k;
    }

    EXPECT_EQ(p32->Processor()->canProcessSampleSize(kSample32), kResultTrue);
    EXPECT_EQ(p32->Processor()->canProcessSampleSize(kSample64), kResultTrue);
    EXPECT_EQ(p32->Processor()->canProcessSampleSize(2), kResultFalse);
    EXPECT_EQ(p32->Processor()->canProcessSampleSize(-1), kResultFalse);
    for (ProcessSetup bad :
         {ProcessSetup{kRealtime, 2, 512, 44100.0}, ProcessSetup{kRealtime, -1, 512, 44100.0},
          ProcessSetup{kRealtime, kSample32, 0, 44100.0},
          ProcessSetup{kRealtime, kSample32, 512, 0.0},
          ProcessSetup{kRealtime, kSample32, 512, std::nan("")}})
        EXPECT_EQ(p32->Processor()->setupProcessing(bad), kResultFalse);
    // The refused setups changed nothing: the 32-bit path still runs.
    Buffers<float> after(300);
    EXPECT_EQ(after.Run(*p32), kResultOk);
    EXPECT_NE(after.out[0], std::vector<float>(300, 0.0f));
}

TEST_F(ProcessTest, BlocksLongerThanTheAnnouncedMaximumAreProcessedInSlices)
{
    for (int size : {kSample32, kSample64})
    {
        auto whole = Started(256, size);
        auto pieces = Started(256, size);
        if (size == kSample32)
        {
            Buffers<float> big(1000);
            big.Run(*whole);
            for (int start = 0; start < 1000; start += 256)
            {
                Buffers<float> part(std::min(256, 1000 - start), start);
                part.Run(*pieces);
                for (int c = 0; c < 2; ++c)
                    for (int k = 0; k < part.frames; ++k)
                        ASSERT_EQ(big.out[c][start + k], part.out[c][k]) << start + k;
            }
        }
        else
        {
            Buffers<double> big(1000);
            big.Run(*whole);
            for (int start = 0; start < 1000; start += 256)
            {
                Buffers<double> part(std::min(256, 1000 - start), start);
                part.Run(*pieces);
                for (int c = 0; c < 2; ++c)
                    for (int k = 0; k < part.frames; ++k)
                        ASSERT_EQ(big.out[c][start + k], part.out[c][k]) << start + k;
            }
        }
    }
}

/// One block with hand-made bus buffers, for the cases our process loop never builds.
struct RawBlock
{
    explicit RawBlock(int frames)
        : frames(frames), main(2, std::vector<double>(frames)),
          out(2, std::vector<double>(frames, 99.0))
    {
        for (int k = 0; k < frames; ++k)
        {
            main[0][k] = 0.5 * std::sin(0.05 * k);
            main[1][k] = 0.5 * std::cos(0.03 * k);
        }
        inPtrs[0] = main[0].data();
        inPtrs[1] = main[1].data();
        outPtrs[0] = out[0].data();
        outPtrs[1] = out[1].data();
        inputs[0].numChannels = 2;
        inputs[0].channelBuffers64 = inPtrs;
        inputs[1].numChannels = 2;
        inputs[1].channelBuffers64 = sidePtrs;
        outputs[0].numChannels = 2;
        outputs[0].channelBuffers64 = outPtrs;
        data.symbolicSampleSize = kSample64;
        data.numSamples = frames;
        data.numInputs = 2;
        data.numOutputs = 1;
        data.inputs = inputs;
        data.outputs = outputs;
    }
    int frames;
    std::vector<std::vector<double>> main;
    std::vector<std::vector<double>> out;
    double* inPtrs[2];
    double* sidePtrs[2] = {nullptr, nullptr};
    double* outPtrs[2];
    AudioBusBuffers inputs[2]{};
    AudioBusBuffers outputs[1]{};
    ProcessData data{};
};

TEST_F(ProcessTest, ChannelsWithoutHostBuffersReadSilence)
{
    // Reference: the main input's channels given as explicit silence.
    auto reference = Started();
    RawBlock silent(512);
    std::fill(silent.main[0].begin(), silent.main[0].end(), 0.0);
    std::fill(silent.main[1].begin(), silent.main[1].end(), 0.0);
    ASSERT_EQ(reference->Processor()->process(silent.data), kResultOk);

    struct Case
    {
        const char* what;
        void (*damage)(RawBlock&);
    };
    const Case cases[] = {
        {"no input buses", [](RawBlock& b) { b.data.numInputs = 0; }},
        {"null input array", [](RawBlock& b) { b.data.inputs = nullptr; }},
        {"null channel list", [](RawBlock& b) { b.inputs[0].channelBuffers64 = nullptr; }},
        {"null channels", [](RawBlock& b) { b.inPtrs[0] = b.inPtrs[1] = nullptr; }},
        {"no channels", [](RawBlock& b) { b.inputs[0].numChannels = 0; }},
    };
    for (const Case& c : cases)
    {
        auto plugin = Started();
        RawBlock block(512);
        c.damage(block);
        ASSERT_EQ(plugin->Processor()->process(block.data), kResultOk) << c.what;
        EXPECT_EQ(block.out[0], silent.out[0]) << c.what;
        EXPECT_EQ(block.out[1], silent.out[1]) << c.what;
    }

    // A mono buffer list feeds the left channel only.
    auto mono = Started();
    RawBlock oneChannel(512);
    oneChannel.inputs[0].numChannels = 1;
    mono->Processor()->process(oneChannel.data);
    auto stereo = Started();
    RawBlock rightSilent(512);
    std::fill(rightSilent.main[1].begin(), rightSilent.main[1].end(), 0.0);
    stereo->Processor()->process(rightSilent.data);
    EXPECT_EQ(oneChannel.out[0], rightSilent.out[0]);

    // Outputs the host does not give are skipped; the others are still written.
    auto partial = Started();
    RawBlock missingOut(512);
    missingOut.outPtrs[1] = nullptr;
    ASSERT_EQ(partial->Processor()->process(missingOut.data), kResultOk);
    EXPECT_NE(missingOut.out[0], std::vector<double>(512, 99.0));
    missingOut.data.numOutputs = 0;
    EXPECT_EQ(partial->Processor()->process(missingOut.data), kResultOk);
    missingOut.data.outputs = nullptr;
    missingOut.data.numOutputs = 1;
    EXPECT_EQ(partial->Processor()->process(missingOut.data), kResultOk);
}

TEST_F(ProcessTest, AfterARefusedArrangementTheChannelsFollowTheBusesAsTheyStand)
{
    auto refused = NewPlugin();
    SpeakerArrangement ins[2] = {SpeakerArr::kMono, SpeakerArr::kMono};
    SpeakerArrangement outs[1] = {SpeakerArr::kStereo};
    ASSERT_EQ(refused->Processor()->setBusArrangements(ins, 2, outs, 1), kResultFalse);
    ExpectSoundsLikeStarted(*refused);
}

TEST_F(ProcessTest, HostOutputsNoChannelWritesAreCleared)
{
    // A mono output bus: the host's second output buffer gets silence, not stale samples.
    auto mono = NewPlugin();
    SpeakerArrangement ins[2] = {SpeakerArr::kStereo, SpeakerArr::kStereo};
    SpeakerArrangement outs[1] = {SpeakerArr::kMono};
    ASSERT_EQ(mono->Processor()->setBusArrangements(ins, 2, outs, 1), kResultOk);
    ProcessSetup setup{kRealtime, kSample64, 512, 48000.0};
    ASSERT_EQ(mono->Processor()->setupProcessing(setup), kResultOk);
    RawBlock block(512);
    ASSERT_EQ(mono->Processor()->process(block.data), kResultOk);
    EXPECT_NE(block.out[0], std::vector<double>(512, 99.0));
    EXPECT_EQ(block.out[1], std::vector<double>(512, 0.0));

    // A third output channel the plug-in does not have.
    auto stereo = Started();
    RawBlock wide(512);
    std::vector<double> third(512, 99.0);
    double* outs3[3] = {wide.out[0].data(), wide.out[1].data(), third.data()};
    wide.outputs[0].numChannels = 3;
    wide.outputs[0].channelBuffers64 = outs3;
    ASSERT_EQ(stereo->Processor()->process(wide.data), kResultOk);
    EXPECT_EQ(third, std::vector<double>(512, 0.0));
}

TEST_F(ProcessTest, TheSideChainIsHeardOnlyWhileItsBusIsActive)
{
    auto active = Started(512, kSample64, true, kExtInput);
    Buffers<double> withSide(512);
    withSide.Run(*active);

    auto inactive = Started(512, kSample64, false, kExtInput);
    Buffers<double> ignored(512);
    ignored.Run(*inactive);

    auto silentSide = Started(512, kSample64, true, kExtInput);
    Buffers<double> zeros(512);
    for (auto& s : zeros.side)
        std::fill(s.begin(), s.end(), 0.0);
    zeros.Run(*silentSide);

    EXPECT_EQ(ignored.out[0], zeros.out[0]);
    EXPECT_EQ(ignored.out[1], zeros.out[1]);
    EXPECT_NE(withSide.out[0], zeros.out[0]);
    EXPECT_NE(withSide.out[1], zeros.out[1]);

    // Deactivating the bus again silences it.
    active->Component()->activateBus(kAudio, kInput, 1, 0);
    Buffers<double> afterwards(512);
    afterwards.Run(*active);
    EXPECT_NE(afterwards.out[0], withSide.out[0]);
}

TEST_F(ProcessTest, AMonoSideChainDrivesBothSides)
{
    std::vector<double> key(512);
    for (int k = 0; k < 512; ++k)
        key[k] = 0.7 * std::sin(0.01 * k);
    auto stereo = Started(512, kSample64, true, kExtInput);
    RawBlock twin(512);
    twin.sidePtrs[0] = twin.sidePtrs[1] = key.data();
    ASSERT_EQ(stereo->Processor()->process(twin.data), kResultOk);

    // The host may activate the side chain before or after arranging it as mono: the new
    // arrangement keeps the bus active either way.
    for (const bool activateFirst : {false, true})
    {
        auto mono = NewPlugin();
        SpeakerArrangement ins[2] = {SpeakerArr::kStereo, SpeakerArr::kMono};
        SpeakerArrangement outs[1] = {SpeakerArr::kStereo};
        if (activateFirst)
            mono->Component()->activateBus(kAudio, kInput, 1, 1);
        ASSERT_EQ(mono->Processor()->setBusArrangements(ins, 2, outs, 1), kResultOk);
        if (!activateFirst)
            mono->Component()->activateBus(kAudio, kInput, 1, 1);
        ProcessSetup setup{kRealtime, kSample64, 512, 48000.0};
        ASSERT_EQ(mono->Processor()->setupProcessing(setup), kResultOk);
        mono->QueueParameter(kSourceType, kExtInput);
        RawBlock block(512);
        block.sidePtrs[0] = key.data();
        block.inputs[1].numChannels = 1;
        block.data.inputParameterChanges = &mono->Changes();
        ASSERT_EQ(mono->Processor()->process(block.data), kResultOk);
        EXPECT_EQ(block.out[0], twin.out[0]) << activateFirst;
        EXPECT_EQ(block.out[1], twin.out[1]) << activateFirst;
    }
}

TEST_F(ProcessTest, AfterTerminateAndInitializeTheChannelsFollowTheNewBuses)
{
    // Mono everywhere, then a new life: the rebuilt stereo buses carry both channels even
    // when the host keeps the default arrangement and never arranges them again.
    auto reborn = NewPlugin();
    SpeakerArrangement ins[2] = {SpeakerArr::kMono, SpeakerArr::kMono};
    SpeakerArrangement outs[1] = {SpeakerArr::kMono};
    ASSERT_EQ(reborn->Processor()->setBusArrangements(ins, 2, outs, 1), kResultOk);
    ASSERT_EQ(reborn->Component()->terminate(), kResultOk);
    ASSERT_EQ(reborn->Component()->initialize(static_cast<IHostApplication*>(&reborn->Host())),
              kResultOk);
    ExpectSoundsLikeStarted(*reborn);
}

// ---- State ----------------------------------------------------------------------------------

/// A host stream with scripted misbehaviour.
class ScriptedStream : public FObject, public IBStream
{
public:
    std::vector<char> bytes;
    int64 position = 0;
    int64 failAt = -1;       ///< reads reaching this position fail
    int32 overstate = 0;     ///< added to every reported read count
    bool endless = false;    ///< every read delivers a full buffer of 'x'
    bool errorAtEnd = false; ///< a read at the end fails instead of delivering nothing

    VST3_FUNKNOWN_METHODS

    tresult PLUGIN_API read(void* buffer, int32 n, int32* got) override
    {
        if (endless)
        {
            std::memset(buffer, 'x', static_cast<size_t>(n));
            *got = n;
            return kResultOk;
        }
        const int64 left = static_cast<int64>(bytes.size()) - position;
        int32 count = static_cast<int32>(std::min<int64>(n, std::max<int64>(0, left)));
        if (failAt >= 0 && position + count > failAt)
        {
            *got = 0;
            return kInternalError;
        }
        if (count == 0 && errorAtEnd)
        {
            *got = 0;
            return kResultFalse;
        }
        if (count > 0)
            std::memcpy(buffer, bytes.data() + position, static_cast<size_t>(count));
        position += count;
        *got = count + overstate;
        return kResultOk;
    }
    tresult PLUGIN_API write(void*, int32, int32*) override { return kResultFalse; }
    tresult PLUGIN_API seek(int64 pos, int32 mode, int64* result) override
    {
        if (mode != kIBSeekSet || pos < 0)
            return kResultFalse;
        position = pos;
        if (result != nullptr)
            *result = pos;
        return kResultOk;
    }
    tresult PLUGIN_API tell(int64* pos) override
    {
        *pos = position;
        return kResultOk;
    }
};

tresult PLUGIN_API ScriptedStream::queryInterface(const TUID iid, void** obj)
{
    if (QueryAs<IBStream>(this, iid, obj))
        return kResultOk;
    return FObject::queryInterface(iid, obj);
}

class StateTest : public ProcessTest
{
protected:
    /// A state with distinctive values and the host bypass on.
    std::vector<char> SavedState()
    {
        auto plugin = Started(512, kSample64, false, kExtInput);
        plugin->QueueParameter(kInputLevel, 0.8);
        plugin->QueueParameter(1, 1.0);
        plugin->QueueParameter(kBypassId, 1.0);
        Buffers<double> b(64);
        b.Run(*plugin);
        std::vector<char> bytes;
        EXPECT_TRUE(plugin->GetState(bytes));
        return bytes;
    }

    static void ExpectRestored(Vst3Plugin& plugin, bool bypass)
    {
        EXPECT_DOUBLE_EQ(plugin.Controller()->getParamNormalized(kInputLevel), 0.8);
        EXPECT_DOUBLE_EQ(plugin.Controller()->getParamNormalized(kSourceType), 1.0);
        EXPECT_DOUBLE_EQ(plugin.Controller()->getParamNormalized(1), 1.0);
        EXPECT_DOUBLE_EQ(plugin.Controller()->getParamNormalized(kBypassId), bypass ? 1.0 : 0.0);
    }
};

TEST_F(StateTest, TheStreamHoldsTheDocumentThenTheBypassFlag)
{
    const std::vector<char> bytes = SavedState();
    ASSERT_GE(bytes.size(), 9u);
    int32 length = 0;
    std::memcpy(&length, bytes.data(), 4);
    ASSERT_EQ(static_cast<size_t>(length) + 8, bytes.size());
    EXPECT_EQ(bytes[4], '{');
    int32 flag = 0;
    std::memcpy(&flag, bytes.data() + 4 + length, 4);
    EXPECT_EQ(flag, 1);

    auto loaded = Started();
    ASSERT_TRUE(loaded->SetState(bytes));
    ExpectRestored(*loaded, true);

    // Saving a failing stream is reported.
    auto* broken = new ScriptedStream;
    EXPECT_EQ(loaded->Component()->getState(broken), kResultFalse);
    broken->release();
    EXPECT_EQ(loaded->Component()->getState(nullptr), kInvalidArgument);
}

TEST_F(StateTest, ComponentAndControllerStatesReadFromWhereTheHostsStreamStands)
{
    std::vector<char> bytes = {'h', 'o', 's', 't'};
    const std::vector<char> state = SavedState();
    bytes.insert(bytes.end(), state.begin(), state.end());
    bytes.insert(bytes.end(), {'t', 'a', 'i', 'l'});

    auto loaded = Started();
    auto* stream = new MemoryStream(bytes);
    stream->seek(4, kIBSeekSet, nullptr);
    ASSERT_EQ(loaded->Component()->setState(stream), kResultOk);
    ExpectRestored(*loaded, true);
    EXPECT_EQ(stream->Position(), static_cast<int64>(4 + state.size()));

    auto again = Started();
    stream->seek(4, kIBSeekSet, nullptr);
    ASSERT_EQ(again->Controller()->setComponentState(stream), kResultOk);
    ExpectRestored(*again, true);
    stream->release();
}

TEST_F(StateTest, AMissingBypassFlagDependsOnHowTheStreamEnds)
{
    std::vector<char> bytes = SavedState();
    bytes.resize(bytes.size() - 4);

    auto quiet = Started();
    auto* endsQuietly = new ScriptedStream;
    endsQuietly->bytes = bytes;
    EXPECT_EQ(quiet->Component()->setState(endsQuietly), kResultOk);
    ExpectRestored(*quiet, false);
    endsQuietly->release();

    auto loud = Started();
    auto* endsWithError = new ScriptedStream;
    endsWithError->bytes = bytes;
    endsWithError->errorAtEnd = true;
    EXPECT_EQ(loud->Component()->setState(endsWithError), kResultFalse);
    // The document itself was restored before the flag was missed.
    EXPECT_DOUBLE_EQ(loud->Controller()->getParamNormalized(kInputLevel), 0.8);
    endsWithError->release();
}

TEST_F(StateTest, DamagedAndLyingStreamsAreRefusedAndThePluginStaysUsable)
{
    const std::vector<char> good = SavedState();
    struct Case
    {
        const char* what;
        void (*script)(ScriptedStream&, const std::vector<char>&);
        // Bytes that are no readable document may still read as the older binary parameter
        // format, which the effect accepts (every value clamped into its range).
        bool mayReadAsBinary = false;
    };
    const Case cases[] = {
        {"empty", [](ScriptedStream&, const std::vector<char>&) {}},
        {"three bytes",
         [](ScriptedStream& s, const std::vector<char>&) {
             s.bytes = {1, 2, 3};
         }},
        {"cut in the document",
         [](ScriptedStream& s, const std::vector<char>& g)
         { s.bytes.assign(g.begin(), g.begin() + static_cast<long>(g.size() / 2)); },
         true},
        {"absurd length",
         [](ScriptedStream& s, const std::vector<char>& g)
         {
             s.bytes = g;
             const int32 huge = 0x7FFFFFF0;
             std::memcpy(s.bytes.data(), &huge, 4);
         },
         true},
        {"reports more than asked",
         [](ScriptedStream& s, const std::vector<char>& g)
         {
             s.bytes = g;
             s.overstate = 1000;
         }},
        {"reports a negative count",
         [](ScriptedStream& s, const std::vector<char>& g)
         {
             s.bytes = g;
             s.overstate = -1000;
         }},
        {"fails mid-way",
         [](ScriptedStream& s, const std::vector<char>& g)
         {
             s.bytes = g;
             s.failAt = 100;
         }},
        {"never ends", [](ScriptedStream& s, const std::vector<char>&) { s.endless = true; }},
    };
    for (const Case& c : cases)
    {
        auto plugin = Started();
        auto* stream = new ScriptedStream;
        c.script(*stream, good);
        const tresult result = plugin->Component()->setState(stream);
        if (!c.mayReadAsBinary)
        {
            EXPECT_EQ(result, kResultFalse) << c.what;
        }
        stream->release();
        for (ParamID id = 0; id < 10; ++id)
        {
            const double v = plugin->Controller()->getParamNormalized(id);
            ASSERT_TRUE(v >= 0.0 && v <= 1.0) << c.what << " " << id;
        }

        // Still usable: it processes and loads a good state afterwards.
        Buffers<double> b(128);
        EXPECT_EQ(b.Run(*plugin), kResultOk) << c.what;
        for (double v : b.out[0])
            ASSERT_TRUE(std::isfinite(v)) << c.what;
        ASSERT_TRUE(plugin->SetState(good)) << c.what;
        ExpectRestored(*plugin, true);
    }
    auto plugin = Started();
    EXPECT_EQ(plugin->Component()->setState(nullptr), kInvalidArgument);
}

TEST_F(StateTest, StateCallsOnTheMainThreadWhileBlocksRunKeepTheStateWhole)
{
    const std::vector<char> saved = SavedState();
    auto plugin = Started(256, kSample32);
    std::thread audio(
        [&plugin]
        {
            Buffers<float> b(256);
            for (int block = 0; block < 300; ++block)
            {
                plugin->QueueParameter(kInputLevel, (block % 10) / 10.0);
                b.Run(*plugin);
            }
        });
    for (int round = 0; round < 40; ++round)
    {
        std::vector<char> bytes;
        ASSERT_TRUE(plugin->GetState(bytes));
        ASSERT_TRUE(plugin->SetState(round % 2 == 0 ? saved : bytes));
    }
    audio.join();
    ASSERT_TRUE(plugin->SetState(saved));
    ExpectRestored(*plugin, true);
}

} // namespace
