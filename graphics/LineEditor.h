#pragma once

#include <cstddef>
#include <string>

/// One line of text being edited in a text-entry box drawn by the editor itself: the text
/// (UTF-8), the caret and the selection, both kept on character boundaries, and the most
/// characters the line takes. It opens with the whole text selected and the caret at the
/// end, as the box does.
class LineEditor
{
public:
    /// `limit` <= 0: no limit. A longer initial text is kept; it just takes no more.
    LineEditor(std::string text, int limit);

    const std::string& Text() const { return text; }
    /// Byte offsets into Text().
    size_t Caret() const { return caret; }
    size_t SelectionStart() const { return caret < anchor ? caret : anchor; }
    size_t SelectionEnd() const { return caret < anchor ? anchor : caret; }
    bool HasSelection() const { return caret != anchor; }

    /// Replaces the selection (or inserts at the caret) with `characters`; answers false
    /// and changes nothing when the line would hold more than its limit.
    bool Insert(const std::string& characters);
    /// Deletes the selection, else the character before (Backspace) or after (Delete) the caret.
    void Backspace();
    void Delete();
    /// Caret moves; `extend` keeps the anchor (Shift held), else a selection collapses.
    void Left(bool extend);
    void Right(bool extend);
    void Home(bool extend);
    void End(bool extend);
    void SelectAll();
    /// Puts the caret at the character boundary at or before `offset`, selecting nothing.
    void PlaceCaret(size_t offset);

    /// Characters (code points) in a UTF-8 text.
    static int CharacterCount(const std::string& utf8);

private:
    size_t Previous(size_t offset) const;
    size_t Next(size_t offset) const;
    void EraseSelection();
    void MoveTo(size_t offset, bool extend);

    std::string text;
    int limit;
    size_t anchor = 0;
    size_t caret = 0;
};
