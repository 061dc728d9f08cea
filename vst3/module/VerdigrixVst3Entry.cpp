// The VST3 module's entry points and its factory: one class, the Verdigrix effect, which is
// component, audio processor and edit controller at once.

#include "ProductIdentity.h"
#include "effect/Verdigrix.h"
#include "graphics/platform/PlatformEditor.h"
#include "resources/EmbeddedResources.h"
#include "vst3/base/CPluginFactory.h"
#include "vst3/base/Utf16.h"

#include <atomic>
#include <mutex>
#include <new>

using namespace vst3;

#if defined(_WIN32)
#define VERDIGRIX_EXPORT // the exports are listed in Verdigrix.def
#else
#define VERDIGRIX_EXPORT __attribute__((visibility("default")))
#endif

namespace
{

constexpr Uid kVerdigrixCid = MakeUid(product::kVst3ClassId[0], product::kVst3ClassId[1],
                                      product::kVst3ClassId[2], product::kVst3ClassId[3]);

/// Guards the live-factory pointer, so a factory going away never meets a new caller.
std::mutex& FactoryPointerLock()
{
    static std::mutex m;
    return m;
}
CPluginFactory* liveFactory = nullptr;

/// Serialises the construction of effect objects across the process.
std::recursive_mutex& FactoryLock()
{
    static std::recursive_mutex m;
    return m;
}

/// How many ModuleEntry calls are not yet matched by ModuleExit.
std::atomic<int> entryCount{0};

const PFactoryInfo& FactoryInfo()
{
    static const PFactoryInfo info = []
    {
        PFactoryInfo i{};
        CopyField(i.vendor, sizeof(i.vendor), product::kVendor);
        CopyField(i.url, sizeof(i.url), "");
        CopyField(i.email, sizeof(i.email), "");
        i.flags = PFactoryInfo::kUnicode;
        return i;
    }();
    return info;
}

const PClassInfo2& ClassInfo()
{
    static const PClassInfo2 info = []
    {
        PClassInfo2 c{};
        for (int k = 0; k < 16; ++k)
            c.cid[k] = kVerdigrixCid.bytes[k];
        c.cardinality = PClassInfo::kManyInstances;
        CopyField(c.category, sizeof(c.category), "Audio Module Class");
        CopyField(c.name, sizeof(c.name), product::kName);
        c.classFlags = kSimpleModeSupported;
        CopyField(c.subCategories, sizeof(c.subCategories), product::kVst3Category);
        CopyField(c.vendor, sizeof(c.vendor), "");
        CopyField(c.version, sizeof(c.version), product::kVersionText);
        CopyField(c.sdkVersion, sizeof(c.sdkVersion), "VST 3.5.2");
        return c;
    }();
    return info;
}

FUnknown* createEffectInstance(void*)
{
    std::lock_guard<std::recursive_mutex> guard(FactoryLock());
    // Nothing may be thrown across the host's call: a construction that runs out of
    // memory is simply no instance.
    try
    {
        return static_cast<IAudioProcessor*>(new Verdigrix());
    }
    catch (...)
    {
        return nullptr;
    }
}

void ForgetFactory(CPluginFactory* factory)
{
    std::lock_guard<std::mutex> guard(FactoryPointerLock());
    if (liveFactory == factory)
        liveFactory = nullptr;
}

/// Publishes the module's resources to the editor; repeated entries are counted.
bool EnterModule()
{
    if (entryCount++ == 0)
    {
        SetModuleHandle(EmbeddedModuleHandle());
        // Editors open as windows of this platform where the build has a class for it.
        PlatformEditor::Install();
    }
    return true;
}

bool ExitModule()
{
    if (entryCount.load() > 0)
        --entryCount;
    return true;
}

} // namespace

extern "C"
{

    VERDIGRIX_EXPORT IPluginFactory* PLUGIN_API GetPluginFactory()
    {
        std::lock_guard<std::mutex> guard(FactoryPointerLock());
        if (liveFactory != nullptr && liveFactory->tryAddRef())
            return liveFactory;
        auto* factory = new (std::nothrow) CPluginFactory(FactoryInfo());
        if (factory == nullptr)
            return nullptr;
        factory->setDestroyHook(ForgetFactory);
        if (!factory->registerClass(ClassInfo(), createEffectInstance))
        {
            factory->setDestroyHook(nullptr);
            factory->release();
            return nullptr;
        }
        liveFactory = factory;
        return factory;
    }

#if defined(_WIN32)
    /// Windows entry: the host calls it right after loading, before GetPluginFactory.
    VERDIGRIX_EXPORT bool InitDll()
    {
        return EnterModule();
    }
    /// Windows exit: called right before unloading.
    VERDIGRIX_EXPORT bool ExitDll()
    {
        return ExitModule();
    }
#else
    /// Linux entry: the host calls it after loading and before GetPluginFactory, with its
    /// library handle; the editor's resources are the ones embedded in this module.
    VERDIGRIX_EXPORT bool ModuleEntry(void*)
    {
        return EnterModule();
    }
    /// Linux exit: called before unloading.
    VERDIGRIX_EXPORT bool ModuleExit()
    {
        return ExitModule();
    }
#endif

} // extern "C"
