// Support-class edge cases the Verdigrix module never reaches through its own parameters.

#include "vst3/base/ParameterContainer.h"
#include "vst3/base/RangeParameter.h"
#include "vst3/base/StringListParameter.h"

#include <gtest/gtest.h>

#include <memory>

using namespace vst3;

namespace
{

TEST(Vst3Support, TheFirstParameterAddedWithAnIdKeepsIt)
{
    ParameterContainer container;
    container.addParameter(std::make_unique<Parameter>("First", 7, "", 0, 0.0, 0, 0));
    container.addParameter(std::make_unique<Parameter>("Second", 7, "", 0, 0.0, 0, 0));
    EXPECT_EQ(container.getParameterCount(), 2);
    EXPECT_EQ(container.getParameter(7), container.getParameterByIndex(0));
    EXPECT_EQ(container.getParameter(8), nullptr);
    EXPECT_EQ(container.getParameterByIndex(2), nullptr);
    container.removeAll();
    EXPECT_EQ(container.getParameter(7), nullptr);
}

TEST(Vst3Support, ListsWithoutStepsNeverDivideByZero)
{
    StringListParameter empty("Empty", 1, "", 0, 0);
    EXPECT_EQ(empty.getInfo().stepCount, -1);
    EXPECT_EQ(empty.toPlain(0.7), 0.0);
    EXPECT_EQ(empty.toNormalized(3.0), 0.0);

    StringListParameter single("Single", 2, "", 0, 0);
    single.appendString("only");
    double v = -1.0;
    ASSERT_TRUE(single.fromString(u"only", v));
    EXPECT_EQ(v, 0.0);
    EXPECT_FALSE(single.fromString(nullptr, v));
    EXPECT_EQ(single.getString(5), u"");
}

TEST(Vst3Support, AnEmptyRangeNormalisesToZero)
{
    RangeParameter flat("Flat", 3, "", 5.0, 5.0, 5.0, 0, 0, 0);
    EXPECT_EQ(flat.getInfo().defaultNormalizedValue, 0.0);
    EXPECT_EQ(flat.toNormalized(9.0), 0.0);
    double v = -1.0;
    ASSERT_TRUE(flat.fromString(u"12", v));
    EXPECT_EQ(v, 0.0);
}

TEST(Vst3Support, LongTitlesAreCutToTheFieldWithATerminator)
{
    const std::string longTitle(300, 'x');
    Parameter p(longTitle.c_str(), 1, "", 0, 0.0, 0, 0);
    EXPECT_EQ(p.getInfo().title[126], u'x');
    EXPECT_EQ(p.getInfo().title[127], 0);
}

} // namespace
