#pragma once

#include "vst3/base/Bus.h"

#include <memory>
#include <vector>

namespace vst3
{

/// The buses of one media type and direction, owned, in adding order (the bus index).
class BusList
{
public:
    BusList(MediaType type, BusDirection direction) : type(type), direction(direction) {}

    MediaType getType() const { return type; }
    BusDirection getDirection() const { return direction; }
    int32 size() const { return static_cast<int32>(buses.size()); }
    bool empty() const { return buses.empty(); }

    /// The bus at `index`, or null outside the list.
    Bus* at(int32 index) const;
    void append(std::unique_ptr<Bus> bus) { buses.push_back(std::move(bus)); }
    /// Replaces the bus at `index` (which must exist) in place.
    void replace(int32 index, std::unique_ptr<Bus> bus);
    void clear() { buses.clear(); }

private:
    MediaType type;
    BusDirection direction;
    std::vector<std::unique_ptr<Bus>> buses;
};

} // namespace vst3
