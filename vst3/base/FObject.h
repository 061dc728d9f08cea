#pragma once

#include "vst3/abi/Vst3Base.h"

#include <atomic>

namespace vst3
{

/// Answers `iid` with interface I of `self` (after addRef) when the identifiers match.
template <class I, class T> bool QueryAs(T* self, const TUID iid, void** obj)
{
    if (!IidEqual(iid, I::iid))
        return false;
    self->addRef();
    *obj = static_cast<I*>(self);
    return true;
}

/// Root of every object the module hands out: an atomic reference count that starts at 1,
/// and interface answers for FUnknown and IDependent. The release reaching 0 deletes the
/// object. [any thread]
class FObject : public IDependent
{
public:
    FObject() = default;
    FObject(const FObject&) = delete;
    FObject& operator=(const FObject&) = delete;

    tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override;
    uint32 PLUGIN_API addRef() override;
    uint32 PLUGIN_API release() override;
    void PLUGIN_API update(FUnknown* changedUnknown, int32 message) override;

    /// The current count (for tests and diagnostics).
    uint32 RefCount() const { return refCount.load(); }

    virtual ~FObject() = default;

private:
    std::atomic<uint32> refCount{1};
};

} // namespace vst3

/// Declares the FUnknown methods of a class that joins further FUnknown-derived interfaces,
/// so one implementation answers through every interface subobject.
#define VST3_FUNKNOWN_METHODS                                                                      \
    vst3::tresult PLUGIN_API queryInterface(const vst3::TUID iid, void** obj) override;            \
    vst3::uint32 PLUGIN_API addRef() override                                                      \
    {                                                                                              \
        return vst3::FObject::addRef();                                                            \
    }                                                                                              \
    vst3::uint32 PLUGIN_API release() override                                                     \
    {                                                                                              \
        return vst3::FObject::release();                                                           \
    }
