#include "FrameworkFakes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace
{

using framework_test::RecordingEffect;

IByteChunk Params(int32_t count, std::vector<double> values)
{
    IByteChunk chunk;
    chunk.PutInt32(count);
    for (double v : values)
        chunk.PutDouble(v);
    return chunk;
}

std::vector<double> Values(const IEffectBase& effect)
{
    std::vector<double> values;
    for (int i = 0; i < effect.ParamCount(); ++i)
        values.push_back(effect.Param(i)->Value());
    return values;
}

void ExpectWithinRanges(const IEffectBase& effect)
{
    for (int i = 0; i < effect.ParamCount(); ++i)
    {
        const IParameter& p = *effect.Param(i);
        ASSERT_GE(p.Value(), p.Min()) << i;
        ASSERT_LE(p.Value(), p.Max()) << i;
    }
}

const std::vector<double> kDefaults = {0, 2500, 1, 0};

TEST(StateTest, SerializeParamsWritesCountThenPlainValues)
{
    RecordingEffect effect;
    IByteChunk chunk;
    chunk.PutByte(7); // appends after what is there
    ASSERT_TRUE(effect.SerializeParams(chunk));
    ASSERT_EQ(chunk.Size(), 1 + 4 + 4 * 8);
    int32_t count = 0;
    double frequency = 0;
    EXPECT_EQ(chunk.GetDouble(chunk.GetInt32(1, count) + 8, frequency), 21);
    EXPECT_EQ(count, 4);
    EXPECT_EQ(frequency, 2500);
}

struct UnserializeCase
{
    const char* what;
    IByteChunk (*make)();
    int32_t wantPos;
    std::vector<double> wantValues;
};

class UnserializeParamsTest : public testing::TestWithParam<UnserializeCase>
{
};

TEST_P(UnserializeParamsTest, SetsWhatIsReadAndReportsEveryParameter)
{
    const UnserializeCase& c = GetParam();
    RecordingEffect effect;
    const IByteChunk chunk = c.make();
    EXPECT_EQ(effect.UnserializeParams(chunk, 0), c.wantPos) << c.what;
    EXPECT_EQ(Values(effect), c.wantValues) << c.what;
    EXPECT_EQ(effect.changes, effect.AllChanged(IEffectBase::kSourceState)) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnserializeParamsTest,
    testing::Values(
        UnserializeCase{"empty chunk", [] { return IByteChunk{}; }, -1, kDefaults},
        UnserializeCase{"all values",
                        [] {
                            return Params(4, {3, 400, 2, 1});
                        },
                        36,
                        {3, 400, 2, 1}},
        // the truncated value becomes 0.0 clamped: Q's minimum is 0.1
        UnserializeCase{"truncated",
                        [] {
                            return Params(4, {3, 400});
                        },
                        -1,
                        {3, 400, 0.1, 0}},
        UnserializeCase{"surplus left unread",
                        [] {
                            return Params(6, {1, 500, 3, 1, 9, 9});
                        },
                        36,
                        {1, 500, 3, 1}},
        UnserializeCase{"fewer stored",
                        [] {
                            return Params(2, {5, 600});
                        },
                        20,
                        {5, 600, 1, 0}},
        UnserializeCase{"negative count",
                        [] {
                            return Params(-3, {5, 600});
                        },
                        4, kDefaults},
        UnserializeCase{
            "out of range clamped",
            [] {
                return Params(4, {-9, 1e9, std::numeric_limits<double>::quiet_NaN(), 0.7});
            },
            36,
            {0, 18000, 0.1, 0.7}},
        UnserializeCase{"half a value",
                        []
                        {
                            IByteChunk chunk = Params(4, {2});
                            chunk.PutInt32(0);
                            return chunk;
                        },
                        -1,
                        {2, 300, 1, 0}}));

TEST(StateTest, TheTenParameterChunkOfTwelveValuesEndsAtOffset84)
{
    IEffectConfig config = RecordingEffect::Config();
    config.paramCount = 10;
    RecordingEffect effect(config);
    for (int i = 4; i < 10; ++i)
        effect.Param(i)->ConfigureRange("x", 0, 0, 100);
    std::vector<double> twelve(12, 50.0);
    EXPECT_EQ(effect.UnserializeParams(Params(12, twelve), 0), 84);
    EXPECT_EQ(effect.Param(9)->Value(), 50.0);
}

TEST(StateTest, UnserializeStartsAtTheGivenPositionAndRoundTrips)
{
    RecordingEffect source;
    source.Param(0)->SetClamped(4);
    source.Param(2)->SetClamped(3.3);
    IByteChunk chunk;
    chunk.PutInt32(0x70666674);
    ASSERT_TRUE(source.SerializeState(chunk));

    RecordingEffect target;
    EXPECT_EQ(target.RestoreState(chunk, 4), chunk.Size());
    EXPECT_EQ(Values(target), Values(source));
    EXPECT_TRUE(target.StateEquals(chunk, 8));
    EXPECT_FALSE(target.StateEquals(chunk, 0));
    EXPECT_FALSE(target.StateEquals(chunk, 12)); // runs out of values
}

TEST(StateTest, AnExhaustedChunkMakesTheWritersReportFalse)
{
    RecordingEffect effect;
    effect.SelectPreset(0);
    for (int32_t limit : {0, 3, 4, 35})
    {
        IByteChunk chunk;
        chunk.SetSizeLimit(limit);
        EXPECT_FALSE(effect.SerializeParams(chunk)) << limit;
        EXPECT_FALSE(effect.SerializePresets(chunk)) << limit;
    }
}

TEST(StateTest, SelectingUninitialisedPresetsNamesThemByUserPresetCount)
{
    RecordingEffect effect(RecordingEffect::Config("2-2", 4));
    std::strcpy(effect.presets[1]->name, "my user preset");
    EXPECT_TRUE(effect.SelectPreset(0));
    EXPECT_STREQ(effect.presets[0]->name, "user preset 2");

    std::strcpy(effect.presets[1]->name, "other");
    RecordingEffect fresh;
    EXPECT_TRUE(fresh.SelectPreset(0));
    EXPECT_STREQ(fresh.presets[0]->name, "user preset 1");
    EXPECT_TRUE(fresh.presets[0]->initialized);
    EXPECT_EQ(fresh.log.back(), "preset selected");

    RecordingEffect three(RecordingEffect::Config("2-2", 3));
    std::strcpy(three.presets[0]->name, "user preset 1");
    std::strcpy(three.presets[1]->name, "user preset 7");
    EXPECT_TRUE(three.SelectPreset(2));
    EXPECT_STREQ(three.presets[2]->name, "user preset 3");
    EXPECT_EQ(three.currentPreset, 2);
}

TEST(StateTest, SelectingAnInitialisedPresetRestoresItsState)
{
    RecordingEffect effect(RecordingEffect::Config("2-2", 2));
    effect.Param(1)->SetClamped(1234);
    ASSERT_TRUE(effect.SelectPreset(1)); // captures 1234
    effect.Param(1)->SetClamped(5000);
    effect.changes.clear();

    EXPECT_TRUE(effect.SelectPreset(1));
    EXPECT_EQ(effect.Param(1)->Value(), 1234);
    EXPECT_EQ(effect.changes, effect.AllChanged(IEffectBase::kSourceState));

    EXPECT_FALSE(effect.SelectPreset(2));
    EXPECT_FALSE(effect.SelectPreset(-1));
    EXPECT_EQ(effect.currentPreset, 1);

    effect.presets[0]->initialized = true; // flagged, but holds no state
    EXPECT_FALSE(effect.SelectPreset(0));
    EXPECT_EQ(effect.currentPreset, 1);
}

TEST(StateTest, AFailedCaptureLeavesThePresetUninitialised)
{
    RecordingEffect effect(RecordingEffect::Config("2-2", 2));
    effect.failSerialize = true;
    effect.currentPreset = 1;
    EXPECT_FALSE(effect.SelectPreset(0));
    effect.CaptureDefaultPreset();
    effect.CaptureDefaultPresets("Empty", 2);
    for (const auto& preset : effect.presets)
    {
        EXPECT_FALSE(preset->initialized);
        EXPECT_EQ(preset->chunk.Size(), 0);
    }
    EXPECT_EQ(effect.currentPreset, 1);

    effect.failSerialize = false; // usable again once saving works
    EXPECT_TRUE(effect.SelectPreset(0));
}

TEST(StateTest, DefaultPresetsAreNamedAndCaptured)
{
    RecordingEffect vst3(RecordingEffect::Config("2-2", 2));
    vst3.CaptureDefaultPreset();
    EXPECT_STREQ(vst3.presets[0]->name, "-");
    EXPECT_TRUE(vst3.presets[0]->initialized);
    EXPECT_GT(vst3.presets[0]->chunk.Size(), 0);
    EXPECT_STREQ(vst3.presets[1]->name, "empty");

    RecordingEffect vst2(RecordingEffect::Config("2-2", 3));
    vst2.CaptureDefaultPresets(nullptr, 2);
    EXPECT_STREQ(vst2.presets[0]->name, "-");
    EXPECT_STREQ(vst2.presets[1]->name, "-");
    EXPECT_FALSE(vst2.presets[2]->initialized);
    vst2.CaptureDefaultPresets("Init", 5); // only one slot left
    EXPECT_STREQ(vst2.presets[2]->name, "Init");
}

TEST(StateTest, ModifyCurrentPresetRecapturesAndRenames)
{
    RecordingEffect effect;
    effect.CaptureDefaultPresets("Empty", 1);
    effect.Param(1)->SetClamped(777);
    effect.ModifyCurrentPreset(nullptr);
    EXPECT_STREQ(effect.presets[0]->name, "Empty");
    effect.ModifyCurrentPreset("Rough");
    EXPECT_STREQ(effect.presets[0]->name, "Rough");

    effect.Param(1)->SetClamped(300);
    ASSERT_TRUE(effect.SelectPreset(0));
    EXPECT_EQ(effect.Param(1)->Value(), 777);

    RecordingEffect blank;
    blank.ModifyCurrentPreset("x");
    EXPECT_FALSE(blank.presets[0]->initialized); // the flag is not changed
}

TEST(StateTest, ChunkHeaderIsTagThenVersionAndOptionalForReaders)
{
    IByteChunk chunk;
    chunk.PutInt32(99);
    ASSERT_TRUE(IEffectBase::WriteChunkHeader(chunk));
    const std::vector<uint8_t> want = {0x74, 0x66, 0x66, 0x70, 0, 0, 1, 0};
    EXPECT_EQ(std::vector<uint8_t>(chunk.Data(), chunk.Data() + chunk.Size()), want);

    int32_t version = -5;
    EXPECT_EQ(IEffectBase::ReadChunkHeader(chunk, version), 8);
    EXPECT_EQ(version, 0x00010000);

    IByteChunk bare = Params(4, kDefaults);
    EXPECT_EQ(IEffectBase::ReadChunkHeader(bare, version), 0);
    EXPECT_EQ(version, 0);

    IByteChunk cut;
    cut.PutInt32(IEffectBase::kChunkMagic);
    EXPECT_EQ(IEffectBase::ReadChunkHeader(cut, version), -1);
    EXPECT_EQ(IEffectBase::ReadChunkHeader(IByteChunk{}, version), 0);
}

TEST(StateTest, BankRoundTripKeepsNamesFlagsAndStates)
{
    RecordingEffect source(RecordingEffect::Config("2-2", 3));
    source.Param(1)->SetClamped(4321);
    source.CaptureDefaultPresets("Bright", 1);
    std::strcpy(source.presets[1]->name, "Dark");
    IByteChunk bank;
    ASSERT_TRUE(IEffectBase::WriteChunkHeader(bank));
    ASSERT_TRUE(source.SerializePresets(bank));

    RecordingEffect target(RecordingEffect::Config("2-2", 3));
    int32_t version = 0;
    const int32_t start = IEffectBase::ReadChunkHeader(bank, version);
    target.changes.clear();
    EXPECT_EQ(target.UnserializePresets(bank, start), bank.Size());
    EXPECT_STREQ(target.presets[0]->name, "Bright");
    EXPECT_TRUE(target.presets[0]->initialized);
    EXPECT_STREQ(target.presets[1]->name, "Dark");
    EXPECT_FALSE(target.presets[1]->initialized);
    EXPECT_STREQ(target.presets[2]->name, "empty");
    EXPECT_EQ(Values(target), Values(source)); // the current preset was applied
    EXPECT_TRUE(target.presets[0]->chunk.Size() == source.presets[0]->chunk.Size() &&
                std::memcmp(target.presets[0]->chunk.Data(), source.presets[0]->chunk.Data(),
                            static_cast<size_t>(source.presets[0]->chunk.Size())) == 0);
}

TEST(StateTest, BankNamesThatAreEmptyOrUnreadableRepeatThePreviousName)
{
    IByteChunk bank;
    bank.PutString("First");
    bank.PutByte(0);
    bank.PutString("");
    bank.PutByte(0);
    bank.PutInt32(1000); // a name running past the end

    RecordingEffect effect(RecordingEffect::Config("2-2", 3));
    EXPECT_EQ(effect.UnserializePresets(bank, 0), -1);
    EXPECT_STREQ(effect.presets[1]->name, "First");
    EXPECT_STREQ(effect.presets[2]->name, "First");
    // Selecting the uninitialised current preset afterwards captures it under a new name.
    EXPECT_STREQ(effect.presets[0]->name, "user preset 1");
}

TEST(StateTest, ABankPresetWithADamagedStateKeepsItsFlagAndState)
{
    RecordingEffect effect(RecordingEffect::Config("2-2", 3));
    effect.CaptureDefaultPresets("Kept", 1);
    const IByteChunk& kept = effect.presets[0]->chunk;
    const std::vector<uint8_t> keptBytes(kept.Data(), kept.Data() + kept.Size());

    IByteChunk bank;
    bank.PutString("Cut");
    bank.PutBool(true);
    bank.PutInt32(4); // four values announced, one stored
    bank.PutDouble(3);
    effect.currentPreset = 0;
    EXPECT_EQ(effect.UnserializePresets(bank, 0), -1);
    EXPECT_TRUE(effect.presets[0]->initialized);
    EXPECT_EQ(std::vector<uint8_t>(kept.Data(), kept.Data() + kept.Size()), keptBytes);
    EXPECT_EQ(Values(effect), kDefaults); // the current preset was re-applied

    IByteChunk second;
    second.PutString("A");
    second.PutBool(false);
    second.PutString("B");
    second.PutBool(true);
    second.PutInt32(4);
    EXPECT_EQ(effect.UnserializePresets(second, 0), -1);
    EXPECT_FALSE(effect.presets[1]->initialized); // never flagged without a state
    EXPECT_EQ(effect.presets[1]->chunk.Size(), 0);
    EXPECT_TRUE(effect.SelectPreset(1));
}

// Damaged and random bytes through every reader: nothing crashes, nothing reads outside the
// chunk (the sanitizer build watches), and parameters always end within their ranges.
TEST(StateTest, RandomChunksLeaveParametersWithinRange)
{
    std::mt19937 random(99);
    RecordingEffect effect(RecordingEffect::Config("2-2", 2));
    effect.CaptureDefaultPresets("Empty", 2);
    IByteChunk valid;
    IEffectBase::WriteChunkHeader(valid);
    effect.SerializePresets(valid);

    for (int round = 0; round < 3000; ++round)
    {
        std::vector<uint8_t> bytes(valid.Data(), valid.Data() + valid.Size());
        if (round % 2 == 0)
            bytes.resize(random() % 64);
        for (auto& b : bytes)
            if (round % 2 == 0 || random() % 8 == 0)
                b = static_cast<uint8_t>(random());
        if (round % 3 == 0 && !bytes.empty())
            bytes.resize(random() % bytes.size()); // damaged: cut short
        IByteChunk chunk;
        chunk.PutBytes(bytes.data(), static_cast<int32_t>(bytes.size()));

        int32_t version = 0;
        const int32_t start = IEffectBase::ReadChunkHeader(chunk, version);
        ASSERT_LE(start, chunk.Size());
        const int32_t position = static_cast<int32_t>(random() % 12) - 2;
        const int32_t afterParams = effect.UnserializeParams(chunk, position);
        ASSERT_TRUE(afterParams == -1 || (afterParams > position && afterParams <= chunk.Size()));
        ExpectWithinRanges(effect);
        effect.UnserializePresets(chunk, start);
        ExpectWithinRanges(effect);
        for (const auto& preset : effect.presets)
            ASSERT_LT(std::strlen(preset->name), sizeof preset->name);
    }
}

} // namespace
