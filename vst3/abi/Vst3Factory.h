#pragma once

// VST3 binary interface, module group: IPluginBase, the factory interfaces and their records.

#include "vst3/abi/Vst3Base.h"

namespace vst3
{

class IPluginBase : public FUnknown
{
public:
    /// [ui thread] The context should answer IHostApplication. A failed result makes the
    /// host release the object without calling terminate.
    virtual tresult PLUGIN_API initialize(FUnknown* context) = 0;
    /// [ui thread] Releases every host interface.
    virtual tresult PLUGIN_API terminate() = 0;
    static constexpr Uid iid = MakeUid(0x22888DDB, 0x156E45AE, 0x8358B348, 0x08190625);
};

struct PFactoryInfo
{
    enum FactoryFlags
    {
        kNoFlags = 0,
        kClassesDiscardable = 1 << 0,
        kLicenseCheck = 1 << 1,
        kComponentNonDiscardable = 1 << 3,
        kUnicode = 1 << 4
    };
    enum
    {
        kURLSize = 256,
        kEmailSize = 128,
        kNameSize = 64
    };
    char8 vendor[kNameSize];
    char8 url[kURLSize];
    char8 email[kEmailSize];
    int32 flags;
};

struct PClassInfo
{
    enum ClassCardinality
    {
        kManyInstances = 0x7FFFFFFF
    };
    enum
    {
        kCategorySize = 32,
        kNameSize = 64
    };
    TUID cid;
    int32 cardinality;
    char8 category[kCategorySize];
    char8 name[kNameSize];
};

enum ComponentFlags
{
    kDistributable = 1 << 0,
    kSimpleModeSupported = 1 << 1
};

struct PClassInfo2
{
    enum
    {
        kVendorSize = 64,
        kVersionSize = 64,
        kSubCategoriesSize = 128
    };
    TUID cid;
    int32 cardinality;
    char8 category[PClassInfo::kCategorySize];
    char8 name[PClassInfo::kNameSize];
    uint32 classFlags;
    char8 subCategories[kSubCategoriesSize];
    char8 vendor[kVendorSize];
    char8 version[kVersionSize];
    char8 sdkVersion[kVersionSize];
};

struct PClassInfoW
{
    TUID cid;
    int32 cardinality;
    char8 category[PClassInfo::kCategorySize];
    char16 name[PClassInfo::kNameSize];
    uint32 classFlags;
    char8 subCategories[PClassInfo2::kSubCategoriesSize];
    char16 vendor[PClassInfo2::kVendorSize];
    char16 version[PClassInfo2::kVersionSize];
    char16 sdkVersion[PClassInfo2::kVersionSize];
};

class IPluginFactory : public FUnknown
{
public:
    virtual tresult PLUGIN_API getFactoryInfo(PFactoryInfo* info) = 0;
    virtual int32 PLUGIN_API countClasses() = 0;
    virtual tresult PLUGIN_API getClassInfo(int32 index, PClassInfo* info) = 0;
    /// `cid` and `iid` point at 16-byte identifiers (not zero-terminated).
    virtual tresult PLUGIN_API createInstance(FIDString cid, FIDString iid, void** obj) = 0;
    static constexpr Uid iid = MakeUid(0x7A4D811C, 0x52114A1F, 0xAED9D2EE, 0x0B43BF9F);
};

class IPluginFactory2 : public IPluginFactory
{
public:
    virtual tresult PLUGIN_API getClassInfo2(int32 index, PClassInfo2* info) = 0;
    static constexpr Uid iid = MakeUid(0x0007B650, 0xF24B4C0B, 0xA464EDB9, 0xF00B2ABB);
};

class IPluginFactory3 : public IPluginFactory2
{
public:
    virtual tresult PLUGIN_API getClassInfoUnicode(int32 index, PClassInfoW* info) = 0;
    virtual tresult PLUGIN_API setHostContext(FUnknown* context) = 0;
    static constexpr Uid iid = MakeUid(0x4555A2AB, 0xC1234E57, 0x9B122910, 0x36878931);
};

/// The exported factory entry point's type.
using GetFactoryProc = IPluginFactory*(PLUGIN_API*)();

static_assert(sizeof(PFactoryInfo) == 452 && alignof(PFactoryInfo) == 4);
static_assert(offsetof(PFactoryInfo, url) == 64 && offsetof(PFactoryInfo, email) == 320 &&
              offsetof(PFactoryInfo, flags) == 448);
static_assert(sizeof(PClassInfo) == 116 && alignof(PClassInfo) == 4);
static_assert(offsetof(PClassInfo, cardinality) == 16 && offsetof(PClassInfo, category) == 20 &&
              offsetof(PClassInfo, name) == 52);
static_assert(sizeof(PClassInfo2) == 440 && alignof(PClassInfo2) == 4);
static_assert(offsetof(PClassInfo2, classFlags) == 116 &&
              offsetof(PClassInfo2, subCategories) == 120 && offsetof(PClassInfo2, vendor) == 248 &&
              offsetof(PClassInfo2, version) == 312 && offsetof(PClassInfo2, sdkVersion) == 376);
static_assert(sizeof(PClassInfoW) == 696 && alignof(PClassInfoW) == 4);
static_assert(offsetof(PClassInfoW, category) == 20 && offsetof(PClassInfoW, name) == 52 &&
              offsetof(PClassInfoW, classFlags) == 180 &&
              offsetof(PClassInfoW, subCategories) == 184 && offsetof(PClassInfoW, vendor) == 312 &&
              offsetof(PClassInfoW, version) == 440 && offsetof(PClassInfoW, sdkVersion) == 568);

} // namespace vst3
