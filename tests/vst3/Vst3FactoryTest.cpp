// The module's entry points and factory, through the real bundle.

#include "BundleFixture.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <cstring>
#include <fstream>

using namespace vst3;

namespace
{

using FactoryTest = BundleTest;

/// The 32-digit text form of an identifier in memory: the four words, read back with the
/// platform's byte rule (COM's GUID order on Windows, all big-endian elsewhere).
std::string HexOf(const char* bytes)
{
    static constexpr int kComOrder[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    std::string out;
    char digits[3];
    for (int i = 0; i < 16; ++i)
    {
        const int at = VST3_COM_COMPATIBLE ? kComOrder[i] : i;
        std::snprintf(digits, sizeof(digits), "%02X", static_cast<unsigned char>(bytes[at]));
        out += digits;
    }
    return out;
}

std::string Narrow16(const char16* text, std::size_t n)
{
    return Narrow(text, n);
}

TEST_F(FactoryTest, SecondGetPluginFactoryReturnsTheSameFactoryWithAnotherReference)
{
    auto getFactory = reinterpret_cast<GetFactoryProc>(module->Symbol("GetPluginFactory"));
    ASSERT_NE(getFactory, nullptr);
    IPluginFactory* again = getFactory();
    EXPECT_EQ(again, Factory());
    // The module object holds one reference, this call another.
    EXPECT_EQ(again->addRef(), 3u);
    EXPECT_EQ(again->release(), 2u);
    EXPECT_EQ(again->release(), 1u);
}

TEST_F(FactoryTest, ReleasingTheLastReferenceLetsTheNextCallBuildANewFactory)
{
    // Keep the library mapped while the host side lets go of the factory, so the module's
    // own record of its live factory is what the next call meets.
    SharedLibrary pin;
    ASSERT_TRUE(pin.Open(Vst3Module::LibraryPath(BundlePath()))) << pin.Error();
    auto plugin = NewPlugin();
    module->Unload(); // releases the only factory reference
    ASSERT_TRUE(module->Load(BundlePath()));
    EXPECT_EQ(Factory()->countClasses(), 1);
    EXPECT_EQ(Factory()->addRef(), 2u); // a fresh factory: only the module's reference
    Factory()->release();

    // An instance outlives the factory that made it.
    EXPECT_EQ(plugin->Parameters().size(), 12u);
    plugin.reset();
}

TEST_F(FactoryTest, DescribesTheFactoryAndItsOneClass)
{
    PFactoryInfo factoryInfo{};
    EXPECT_EQ(Factory()->getFactoryInfo(&factoryInfo), kResultOk);
    EXPECT_STREQ(factoryInfo.vendor, "Tamrok");
    EXPECT_EQ(factoryInfo.flags, PFactoryInfo::kUnicode);
    EXPECT_EQ(Factory()->getFactoryInfo(nullptr), kResultOk);
    EXPECT_EQ(Factory()->countClasses(), 1);

    PClassInfo info{};
    ASSERT_EQ(Factory()->getClassInfo(0, &info), kResultOk);
    // The four words F2AEE70D 00DE4F4E 'Tmrk' 'Vdgx'.
    EXPECT_EQ(HexOf(info.cid), "F2AEE70D00DE4F4E546D726B56646778");
    EXPECT_EQ(info.cardinality, PClassInfo::kManyInstances);
    EXPECT_STREQ(info.category, "Audio Module Class");
    EXPECT_STREQ(info.name, "Verdigrix");

    auto* factory2 = static_cast<IPluginFactory2*>(Factory());
    PClassInfo2 info2{};
    ASSERT_EQ(factory2->getClassInfo2(0, &info2), kResultOk);
    EXPECT_EQ(std::memcmp(info2.cid, info.cid, 16), 0);
    EXPECT_EQ(info2.classFlags, static_cast<uint32>(kSimpleModeSupported));
    EXPECT_STREQ(info2.subCategories, "Fx|Modulation");
    EXPECT_STREQ(info2.vendor, "");
    EXPECT_STREQ(info2.version, "1.1.0");
    EXPECT_STREQ(info2.sdkVersion, "VST 3.5.2");
    // Texts are zero-filled after their end.
    for (std::size_t i = std::strlen(info2.name); i < sizeof(info2.name); ++i)
        ASSERT_EQ(info2.name[i], '\0');

    auto* factory3 = static_cast<IPluginFactory3*>(Factory());
    PClassInfoW infoW{};
    ASSERT_EQ(factory3->getClassInfoUnicode(0, &infoW), kResultOk);
    EXPECT_EQ(Narrow16(infoW.name, 64), "Verdigrix");
    EXPECT_EQ(Narrow16(infoW.vendor, 64), "");
    EXPECT_EQ(Narrow16(infoW.version, 64), "1.1.0");
    EXPECT_EQ(Narrow16(infoW.sdkVersion, 64), "VST 3.5.2");
    EXPECT_STREQ(infoW.category, "Audio Module Class");
    EXPECT_STREQ(infoW.subCategories, "Fx|Modulation");
    EXPECT_EQ(infoW.classFlags, info2.classFlags);
}

TEST_F(FactoryTest, ClassQueriesCheckIndexAndPointer)
{
    auto* f = static_cast<IPluginFactory3*>(Factory());
    PClassInfo info{};
    PClassInfo2 info2{};
    PClassInfoW infoW{};
    for (int32 index : {1, -1, 100})
    {
        EXPECT_EQ(f->getClassInfo(index, &info), kInvalidArgument) << index;
        EXPECT_EQ(f->getClassInfo2(index, &info2), kInvalidArgument) << index;
        EXPECT_EQ(f->getClassInfoUnicode(index, &infoW), kInvalidArgument) << index;
    }
    EXPECT_EQ(f->getClassInfo(0, nullptr), kInvalidArgument);
    EXPECT_EQ(f->getClassInfo2(0, nullptr), kInvalidArgument);
    EXPECT_EQ(f->getClassInfoUnicode(0, nullptr), kInvalidArgument);
}

TEST_F(FactoryTest, CreateInstanceRefusesUnknownClassesAndForeignInterfaces)
{
    PClassInfo info{};
    ASSERT_EQ(Factory()->getClassInfo(0, &info), kResultOk);
    char otherCid[16];
    std::memcpy(otherCid, info.cid, 16);
    otherCid[15] ^= 0x20;

    void* obj = &info;
    EXPECT_EQ(Factory()->createInstance(otherCid, IComponent::iid.data(), &obj), kNoInterface);
    EXPECT_EQ(obj, nullptr);

    obj = &info;
    EXPECT_EQ(Factory()->createInstance(info.cid, IPluginFactory::iid.data(), &obj), kNoInterface);
    EXPECT_EQ(obj, nullptr);

    // Every interface of the object works as the class's entry; each call is a new object.
    void* a = nullptr;
    void* b = nullptr;
    ASSERT_EQ(Factory()->createInstance(info.cid, IEditController::iid.data(), &a), kResultOk);
    ASSERT_EQ(Factory()->createInstance(info.cid, IAudioProcessor::iid.data(), &b), kResultOk);
    EXPECT_NE(a, nullptr);
    EXPECT_NE(b, nullptr);
    void* aAsProcessor = nullptr;
    ASSERT_EQ(static_cast<IEditController*>(a)->queryInterface(IAudioProcessor::iid.data(),
                                                               &aAsProcessor),
              kResultOk);
    EXPECT_NE(aAsProcessor, b);
    static_cast<IAudioProcessor*>(aAsProcessor)->release();
    EXPECT_EQ(static_cast<IEditController*>(a)->release(), 0u);
    EXPECT_EQ(static_cast<IAudioProcessor*>(b)->release(), 0u);
}

TEST_F(FactoryTest, AnswersOnlyTheFactoryInterfaces)
{
    for (const Uid& iid :
         {FUnknown::iid, IPluginFactory::iid, IPluginFactory2::iid, IPluginFactory3::iid})
    {
        void* obj = nullptr;
        ASSERT_EQ(Factory()->queryInterface(iid.data(), &obj), kResultOk);
        EXPECT_EQ(obj, Factory());
        Factory()->release();
    }
    void* obj = Factory();
    EXPECT_EQ(Factory()->queryInterface(IPlugView::iid.data(), &obj), kNoInterface);
    EXPECT_EQ(obj, nullptr);
    EXPECT_EQ(static_cast<IPluginFactory3*>(Factory())->setHostContext(nullptr), kNotImplemented);
}

TEST_F(FactoryTest, BundleCarriesAModuleInfoMatchingTheFactory)
{
    std::ifstream file(BundlePath() + "/Contents/Resources/moduleinfo.json");
    ASSERT_TRUE(file.good());
    const auto info = nlohmann::json::parse(file);
    PClassInfo2 info2{};
    ASSERT_EQ(static_cast<IPluginFactory2*>(Factory())->getClassInfo2(0, &info2), kResultOk);
    EXPECT_EQ(info["Factory Info"]["Vendor"], "Tamrok");
    ASSERT_EQ(info["Classes"].size(), 1u);
    const auto& cls = info["Classes"][0];
    EXPECT_EQ(cls["CID"], HexOf(info2.cid));
    EXPECT_EQ(cls["Name"], info2.name);
    EXPECT_EQ(cls["Category"], info2.category);
    EXPECT_EQ(cls["Version"], info2.version);
    EXPECT_EQ(cls["Class Flags"], info2.classFlags);
    EXPECT_EQ(cls["Sub Categories"], nlohmann::json::array({"Fx", "Modulation"}));
}

TEST_F(FactoryTest, ExportsOnlyTheEntryPoints)
{
    const std::string entry = SharedLibrary::Vst3EntryName();
    const std::string exit = SharedLibrary::Vst3ExitName();
    for (const std::string& name : {std::string("GetPluginFactory"), entry, exit})
        EXPECT_NE(module->Symbol(name.c_str()), nullptr) << name;
    // Neither the other platform's entry and exit nor anything of ours.
    for (const char* name : {"ModuleEntry", "ModuleExit", "InitDll", "ExitDll",
                             "SetModuleHandle", "CurrentModuleHandle", "main"})
    {
        if (name != entry && name != exit)
        {
            EXPECT_EQ(module->Symbol(name), nullptr) << name;
        }
    }
}

} // namespace
