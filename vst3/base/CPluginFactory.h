#pragma once

#include "vst3/abi/Vst3Factory.h"

#include <atomic>
#include <vector>

namespace vst3
{

/// The module's factory: its description and the registered classes. Reference counted
/// (1 at creation); the release reaching 0 destroys it. [any thread]
class CPluginFactory final : public IPluginFactory3
{
public:
    /// Creates one object of a class; returns its FUnknown with one reference, or null.
    using CreateFunction = FUnknown* (*)(void* context);

    explicit CPluginFactory(const PFactoryInfo& info);
    CPluginFactory(const CPluginFactory&) = delete;
    CPluginFactory& operator=(const CPluginFactory&) = delete;

    /// Appends a class entry built from `info` (with its UTF-16 copy); false when the
    /// entry list cannot grow.
    bool registerClass(const PClassInfo2& info, CreateFunction createFunction,
                       void* context = nullptr);

    tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override;
    uint32 PLUGIN_API addRef() override;
    uint32 PLUGIN_API release() override;
    /// Adds a reference unless the count already reached 0 (the factory is going away).
    bool tryAddRef();

    tresult PLUGIN_API getFactoryInfo(PFactoryInfo* info) override;
    int32 PLUGIN_API countClasses() override;
    tresult PLUGIN_API getClassInfo(int32 index, PClassInfo* info) override;
    tresult PLUGIN_API createInstance(FIDString cid, FIDString iid, void** obj) override;
    tresult PLUGIN_API getClassInfo2(int32 index, PClassInfo2* info) override;
    tresult PLUGIN_API getClassInfoUnicode(int32 index, PClassInfoW* info) override;
    tresult PLUGIN_API setHostContext(FUnknown* context) override;

    /// Called by the release that destroys the factory, before it is deleted.
    using DestroyHook = void (*)(CPluginFactory* factory);
    void setDestroyHook(DestroyHook hook) { destroyHook = hook; }

private:
    struct ClassEntry
    {
        PClassInfo2 info2;
        PClassInfoW infoW;
        CreateFunction createFunction;
        void* context;
        bool isUnicode;
    };

    ~CPluginFactory() = default;
    const ClassEntry* entryAt(int32 index) const;

    std::atomic<uint32> refCount{1};
    PFactoryInfo factoryInfo;
    std::vector<ClassEntry> classEntries;
    DestroyHook destroyHook = nullptr;
};

} // namespace vst3
