#include "graphics/LineEditor.h"

#include <utility>

namespace
{
bool IsContinuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}
} // namespace

LineEditor::LineEditor(std::string initial, int limit) : text(std::move(initial)), limit(limit)
{
    SelectAll();
}

int LineEditor::CharacterCount(const std::string& utf8)
{
    int count = 0;
    for (char c : utf8)
        if (!IsContinuation(c))
            ++count;
    return count;
}

size_t LineEditor::Previous(size_t offset) const
{
    if (offset == 0)
        return 0;
    --offset;
    while (offset > 0 && IsContinuation(text[offset]))
        --offset;
    return offset;
}

size_t LineEditor::Next(size_t offset) const
{
    if (offset >= text.size())
        return text.size();
    ++offset;
    while (offset < text.size() && IsContinuation(text[offset]))
        ++offset;
    return offset;
}

void LineEditor::EraseSelection()
{
    const size_t start = SelectionStart();
    text.erase(start, SelectionEnd() - start);
    anchor = caret = start;
}

bool LineEditor::Insert(const std::string& characters)
{
    if (characters.empty())
        return true;
    const std::string selected = text.substr(SelectionStart(), SelectionEnd() - SelectionStart());
    const int after = CharacterCount(text) - CharacterCount(selected) + CharacterCount(characters);
    if (limit > 0 && after > limit)
        return false;
    EraseSelection();
    text.insert(caret, characters);
    anchor = caret = caret + characters.size();
    return true;
}

void LineEditor::Backspace()
{
    if (!HasSelection())
        anchor = Previous(caret);
    EraseSelection();
}

void LineEditor::Delete()
{
    if (!HasSelection())
        anchor = Next(caret);
    EraseSelection();
}

void LineEditor::MoveTo(size_t offset, bool extend)
{
    caret = offset;
    if (!extend)
        anchor = caret;
}

void LineEditor::Left(bool extend)
{
    // Without Shift a selection collapses to its start instead of moving on.
    if (HasSelection() && !extend)
        MoveTo(SelectionStart(), false);
    else
        MoveTo(Previous(caret), extend);
}

void LineEditor::Right(bool extend)
{
    if (HasSelection() && !extend)
        MoveTo(SelectionEnd(), false);
    else
        MoveTo(Next(caret), extend);
}

void LineEditor::Home(bool extend)
{
    MoveTo(0, extend);
}

void LineEditor::End(bool extend)
{
    MoveTo(text.size(), extend);
}

void LineEditor::SelectAll()
{
    anchor = 0;
    caret = text.size();
}

void LineEditor::PlaceCaret(size_t offset)
{
    if (offset > text.size())
        offset = text.size();
    while (offset > 0 && offset < text.size() && IsContinuation(text[offset]))
        --offset;
    anchor = caret = offset;
}
