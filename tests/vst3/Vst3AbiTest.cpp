// The hand-declared interface identifiers and result codes against the published facts
// (the Linux byte rule, all four words big-endian, or the GUID layout on Windows). Struct layouts are checked where declared.

#include "vst3/abi/Vst3AudioProcessor.h"
#include "vst3/abi/Vst3Component.h"
#include "vst3/abi/Vst3EditController.h"
#include "vst3/abi/Vst3Factory.h"
#include "vst3/abi/Vst3Stream.h"
#include "vst3/abi/Vst3View.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

using namespace vst3;

namespace
{

std::string Hex(const Uid& uid)
{
    std::string out;
    char digits[3];
    for (int i = 0; i < 16; ++i)
    {
        std::snprintf(digits, sizeof(digits), "%02X", static_cast<unsigned char>(uid.bytes[i]));
        out += digits;
    }
    return out;
}

struct IidCase
{
    const char* name;
    Uid uid;
    const char* linuxBytes;
};

const IidCase kIids[] = {
    {"FUnknown", FUnknown::iid, "0000000000000000C000000000000046"},
    {"IPluginBase", IPluginBase::iid, "22888DDB156E45AE8358B34808190625"},
    {"IPluginFactory", IPluginFactory::iid, "7A4D811C52114A1FAED9D2EE0B43BF9F"},
    {"IPluginFactory2", IPluginFactory2::iid, "0007B650F24B4C0BA464EDB9F00B2ABB"},
    {"IPluginFactory3", IPluginFactory3::iid, "4555A2ABC1234E579B12291036878931"},
    {"IComponent", IComponent::iid, "E831FF31F2D54301928EBBEE25697802"},
    {"IAudioProcessor", IAudioProcessor::iid, "42043F99B7DA453CA569E79D9AAEC33D"},
    {"IProcessContextRequirements", IProcessContextRequirements::iid,
     "2A654303EF764E3D95B5FE83730EF6D0"},
    {"IEditController", IEditController::iid, "DCD7BBE37742448DA874AACC979C759E"},
    {"IEditController2", IEditController2::iid, "7F4EFE59F3204967AC27A3AEAFB63038"},
    {"IUnitInfo", IUnitInfo::iid, "3D4BD6B5913A4FD2A886E768A5EB92C1"},
    {"IMidiMapping", IMidiMapping::iid, "DF0FF9F749B74669B63AB7327ADBF5E5"},
    {"IConnectionPoint", IConnectionPoint::iid, "70A4156F6E6E4026989148BFAA60D8D1"},
    {"IDependent", IDependent::iid, "F52B7AAEDE72416D8AF18ACE9DD7BD5E"},
    {"IPlugView", IPlugView::iid, "5BC32507D06049EAA6151B522B755B29"},
    {"IPlugFrame", IPlugFrame::iid, "367FAF01AFA946938D4DA2A0ED0882A3"},
    {"IPlugViewContentScaleSupport", IPlugViewContentScaleSupport::iid,
     "65ED96908AC445258AADEF7A72EA703F"},
    {"IComponentHandler", IComponentHandler::iid, "93A0BEA30BD045DB8E890B0CC1E46AC6"},
    {"IComponentHandler2", IComponentHandler2::iid, "F040B4B3A36045ECABCDC045B4D5A2CC"},
    {"IComponentHandler3", IComponentHandler3::iid, "69F11617D26B400DA4B6B9647B6EBBAB"},
    {"IContextMenu", IContextMenu::iid, "2E93C8630C9C458897DBECF5AD17817D"},
    {"IContextMenuTarget", IContextMenuTarget::iid, "3CDF2E7585D34144BF86D36BD7C4894D"},
    {"IHostApplication", IHostApplication::iid, "58E595CCDB2D49698B6AAF8C36A664E5"},
    {"IBStream", IBStream::iid, "C3BF6EA2309947529B6BF9901EE33E9B"},
    {"ISizeableStream", ISizeableStream::iid, "04F9549EE02F4E6E87E86A8747F4E17F"},
    {"IParameterChanges", IParameterChanges::iid, "A47796630BB64A56B44384A8466FEB9D"},
    {"IParamValueQueue", IParamValueQueue::iid, "01263A18ED074F6F98C9D3564686F9BA"},
    {"IEventList", IEventList::iid, "3A2C4214346349FEB2C4F397B9695A44"},
    {"IAttributeList", IAttributeList::iid, "1E5F0AEBCC7F4533A254401138AD5EE4"},
    {"IMessage", IMessage::iid, "936F033BC6C047DBBB0882F813C1E613"},
    {"IRunLoop", Linux::IRunLoop::iid, "18C3536697764F1A9C5B83857A871389"},
    {"IEventHandler", Linux::IEventHandler::iid, "561E65C913A0496F813A2C35654D7983"},
    {"ITimerHandler", Linux::ITimerHandler::iid, "10BDD94F41424774821FAD8FECA72CA9"},
};

/// The bytes of the same four words on this platform: the Linux text as is, or reordered into
/// the GUID layout (first word and the two halves of the second little-endian) on Windows.
std::string PlatformBytes(const std::string& linuxBytes)
{
    if (!VST3_COM_COMPATIBLE)
        return linuxBytes;
    std::string out = linuxBytes;
    for (int byte : {0, 1, 2, 3})
        out.replace(2 * byte, 2, linuxBytes.substr(2 * (3 - byte), 2));
    for (int byte : {4, 5, 6, 7})
        out.replace(2 * byte, 2, linuxBytes.substr(2 * (byte ^ 1), 2));
    return out;
}

TEST(Vst3Abi, InterfaceIdentifierBytesFollowThePlatformRule)
{
    for (const IidCase& c : kIids)
        EXPECT_EQ(Hex(c.uid), PlatformBytes(c.linuxBytes)) << c.name;
}

TEST(Vst3Abi, WindowsBuildsUseTheGuidByteLayoutForTheSameWords)
{
    // The sheet's worked example, and the class identifier of this plug-in, whose Windows
    // bytes are 0D E7 AE F2 DE 00 4E 4F 'Tmrk' 'Vdgx'.
    EXPECT_EQ(Hex(MakeUidLayout(true, 0x22888DDB, 0x156E45AE, 0x8358B348, 0x08190625)),
              "DB8D88226E15AE458358B34808190625");
    EXPECT_EQ(Hex(MakeUidLayout(true, 0xF2AEE70D, 0x00DE4F4E, 0x546D726B, 0x56646778)),
              "0DE7AEF2DE004E4F546D726B56646778");
    EXPECT_EQ(Hex(MakeUidLayout(true, 0, 0, 0xC0000000, 0x46)), Hex(FUnknown::iid));
}

TEST(Vst3Abi, IdentifierComparisonUsesAllSixteenBytes)
{
    Uid almost = IPluginBase::iid;
    almost.bytes[15] ^= 1;
    EXPECT_TRUE(IidEqual(IPluginBase::iid.data(), IPluginBase::iid));
    EXPECT_FALSE(IidEqual(almost.data(), IPluginBase::iid));
    EXPECT_FALSE(IidEqual(nullptr, IPluginBase::iid));
}

TEST(Vst3Abi, ResultCodesAreThePlatformValues)
{
#if VST3_COM_COMPATIBLE
    EXPECT_EQ(kResultOk, 0);
    EXPECT_EQ(kResultFalse, 1);
    EXPECT_EQ(kNoInterface, static_cast<tresult>(0x80004002u));
    EXPECT_EQ(kInvalidArgument, static_cast<tresult>(0x80070057u));
    EXPECT_EQ(kNotImplemented, static_cast<tresult>(0x80004001u));
    EXPECT_EQ(kInternalError, static_cast<tresult>(0x80004005u));
    EXPECT_EQ(kNotInitialized, static_cast<tresult>(0x8000FFFFu));
    EXPECT_EQ(kOutOfMemory, static_cast<tresult>(0x8007000Eu));
    return;
#endif
    EXPECT_EQ(kResultOk, 0);
    EXPECT_EQ(kResultTrue, 0);
    EXPECT_EQ(kResultFalse, 1);
    EXPECT_EQ(kNoInterface, -1);
    EXPECT_EQ(kInvalidArgument, 2);
    EXPECT_EQ(kNotImplemented, 3);
    EXPECT_EQ(kInternalError, 4);
    EXPECT_EQ(kNotInitialized, 5);
    EXPECT_EQ(kOutOfMemory, 6);
}

TEST(Vst3Abi, VirtualSlotsFollowDeclarationOrder)
{
    // A vtable slot is the method's index in declaration order: spot-check the last slots of
    // the long interfaces through member-pointer offsets (Itanium: offset = 8 * slot + 1).
    auto slot = [](auto member)
    {
        std::size_t raw = 0;
        static_assert(sizeof(member) >= sizeof(raw));
        std::memcpy(&raw, &member, sizeof(raw));
        return (raw - 1) / 8;
    };
    EXPECT_EQ(slot(&IComponent::getState), 13u);
    EXPECT_EQ(slot(&IAudioProcessor::getTailSamples), 10u);
    EXPECT_EQ(slot(&IEditController::createView), 17u);
    EXPECT_EQ(slot(&IUnitInfo::setUnitProgramData), 14u);
    EXPECT_EQ(slot(&IPlugView::checkSizeConstraint), 14u);
    EXPECT_EQ(slot(&IPluginFactory3::setHostContext), 9u);
    EXPECT_EQ(slot(&IBStream::tell), 6u);
    EXPECT_EQ(slot(&IParamValueQueue::addPoint), 6u);
}

} // namespace
