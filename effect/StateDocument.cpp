#include "effect/StateDocument.h"

#include <nlohmann/json.hpp>

namespace
{
using Json = nlohmann::json;

/// Thrown from the parser callback to stop parsing an over-deep document.
struct TooDeep
{
};

bool IsStructureStart(Json::parse_event_t event)
{
    return event == Json::parse_event_t::object_start || event == Json::parse_event_t::array_start;
}

/// Whether `params` can be walked: an array, null, or an object without members. Strings,
/// numbers, booleans and objects with members cannot.
bool IsWalkableList(const Json& params)
{
    return params.is_array() || params.is_null() || (params.is_object() && params.empty());
}

/// One element of "params": assigns its value to every parameter it names. Returns false for
/// an element that is neither an object nor null.
bool WalkElement(const Json& element, std::span<const std::string_view> names,
                 const StateDocument::Assign& assign)
{
    if (element.is_null())
        return true;
    if (!element.is_object())
        return false;
    const auto name = element.find("name");
    if (name == element.end() || !name->is_string())
        return true;
    const auto value = element.find("value");
    if (value == element.end() || !value->is_number())
        return true;
    const auto& nameText = name->get_ref<const std::string&>();
    const double number = value->get<double>();
    for (std::size_t i = 0; i < names.size(); ++i)
    {
        if (names[i] == nameText)
            assign(static_cast<int>(i), number);
    }
    return true;
}
} // namespace

std::string StateDocument::Write(std::span<const Entry> entries) noexcept
{
    try
    {
        Json params = Json::array();
        for (const Entry& entry : entries)
            params.push_back(Json{{"name", std::string(entry.name)}, {"value", entry.value}});
        const Json document = {{"params", std::move(params)}, {"version", kVersion}};
        // Names are ours and plain ASCII; replacing stray bytes keeps dump from throwing.
        return document.dump(-1, ' ', false, Json::error_handler_t::replace);
    }
    catch (...)
    {
        return {};
    }
}

bool StateDocument::Read(std::string_view text, std::span<const std::string_view> names,
                         const Assign& assign) noexcept
{
    if (text.size() > kMaxTextSize)
        return false;
    try
    {
        const Json::parser_callback_t limitDepth = [](int depth, Json::parse_event_t event, Json&)
        {
            if (IsStructureStart(event) && depth >= kMaxDepth)
                throw TooDeep{};
            return true;
        };
        const Json document = Json::parse(text, limitDepth);
        if (document.is_null())
            return true;
        if (!document.is_object())
            return false;
        const auto params = document.find("params");
        if (params == document.end())
            return true;
        if (!IsWalkableList(*params))
            return false;
        for (const Json& element : *params)
        {
            if (!WalkElement(element, names, assign))
                return false;
        }
        return true;
    }
    catch (...)
    {
        return false;
    }
}
