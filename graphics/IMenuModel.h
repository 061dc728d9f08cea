#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct IMenuModel;

/// One entry of a popup menu: a text, an optional owned submenu and flags.
struct IMenuEntry
{
    enum : int32_t
    {
        kDisabled = 1,
        kTitle = 2, ///< shown disabled
        kChecked = 4,
        kSeparator = 8
    };

    std::string text;
    std::unique_ptr<IMenuModel> submenu;
    int32_t flags = 0;
};

/// A popup menu to show; `chosenIndex` receives the position of the user's choice.
struct IMenuModel
{
    /// 0 none, 1 "%1d: %s", 2 "%02d: %s", 3 "%03d: %s"; numbers count from 1 within the menu.
    int32_t numbering = 0;
    int32_t chosenIndex = -1;
    std::vector<IMenuEntry> entries;

    /// Appends an entry and returns it.
    IMenuEntry& AddEntry(std::string text, int32_t flags = 0);
    int EntryCount() const { return static_cast<int>(entries.size()); }
    /// The text of entry `i` as the menu shows it, with its number prefix when numbered.
    std::string DisplayText(int i) const;

    /// Number of item ids this menu and its submenus take: one per entry, then each
    /// submenu's block in entry order (the numbering a native menu is built with).
    int IdCount() const;
    /// The menu that holds item `id` of that numbering, with its `chosenIndex` set to the
    /// position within it; null (nothing changed) for an id outside the tree.
    IMenuModel* Choose(int id);
};
