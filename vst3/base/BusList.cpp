#include "vst3/base/BusList.h"

namespace vst3
{

Bus* BusList::at(int32 index) const
{
    if (index < 0 || index >= size())
        return nullptr;
    return buses[static_cast<std::size_t>(index)].get();
}

void BusList::replace(int32 index, std::unique_ptr<Bus> bus)
{
    if (index >= 0 && index < size())
        buses[static_cast<std::size_t>(index)] = std::move(bus);
}

} // namespace vst3
