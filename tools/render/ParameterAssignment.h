#pragma once

#include "tools/render/RenderHost.h"

#include <string>
#include <vector>

/// One "Title=value" setting from the command line, resolved against the host's parameter
/// list: the title (case-insensitive; "#N" for host index N) and a value given as one of
/// the parameter's value texts or as a number in its plain units (a trailing unit is allowed).
struct ParameterAssignment
{
    int index = -1;
    double normalized = 0.0;

    /// Resolves `text`; false with `error` set when the title is unknown, the value text
    /// matches nothing, or the number lies outside the parameter's range.
    static bool Parse(const std::string& text, RenderHost& host,
                      const std::vector<RenderHost::Parameter>& params, ParameterAssignment& out,
                      std::string& error);
};
