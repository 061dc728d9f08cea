#pragma once

#include "vst3/abi/Vst3AudioProcessor.h"
#include "vst3/base/FObject.h"

#include <vector>

/// One parameter's points for a block, as a host hands them to process.
class ParamValueQueue : public vst3::FObject, public vst3::IParamValueQueue
{
public:
    explicit ParamValueQueue(vst3::ParamID id = 0) : id(id) {}

    VST3_FUNKNOWN_METHODS

    vst3::ParamID PLUGIN_API getParameterId() override { return id; }
    vst3::int32 PLUGIN_API getPointCount() override;
    vst3::tresult PLUGIN_API getPoint(vst3::int32 index, vst3::int32& sampleOffset,
                                      vst3::ParamValue& value) override;
    /// Appends a point (points are kept in the order added).
    vst3::tresult PLUGIN_API addPoint(vst3::int32 sampleOffset, vst3::ParamValue value,
                                      vst3::int32& index) override;

    /// Empties the queue and gives it a new id (keeps its allocation).
    void Reset(vst3::ParamID newId);

private:
    struct Point
    {
        vst3::int32 offset;
        vst3::ParamValue value;
    };
    vst3::ParamID id;
    std::vector<Point> points;
};
