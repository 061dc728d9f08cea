#pragma once

#include <string>
#include <vector>

/// One item of a popup menu as a platform class shows it: the text with its number
/// prefix, the item id the choice answers with, and what the item looks like.
/// Built by IGraphicsWindow from an IMenuModel (ids run through the whole tree).
struct PopupMenuItem
{
    std::string text;
    /// The id to answer when this item is chosen; -1 for separators and submenu items.
    int id = -1;
    bool separator = false;
    /// Shown grayed (entry flag 1) or disabled (flag 2, a title): neither can be chosen.
    bool grayed = false;
    bool disabled = false;
    bool checked = false;
    /// Items of the submenu this item opens (empty for an ordinary item).
    std::vector<PopupMenuItem> submenu;

    bool Choosable() const { return !separator && !grayed && !disabled && submenu.empty(); }
};
