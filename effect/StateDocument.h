#pragma once

#include "ProductIdentity.h"

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

/// The effect's saved state as a JSON document:
/// {"params":[{"name":<name>,"value":<plain value>},...],"version":<product version>}, written compactly
/// with members in key order. Entries are matched to parameters by name on reading, so
/// documents survive parameters being added or reordered.
///
/// Pure functions with no locking; the effect calls them under its plug-in lock. Not for the
/// audio thread (they allocate).
class StateDocument
{
public:
    /// One parameter as written: its name and plain (not normalised) value.
    struct Entry
    {
        std::string_view name;
        double value = 0.0;
    };

    /// Called for every entry whose name matches a parameter: its index and the stored value.
    using Assign = std::function<void(int index, double value)>;

    /// The value of "version" in written documents.
    static constexpr const char* kVersion = product::kVersionText;

    /// Texts longer than this are refused unread: a real document is a few hundred bytes, and
    /// the limit keeps a hostile chunk from building an arbitrarily large document tree.
    static constexpr std::size_t kMaxTextSize = 1u << 20;

    /// Containers nested deeper than this are refused while parsing.
    static constexpr int kMaxDepth = 64;

    /// The compact document for `entries`, in their order. Empty when it cannot be built.
    static std::string Write(std::span<const Entry> entries) noexcept;

    /// Parses `text` strictly and walks "params": for each element in array order and each
    /// name in `names` (index order) that equals the element's "name", calls `assign` with
    /// that index and the element's "value". Elements whose "value" is missing or not a
    /// number are skipped. Returns false when the text is no document of the expected shape
    /// (the caller then falls back to another format); calls already made stay made.
    /// Never throws.
    static bool Read(std::string_view text, std::span<const std::string_view> names,
                     const Assign& assign) noexcept;
};
