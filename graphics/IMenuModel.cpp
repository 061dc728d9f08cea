#include "graphics/IMenuModel.h"

#include <cstdio>

IMenuEntry& IMenuModel::AddEntry(std::string text, int32_t flags)
{
    IMenuEntry& entry = entries.emplace_back();
    entry.text = std::move(text);
    entry.flags = flags;
    return entry;
}

std::string IMenuModel::DisplayText(int i) const
{
    const std::string& text = entries.at(static_cast<size_t>(i)).text;
    static constexpr const char* kFormats[] = {"%1d: %s", "%02d: %s", "%03d: %s"};
    if (numbering < 1 || numbering > 3)
        return text;
    const int needed = std::snprintf(nullptr, 0, kFormats[numbering - 1], i + 1, text.c_str());
    std::string out(static_cast<size_t>(needed) + 1, '\0');
    std::snprintf(out.data(), out.size(), kFormats[numbering - 1], i + 1, text.c_str());
    out.resize(static_cast<size_t>(needed));
    return out;
}

int IMenuModel::IdCount() const
{
    int count = EntryCount();
    for (const IMenuEntry& entry : entries)
        if (entry.submenu)
            count += entry.submenu->IdCount();
    return count;
}

IMenuModel* IMenuModel::Choose(int id)
{
    if (id < 0)
        return nullptr;
    if (id < EntryCount())
    {
        chosenIndex = id;
        return this;
    }
    id -= EntryCount();
    for (IMenuEntry& entry : entries)
    {
        if (!entry.submenu)
            continue;
        const int block = entry.submenu->IdCount();
        if (id < block)
            return entry.submenu->Choose(id);
        id -= block;
    }
    return nullptr;
}
