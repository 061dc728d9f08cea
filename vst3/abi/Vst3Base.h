#pragma once

// VST3 binary interface, basic group: scalar types, result codes, identifiers and FUnknown.
// Declared by us from the published interface facts; every layout is checked below and in
// the identifier tests. Interfaces are classes of pure virtuals only (no destructor), so the
// vtable slots follow declaration order on both the Itanium and the MSVC ABI.

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#define VST3_COM_COMPATIBLE 1
#define PLUGIN_API __stdcall
#else
#define VST3_COM_COMPATIBLE 0
#define PLUGIN_API
#endif

namespace vst3
{

using int8 = char;
using uint8 = uint8_t;
using int16 = int16_t;
using uint16 = uint16_t;
using int32 = int32_t;
using uint32 = uint32_t;
using int64 = int64_t;
using uint64 = uint64_t;
using tresult = int32;
using TSize = int64;
using TBool = uint8;
using char8 = char;
using char16 = char16_t;
using TChar = char16;
using String128 = TChar[128];
using TUID = char[16];
using FIDString = const char8*;
using UCoord = int32;

#if VST3_COM_COMPATIBLE
inline constexpr tresult kNoInterface = static_cast<tresult>(0x80004002L);
inline constexpr tresult kResultOk = 0;
inline constexpr tresult kResultTrue = kResultOk;
inline constexpr tresult kResultFalse = 1;
inline constexpr tresult kInvalidArgument = static_cast<tresult>(0x80070057L);
inline constexpr tresult kNotImplemented = static_cast<tresult>(0x80004001L);
inline constexpr tresult kInternalError = static_cast<tresult>(0x80004005L);
inline constexpr tresult kNotInitialized = static_cast<tresult>(0x8000FFFFL);
inline constexpr tresult kOutOfMemory = static_cast<tresult>(0x8007000EL);
#else
inline constexpr tresult kNoInterface = -1;
inline constexpr tresult kResultOk = 0;
inline constexpr tresult kResultTrue = kResultOk;
inline constexpr tresult kResultFalse = 1;
inline constexpr tresult kInvalidArgument = 2;
inline constexpr tresult kNotImplemented = 3;
inline constexpr tresult kInternalError = 4;
inline constexpr tresult kNotInitialized = 5;
inline constexpr tresult kOutOfMemory = 6;
#endif

/// A 16-byte identifier in memory order, usable in constant expressions.
struct Uid
{
    char bytes[16];

    /// Pointer form as the interfaces pass it (TUID / FIDString).
    const char* data() const { return bytes; }
};

/// Builds the memory bytes of an identifier from its four published words: with `comLayout`
/// the GUID layout of Windows (first word little-endian, second word as two little-endian
/// halves, high half first, last two words big-endian), otherwise all words big-endian.
constexpr Uid MakeUidLayout(bool comLayout, uint32 l1, uint32 l2, uint32 l3, uint32 l4)
{
    Uid u{};
    auto put = [&u](int at, uint32 word)
    {
        u.bytes[at] = static_cast<char>((word >> 24) & 0xFF);
        u.bytes[at + 1] = static_cast<char>((word >> 16) & 0xFF);
        u.bytes[at + 2] = static_cast<char>((word >> 8) & 0xFF);
        u.bytes[at + 3] = static_cast<char>(word & 0xFF);
    };
    if (comLayout)
    {
        u.bytes[0] = static_cast<char>(l1 & 0xFF);
        u.bytes[1] = static_cast<char>((l1 >> 8) & 0xFF);
        u.bytes[2] = static_cast<char>((l1 >> 16) & 0xFF);
        u.bytes[3] = static_cast<char>((l1 >> 24) & 0xFF);
        u.bytes[4] = static_cast<char>((l2 >> 16) & 0xFF);
        u.bytes[5] = static_cast<char>((l2 >> 24) & 0xFF);
        u.bytes[6] = static_cast<char>(l2 & 0xFF);
        u.bytes[7] = static_cast<char>((l2 >> 8) & 0xFF);
    }
    else
    {
        put(0, l1);
        put(4, l2);
    }
    put(8, l3);
    put(12, l4);
    return u;
}

/// The identifier's bytes with this platform's rule.
constexpr Uid MakeUid(uint32 l1, uint32 l2, uint32 l3, uint32 l4)
{
    return MakeUidLayout(VST3_COM_COMPATIBLE != 0, l1, l2, l3, l4);
}

/// Compares two identifiers as 16 raw bytes; a null pointer equals nothing.
inline bool IidEqual(const void* a, const Uid& b)
{
    if (a == nullptr)
        return false;
    const auto* p = static_cast<const char*>(a);
    for (int i = 0; i < 16; ++i)
        if (p[i] != b.bytes[i])
            return false;
    return true;
}

class FUnknown
{
public:
    virtual tresult PLUGIN_API queryInterface(const TUID iid, void** obj) = 0;
    virtual uint32 PLUGIN_API addRef() = 0;
    virtual uint32 PLUGIN_API release() = 0;
    static constexpr Uid iid = MakeUid(0x00000000, 0x00000000, 0xC0000000, 0x00000046);
};

/// Change notifications between objects; FObject answers for it and ignores every call.
class IDependent : public FUnknown
{
public:
    virtual void PLUGIN_API update(FUnknown* changedUnknown, int32 message) = 0;
    static constexpr Uid iid = MakeUid(0xF52B7AAE, 0xDE72416D, 0x8AF18ACE, 0x9DD7BD5E);
    enum ChangeMessage
    {
        kWillChange,
        kChanged,
        kDestroyed,
        kWillDestroy
    };
};

static_assert(sizeof(TBool) == 1 && sizeof(TChar) == 2 && sizeof(String128) == 256);
static_assert(sizeof(TUID) == 16 && sizeof(Uid) == 16);

} // namespace vst3
