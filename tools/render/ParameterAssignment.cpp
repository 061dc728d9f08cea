#include "tools/render/ParameterAssignment.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

namespace
{

std::string Trim(const std::string& s)
{
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return {};
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

bool SameLetters(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](unsigned char x, unsigned char y)
                                              { return std::tolower(x) == std::tolower(y); });
}

int FindTitle(const std::string& title, const std::vector<RenderHost::Parameter>& params)
{
    if (title.size() > 1 && title[0] == '#')
    {
        char* end = nullptr;
        const long n = std::strtol(title.c_str() + 1, &end, 10);
        return *end == '\0' && n >= 0 && n < static_cast<long>(params.size()) ? static_cast<int>(n)
                                                                              : -1;
    }
    // A title shared by a format's own parameter and the effect's goes to the effect's.
    int found = -1;
    for (std::size_t i = 0; i < params.size(); ++i)
        if (SameLetters(params[i].title, title) && (found < 0 || params[found].hostOnly))
            found = static_cast<int>(i);
    return found;
}

} // namespace

bool ParameterAssignment::Parse(const std::string& text, RenderHost& host,
                                const std::vector<RenderHost::Parameter>& params,
                                ParameterAssignment& out, std::string& error)
{
    const auto eq = text.find('=');
    if (eq == std::string::npos)
    {
        error = "expected \"Title=value\", got \"" + text + "\"";
        return false;
    }
    const std::string title = Trim(text.substr(0, eq));
    const std::string value = Trim(text.substr(eq + 1));
    const int index = FindTitle(title, params);
    if (index < 0)
    {
        error = "no parameter titled \"" + title + "\" (see --list)";
        return false;
    }
    const RenderHost::Parameter& p = params[static_cast<std::size_t>(index)];
    out.index = index;

    if (p.isList)
    {
        // The exact text first, then the same letters in any case.
        for (int pass = 0; pass < 2; ++pass)
            for (std::size_t k = 0; k < p.values.size(); ++k)
                if (pass == 0 ? p.values[k] == value : SameLetters(p.values[k], value))
                {
                    out.normalized =
                        static_cast<double>(k) / static_cast<double>(p.values.size() - 1);
                    return true;
                }
        std::string choices;
        for (const std::string& v : p.values)
            choices += (choices.empty() ? "" : ", ") + v;
        error = "\"" + value + "\" is none of " + p.title + "'s values (" + choices + ")";
        return false;
    }

    char* end = nullptr;
    const double plain = std::strtod(value.c_str(), &end);
    const std::string rest = Trim(end);
    if (end == value.c_str() || !std::isfinite(plain) ||
        (!rest.empty() && !SameLetters(rest, p.units)))
    {
        error = "\"" + value + "\" is no number for " + p.title +
                (p.units.empty() ? "" : " (in " + p.units + ")");
        return false;
    }
    const double low = std::min(p.min, p.max);
    const double high = std::max(p.min, p.max);
    if (plain < low || plain > high)
    {
        char range[96];
        std::snprintf(range, sizeof(range), "%g .. %g", low, high);
        error = p.title + " = " + value + " lies outside " + range +
                (p.units.empty() ? "" : " " + p.units);
        return false;
    }
    out.normalized = host.PlainToNormalized(index, plain);
    return true;
}
