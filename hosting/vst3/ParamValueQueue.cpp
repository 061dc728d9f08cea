#include "hosting/vst3/ParamValueQueue.h"

using namespace vst3;

tresult PLUGIN_API ParamValueQueue::queryInterface(const TUID iid, void** obj)
{
    if (obj == nullptr)
        return kInvalidArgument;
    if (QueryAs<IParamValueQueue>(this, iid, obj))
        return kResultOk;
    return FObject::queryInterface(iid, obj);
}

int32 PLUGIN_API ParamValueQueue::getPointCount()
{
    return static_cast<int32>(points.size());
}

tresult PLUGIN_API ParamValueQueue::getPoint(int32 index, int32& sampleOffset, ParamValue& value)
{
    if (index < 0 || index >= getPointCount())
        return kResultFalse;
    sampleOffset = points[static_cast<std::size_t>(index)].offset;
    value = points[static_cast<std::size_t>(index)].value;
    return kResultOk;
}

tresult PLUGIN_API ParamValueQueue::addPoint(int32 sampleOffset, ParamValue value, int32& index)
{
    index = getPointCount();
    points.push_back({sampleOffset, value});
    return kResultOk;
}

void ParamValueQueue::Reset(ParamID newId)
{
    id = newId;
    points.clear();
}
