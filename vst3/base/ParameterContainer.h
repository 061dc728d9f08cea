#pragma once

#include "vst3/base/Parameter.h"

#include <memory>
#include <unordered_map>
#include <vector>

namespace vst3
{

/// The host's parameter list: owned parameters in host-index order, with a map from id to
/// position. The first parameter added with an id keeps it. [ui thread]
class ParameterContainer
{
public:
    /// Appends `parameter` and returns it.
    Parameter* addParameter(std::unique_ptr<Parameter> parameter);
    int32 getParameterCount() const { return static_cast<int32>(params.size()); }
    /// By host index, or null.
    Parameter* getParameterByIndex(int32 index) const;
    /// By id, or null.
    Parameter* getParameter(ParamID id) const;
    void removeAll();

private:
    std::vector<std::unique_ptr<Parameter>> params;
    std::unordered_map<ParamID, std::size_t> byId;
};

} // namespace vst3
