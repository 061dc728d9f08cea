#include "hosting/vst3/ParameterChanges.h"

using namespace vst3;

ParameterChanges::~ParameterChanges()
{
    for (ParamValueQueue* q : queues)
        q->release();
}

tresult PLUGIN_API ParameterChanges::queryInterface(const TUID iid, void** obj)
{
    if (obj == nullptr)
        return kInvalidArgument;
    if (QueryAs<IParameterChanges>(this, iid, obj))
        return kResultOk;
    return FObject::queryInterface(iid, obj);
}

IParamValueQueue* PLUGIN_API ParameterChanges::getParameterData(int32 index)
{
    if (index < 0 || index >= used)
        return nullptr;
    return queues[static_cast<std::size_t>(index)];
}

IParamValueQueue* PLUGIN_API ParameterChanges::addParameterData(const ParamID& id, int32& index)
{
    for (int32 i = 0; i < used; ++i)
        if (queues[static_cast<std::size_t>(i)]->getParameterId() == id)
        {
            index = i;
            return queues[static_cast<std::size_t>(i)];
        }
    if (used == static_cast<int32>(queues.size()))
        queues.push_back(new ParamValueQueue(id));
    ParamValueQueue* q = queues[static_cast<std::size_t>(used)];
    q->Reset(id);
    index = used++;
    return q;
}

void ParameterChanges::Add(ParamID id, int32 offset, double value)
{
    int32 index = 0;
    int32 pointIndex = 0;
    addParameterData(id, index)->addPoint(offset, value, pointIndex);
}
