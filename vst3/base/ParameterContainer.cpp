#include "vst3/base/ParameterContainer.h"

namespace vst3
{

Parameter* ParameterContainer::addParameter(std::unique_ptr<Parameter> parameter)
{
    Parameter* p = parameter.get();
    byId.emplace(p->getId(), params.size());
    params.push_back(std::move(parameter));
    return p;
}

Parameter* ParameterContainer::getParameterByIndex(int32 index) const
{
    if (index < 0 || index >= getParameterCount())
        return nullptr;
    return params[static_cast<std::size_t>(index)].get();
}

Parameter* ParameterContainer::getParameter(ParamID id) const
{
    const auto it = byId.find(id);
    return it == byId.end() ? nullptr : params[it->second].get();
}

void ParameterContainer::removeAll()
{
    byId.clear();
    params.clear();
}

} // namespace vst3
