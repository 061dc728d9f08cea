#include "vst3/base/Bus.h"

#include <algorithm>

namespace vst3
{

Bus::Bus(std::u16string name, BusType busType, int32 flags)
    : name(std::move(name)), busType(busType), flags(flags)
{
}

void Bus::getInfo(BusInfo& info) const
{
    std::fill(std::begin(info.name), std::end(info.name), char16{0});
    const std::size_t n = std::min<std::size_t>(name.size(), 127);
    std::copy_n(name.begin(), n, info.name);
    info.busType = busType;
    info.flags = static_cast<uint32>(flags);
}

} // namespace vst3
