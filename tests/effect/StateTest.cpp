// The saved-state document: exact text, round trips, name matching, and what damaged or
// hostile chunks do (fall back to the binary format, never crash, never leave a parameter
// outside its range).
#include "effect/Verdigrix.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace
{
/// The effect, recording every ParameterChanged as (index, source).
class SpyEffect : public Verdigrix
{
public:
    void ParameterChanged(int index, int source) override
    {
        changes.emplace_back(index, source);
        Verdigrix::ParameterChanged(index, source);
    }
    std::vector<double> Values() const
    {
        std::vector<double> values;
        for (int i = 0; i < ParamCount(); ++i)
            values.push_back(Param(i)->Value());
        return values;
    }
    std::vector<std::pair<int, int>> changes;
};

std::vector<std::pair<int, int>> EveryParameterRestored()
{
    std::vector<std::pair<int, int>> all;
    for (int i = 0; i < Verdigrix::kParamCount; ++i)
        all.emplace_back(i, IEffectBase::kSourceState);
    return all;
}

std::vector<double> Defaults()
{
    return SpyEffect().Values();
}

/// A chunk holding `prefix` bytes of something else, then `text` as PutString stores it.
IByteChunk DocumentChunk(const std::string& text, int prefix = 0)
{
    IByteChunk chunk;
    for (int i = 0; i < prefix; ++i)
        chunk.PutByte(0xA5);
    chunk.PutString(std::string_view(text));
    return chunk;
}

const char* const kDefaultDocument =
    R"({"params":[{"name":"Source Type","value":0.0},{"name":"Filter Type","value":1.0},)"
    R"({"name":"Filter Frequency","value":2500.0},{"name":"Filter Q","value":1.0},)"
    R"({"name":"Effect Amount","value":100.0},{"name":"Follow Pitch","value":0.0},)"
    R"({"name":"Input level","value":0.0},{"name":"Output level","value":0.0},)"
    R"({"name":"Bypass","value":0.0},{"name":"Analog Saturation","value":1.0}],)"
    R"("version":"1.1.0"})";

TEST(VerdigrixState, DefaultDocumentIsExactlyTheKnownText)
{
    Verdigrix effect;
    IByteChunk chunk;
    ASSERT_TRUE(effect.SerializeState(chunk));
    const size_t length = std::strlen(kDefaultDocument);
    ASSERT_EQ(chunk.Size(), static_cast<int32_t>(4 + length));
    int32_t stored = 0;
    chunk.GetInt32(0, stored);
    EXPECT_EQ(stored, static_cast<int32_t>(length));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(chunk.Data()) + 4, length),
              kDefaultDocument);
}

TEST(VerdigrixState, ChunkThatCannotGrowReportsFailureAndStaysAsItWas)
{
    Verdigrix effect;
    IByteChunk chunk;
    chunk.PutInt32(7);
    chunk.SetSizeLimit(64);
    EXPECT_FALSE(effect.SerializeState(chunk));
    EXPECT_EQ(chunk.Size(), 4);
}

TEST(VerdigrixState, RoundTripRestoresEveryValueAfterWhatPrecedesIt)
{
    Verdigrix source;
    const double values[] = {4.3, 1.5, 1234.0, 0.30000000000000004, 37.0, 1.0, -14.9,
                             2.2, 0.5, 0.0};
    for (int i = 0; i < source.ParamCount(); ++i)
        source.Param(i)->SetClamped(values[i]);
    IByteChunk chunk;
    chunk.PutInt32(IEffectBase::kChunkMagic); // what an adapter may put first
    chunk.PutInt32(IEffectBase::kChunkVersion);
    ASSERT_TRUE(source.SerializeState(chunk));

    SpyEffect restored;
    EXPECT_EQ(restored.RestoreState(chunk, 8), chunk.Size());
    for (int i = 0; i < restored.ParamCount(); ++i)
        EXPECT_EQ(restored.Param(i)->Value(), values[i]) << i;
    EXPECT_EQ(restored.changes, EveryParameterRestored());
    EXPECT_EQ(restored.engine.frequency, 1234.0);
    EXPECT_STREQ(restored.engine.filter->name(), "RBJ Band Pass 1");
}

// Documents that are read: what they set (everything else keeps its default).
struct ReadCase
{
    const char* what;
    std::string text;
    std::map<int, double> expected;
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const ReadCase& c, std::ostream* os)
{
    *os << c.what;
}

class ReadableDocuments : public testing::TestWithParam<ReadCase>
{
};

TEST_P(ReadableDocuments, SetWhatTheyNameAndReturnThePositionAfterThem)
{
    const ReadCase& c = GetParam();
    const IByteChunk chunk = DocumentChunk(c.text, 3);
    SpyEffect effect;
    // Non-default starting values show that unnamed parameters keep theirs.
    effect.Param(Verdigrix::kInputLevel)->SetClamped(-3.0);
    std::vector<double> expected = effect.Values();
    for (const auto& [index, value] : c.expected)
        expected[static_cast<size_t>(index)] = value;

    EXPECT_EQ(effect.RestoreState(chunk, 3), chunk.Size());
    EXPECT_EQ(effect.Values(), expected);
    EXPECT_EQ(effect.changes, EveryParameterRestored());
}

const std::string kTooLongName(300, 'B');

INSTANTIATE_TEST_SUITE_P(
    Verdigrix, ReadableDocuments,
    testing::Values(
        ReadCase{"Reordered",
                 R"({"params":[{"name":"Bypass","value":1.0},{"name":"Filter Q","value":2.5}]})",
                 {{Verdigrix::kBypass, 1.0}, {Verdigrix::kFilterQ, 2.5}}},
        ReadCase{"IntegerValueAndOtherVersion",
                 R"({"params":[{"value":3,"name":"Source Type"}],"version":"9.0.0"})",
                 {{Verdigrix::kSourceType, 3.0}}},
        ReadCase{"OutOfRangeIsClamped",
                 R"({"params":[{"name":"Filter Frequency","value":99999},)"
                 R"({"name":"Output level","value":-1e300}]})",
                 {{Verdigrix::kFilterFrequency, 18000.0}, {Verdigrix::kOutputLevel, -15.0}}},
        ReadCase{"LastOneWins",
                 R"({"params":[{"name":"Filter Q","value":2},{"name":"Filter Q","value":3}]})",
                 {{Verdigrix::kFilterQ, 3.0}}},
        ReadCase{"NullDocument", "null", {}}, ReadCase{"NoParams", R"({"other":[1,2,3]})", {}},
        ReadCase{"NullParams", R"({"params":null})", {}},
        ReadCase{"EmptyObjectParams", R"({"params":{}})", {}},
        ReadCase{"NullElementsAndNamelessOnes",
                 R"({"params":[null,{"value":1},{"name":"Bypass","value":1}]})",
                 {{Verdigrix::kBypass, 1.0}}},
        ReadCase{"ValueMissingOrNotANumberIsSkipped",
                 R"({"params":[{"name":"Filter Q"},{"name":"Bypass","value":"1"},)"
                 R"({"name":"Follow Pitch","value":true},{"name":"Source Type","value":null},)"
                 R"({"name":"Effect Amount","value":[5]},{"name":"Output level","value":4}]})",
                 {{Verdigrix::kOutputLevel, 4.0}}},
        ReadCase{"NamesThatMatchNothing",
                 R"({"params":[{"name":"bypass","value":1},{"name":"Bypass ","value":1},)"
                 R"({"name":7,"value":1},{"name":"Bypass\u0000x","value":1},)"
                 R"({"name":")" +
                     kTooLongName + R"(","value":1}]})",
                 {}},
        ReadCase{"ZeroByteEndsTheText",
                 std::string(R"({"params":[{"name":"Bypass","value":1}]})") + '\0' + "junk",
                 {{Verdigrix::kBypass, 1.0}}}),
    [](const auto& info) { return std::string(info.param.what); });

/// The result and values of reading `chunk` as the binary parameter format, on a fresh effect.
struct BinaryReading
{
    explicit BinaryReading(const IByteChunk& chunk, int32_t position)
    {
        result = reader.UnserializeParams(chunk, position);
    }
    SpyEffect reader;
    int32_t result = 0;
};

void ExpectFallback(const IByteChunk& chunk, int32_t position)
{
    SpyEffect effect;
    const BinaryReading binary(chunk, position);
    EXPECT_EQ(effect.RestoreState(chunk, position), binary.result);
    EXPECT_EQ(effect.Values(), binary.reader.Values());
    EXPECT_EQ(effect.changes, EveryParameterRestored());
    for (int i = 0; i < effect.ParamCount(); ++i)
    {
        const IParameter& p = *effect.Param(i);
        EXPECT_TRUE(p.Value() >= p.Min() && p.Value() <= p.Max()) << i << ": " << p.Value();
    }
}

// Texts that are no document of the expected shape: read as the binary format instead.
struct FallbackCase
{
    const char* what;
    std::string text;
};

void PrintTo(const FallbackCase& c, std::ostream* os)
{
    *os << c.what;
}

class UnreadableDocuments : public testing::TestWithParam<FallbackCase>
{
};

TEST_P(UnreadableDocuments, FallBackToTheBinaryFormat)
{
    ExpectFallback(DocumentChunk(GetParam().text), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Verdigrix, UnreadableDocuments,
    testing::Values(
        FallbackCase{"EmptyText", ""}, FallbackCase{"NotJson", "Verdigrix preset"},
        FallbackCase{"Truncated", R"({"params":[{"name":"Bypass","value":1})"},
        FallbackCase{"TrailingGarbage", R"({"params":[]} x)"},
        FallbackCase{"Comment", R"({"params":[]} // note)"}, FallbackCase{"TopLevelNumber", "42"},
        FallbackCase{"TopLevelString", R"("params")"},
        FallbackCase{"TopLevelArray", R"([{"name":"Bypass","value":1}])"},
        FallbackCase{"ParamsString", R"({"params":"Bypass"})"},
        FallbackCase{"ParamsNumber", R"({"params":1})"},
        FallbackCase{"ParamsBoolean", R"({"params":true})"},
        FallbackCase{"ParamsObjectWithMembers", R"({"params":{"x":{"name":"Bypass","value":1}}})"},
        FallbackCase{"ElementNumber", R"({"params":[3]})"},
        FallbackCase{"ElementString", R"({"params":["Bypass"]})"},
        FallbackCase{"ElementArray", R"({"params":[["Bypass",1]]})"},
        FallbackCase{"NumberBeyondDouble", R"({"params":[{"name":"Bypass","value":1e400}]})"},
        FallbackCase{"BrokenUtf8", "{\"params\":[{\"name\":\"\xff\xfe\",\"value\":1}]}"},
        FallbackCase{"DeeplyNestedArrays", std::string(200000, '[')},
        FallbackCase{"DeeplyNestedButClosed", std::string(5000, '[') + std::string(5000, ']')},
        FallbackCase{"HugeDocument",
                     R"({"pad":")" + std::string(2u << 20, 'x') + R"(","params":[]})"}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(VerdigrixState, BinaryParameterChunkLoadsThroughTheFallback)
{
    SpyEffect source;
    const double values[] = {5, 2, 18000, 4, 0, 1, 15, -15, 1, 0};
    for (int i = 0; i < source.ParamCount(); ++i)
        source.Param(i)->SetClamped(values[i]);
    IByteChunk chunk;
    ASSERT_TRUE(source.SerializeParams(chunk));

    SpyEffect effect;
    EXPECT_EQ(effect.RestoreState(chunk, 0), 84);
    EXPECT_EQ(effect.Values(), source.Values());
    EXPECT_EQ(effect.changes, EveryParameterRestored());
}

TEST(VerdigrixState, ChunksWithoutAReadableLength)
{
    const std::vector<double> defaults = Defaults();
    IByteChunk empty;
    IByteChunk shortChunk;
    shortChunk.PutByte(1);
    shortChunk.PutByte(2);
    for (const auto& [chunk, position] :
         {std::pair{&empty, 0}, std::pair{&shortChunk, 0}, std::pair{&shortChunk, -5}})
    {
        SpyEffect effect;
        EXPECT_EQ(effect.RestoreState(*chunk, position), -1);
        EXPECT_EQ(effect.Values(), defaults);
        EXPECT_EQ(effect.changes, EveryParameterRestored());
    }
}

TEST(VerdigrixState, LengthRunningPastTheEndFallsBack)
{
    IByteChunk chunk;
    chunk.PutInt32(1000);
    chunk.PutString(std::string_view(R"({"params":[]})"));
    ExpectFallback(chunk, 0);
}

} // namespace
