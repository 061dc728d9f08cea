// The line being edited in a drawn text-entry box: characters, not bytes, for the caret,
// the deletions and the limit.

#include "graphics/LineEditor.h"

#include <gtest/gtest.h>

namespace
{
const std::string kU = "\xC3\xBC"; // u with diaeresis, two bytes

TEST(LineEditor, OpensWithEverythingSelectedAndTypingReplacesIt)
{
    LineEditor line("12.5", 7);
    EXPECT_EQ(line.SelectionStart(), 0u);
    EXPECT_EQ(line.SelectionEnd(), 4u);
    EXPECT_TRUE(line.Insert("3"));
    EXPECT_EQ(line.Text(), "3");
    EXPECT_FALSE(line.HasSelection());
}

TEST(LineEditor, MovesAndDeletesWholeMultiByteCharacters)
{
    LineEditor line("a" + kU + "b", 0);
    line.End(false);
    line.Left(false);
    line.Backspace();
    EXPECT_EQ(line.Text(), "ab");
    line.PlaceCaret(1);
    EXPECT_TRUE(line.Insert(kU));
    line.Left(false);
    EXPECT_EQ(line.Caret(), 1u) << "one step left crosses both bytes";
    line.Delete();
    EXPECT_EQ(line.Text(), "ab");
    LineEditor inside(kU, 0);
    inside.PlaceCaret(1); // the middle of the character
    EXPECT_EQ(inside.Caret(), 0u);
}

TEST(LineEditor, TheLimitCountsCharactersAndAReplacedSelectionMakesRoom)
{
    LineEditor line(kU + kU, 3);
    line.End(false);
    EXPECT_TRUE(line.Insert(kU));
    EXPECT_FALSE(line.Insert("x")) << "a fourth character";
    EXPECT_EQ(LineEditor::CharacterCount(line.Text()), 3);
    line.Left(true); // Shift+Left selects the last one
    EXPECT_TRUE(line.Insert("x"));
    EXPECT_EQ(line.Text(), kU + kU + "x");
    LineEditor longer("12345678", 7); // set longer than the limit: kept, takes no more
    longer.End(false);
    EXPECT_FALSE(longer.Insert("9"));
    longer.Backspace();
    EXPECT_EQ(longer.Text(), "1234567");
}

TEST(LineEditor, ArrowsWithoutShiftCollapseASelectionToItsEnd)
{
    LineEditor line("abc", 0);
    line.Left(false);
    EXPECT_EQ(line.Caret(), 0u);
    line.SelectAll();
    line.Right(false);
    EXPECT_EQ(line.Caret(), 3u);
    EXPECT_FALSE(line.HasSelection());
    line.Home(true);
    EXPECT_EQ(line.SelectionStart(), 0u);
    EXPECT_EQ(line.SelectionEnd(), 3u);
}
} // namespace
