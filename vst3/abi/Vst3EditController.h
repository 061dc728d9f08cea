#pragma once

// VST3 binary interface, controller group: IEditController, parameter records, the component
// handlers and context menus, IUnitInfo and IMidiMapping.

#include "vst3/abi/Vst3AudioProcessor.h"
#include "vst3/abi/Vst3Factory.h"
#include "vst3/abi/Vst3Stream.h"

namespace vst3
{

class IPlugView;

using UnitID = int32;
using ProgramListID = int32;
using KnobMode = int32;
using CtrlNumber = int16;
using CString = const char8*;

inline constexpr UnitID kRootUnitId = 0;
inline constexpr UnitID kNoParentUnitId = -1;
inline constexpr ProgramListID kNoProgramListId = -1;

struct ParameterInfo
{
    enum ParameterFlags : int32
    {
        kNoFlags = 0,
        kCanAutomate = 1 << 0,
        kIsReadOnly = 1 << 1,
        kIsWrapAround = 1 << 2,
        kIsList = 1 << 3,
        kIsHidden = 1 << 4,
        kIsProgramChange = 1 << 15,
        kIsBypass = 1 << 16
    };
    ParamID id;
    String128 title;
    String128 shortTitle;
    String128 units;
    int32 stepCount;
    ParamValue defaultNormalizedValue;
    UnitID unitId;
    int32 flags;
};

enum RestartFlags : int32
{
    kReloadComponent = 1 << 0,
    kIoChanged = 1 << 1,
    kParamValuesChanged = 1 << 2,
    kLatencyChanged = 1 << 3,
    kParamTitlesChanged = 1 << 4,
    kMidiCCAssignmentChanged = 1 << 5,
    kNoteExpressionChanged = 1 << 6,
    kIoTitlesChanged = 1 << 7,
    kPrefetchableSupportChanged = 1 << 8,
    kRoutingInfoChanged = 1 << 9,
    kKeyswitchChanged = 1 << 10,
    kParamIDMappingChanged = 1 << 11
};

class IComponentHandler : public FUnknown
{
public:
    virtual tresult PLUGIN_API beginEdit(ParamID id) = 0;
    virtual tresult PLUGIN_API performEdit(ParamID id, ParamValue valueNormalized) = 0;
    virtual tresult PLUGIN_API endEdit(ParamID id) = 0;
    virtual tresult PLUGIN_API restartComponent(int32 flags) = 0;
    static constexpr Uid iid = MakeUid(0x93A0BEA3, 0x0BD045DB, 0x8E890B0C, 0xC1E46AC6);
};

class IComponentHandler2 : public FUnknown
{
public:
    virtual tresult PLUGIN_API setDirty(TBool state) = 0;
    virtual tresult PLUGIN_API requestOpenEditor(FIDString name) = 0;
    virtual tresult PLUGIN_API startGroupEdit() = 0;
    virtual tresult PLUGIN_API finishGroupEdit() = 0;
    static constexpr Uid iid = MakeUid(0xF040B4B3, 0xA36045EC, 0xABCDC045, 0xB4D5A2CC);
};

struct IContextMenuItem
{
    enum Flags : int32
    {
        kIsSeparator = 1 << 0,
        kIsDisabled = 1 << 1,
        kIsChecked = 1 << 2,
        kIsGroupStart = 1 << 3 | kIsDisabled,
        kIsGroupEnd = 1 << 4 | kIsSeparator
    };
    String128 name;
    int32 tag;
    int32 flags;
};

class IContextMenuTarget : public FUnknown
{
public:
    virtual tresult PLUGIN_API executeMenuItem(int32 tag) = 0;
    static constexpr Uid iid = MakeUid(0x3CDF2E75, 0x85D34144, 0xBF86D36B, 0xD7C4894D);
};

class IContextMenu : public FUnknown
{
public:
    using Item = IContextMenuItem;
    virtual int32 PLUGIN_API getItemCount() = 0;
    virtual tresult PLUGIN_API getItem(int32 index, Item& item, IContextMenuTarget** target) = 0;
    virtual tresult PLUGIN_API addItem(const Item& item, IContextMenuTarget* target) = 0;
    virtual tresult PLUGIN_API removeItem(const Item& item, IContextMenuTarget* target) = 0;
    virtual tresult PLUGIN_API popup(UCoord x, UCoord y) = 0;
    static constexpr Uid iid = MakeUid(0x2E93C863, 0x0C9C4588, 0x97DBECF5, 0xAD17817D);
};

class IComponentHandler3 : public FUnknown
{
public:
    virtual IContextMenu* PLUGIN_API createContextMenu(IPlugView* plugView,
                                                       const ParamID* paramID) = 0;
    static constexpr Uid iid = MakeUid(0x69F11617, 0xD26B400D, 0xA4B6B964, 0x7B6EBBAB);
};

class IEditController : public IPluginBase
{
public:
    virtual tresult PLUGIN_API setComponentState(IBStream* state) = 0;
    virtual tresult PLUGIN_API setState(IBStream* state) = 0;
    virtual tresult PLUGIN_API getState(IBStream* state) = 0;
    virtual int32 PLUGIN_API getParameterCount() = 0;
    virtual tresult PLUGIN_API getParameterInfo(int32 paramIndex, ParameterInfo& info) = 0;
    virtual tresult PLUGIN_API getParamStringByValue(ParamID id, ParamValue valueNormalized,
                                                     String128 string) = 0;
    virtual tresult PLUGIN_API getParamValueByString(ParamID id, TChar* string,
                                                     ParamValue& valueNormalized) = 0;
    virtual ParamValue PLUGIN_API normalizedParamToPlain(ParamID id,
                                                         ParamValue valueNormalized) = 0;
    virtual ParamValue PLUGIN_API plainParamToNormalized(ParamID id, ParamValue plainValue) = 0;
    virtual ParamValue PLUGIN_API getParamNormalized(ParamID id) = 0;
    virtual tresult PLUGIN_API setParamNormalized(ParamID id, ParamValue value) = 0;
    virtual tresult PLUGIN_API setComponentHandler(IComponentHandler* handler) = 0;
    virtual IPlugView* PLUGIN_API createView(FIDString name) = 0;
    static constexpr Uid iid = MakeUid(0xDCD7BBE3, 0x7742448D, 0xA874AACC, 0x979C759E);
};

class IEditController2 : public FUnknown
{
public:
    virtual tresult PLUGIN_API setKnobMode(KnobMode mode) = 0;
    virtual tresult PLUGIN_API openHelp(TBool onlyCheck) = 0;
    virtual tresult PLUGIN_API openAboutBox(TBool onlyCheck) = 0;
    static constexpr Uid iid = MakeUid(0x7F4EFE59, 0xF3204967, 0xAC27A3AE, 0xAFB63038);
};

struct UnitInfo
{
    UnitID id;
    UnitID parentUnitId;
    String128 name;
    ProgramListID programListId;
};

struct ProgramListInfo
{
    ProgramListID id;
    String128 name;
    int32 programCount;
};

class IUnitInfo : public FUnknown
{
public:
    virtual int32 PLUGIN_API getUnitCount() = 0;
    virtual tresult PLUGIN_API getUnitInfo(int32 unitIndex, UnitInfo& info) = 0;
    virtual int32 PLUGIN_API getProgramListCount() = 0;
    virtual tresult PLUGIN_API getProgramListInfo(int32 listIndex, ProgramListInfo& info) = 0;
    virtual tresult PLUGIN_API getProgramName(ProgramListID listId, int32 programIndex,
                                              String128 name) = 0;
    virtual tresult PLUGIN_API getProgramInfo(ProgramListID listId, int32 programIndex,
                                              CString attributeId, String128 attributeValue) = 0;
    virtual tresult PLUGIN_API hasProgramPitchNames(ProgramListID listId, int32 programIndex) = 0;
    virtual tresult PLUGIN_API getProgramPitchName(ProgramListID listId, int32 programIndex,
                                                   int16 midiPitch, String128 name) = 0;
    virtual UnitID PLUGIN_API getSelectedUnit() = 0;
    virtual tresult PLUGIN_API selectUnit(UnitID unitId) = 0;
    virtual tresult PLUGIN_API getUnitByBus(int32 type, int32 dir, int32 busIndex, int32 channel,
                                            UnitID& unitId) = 0;
    virtual tresult PLUGIN_API setUnitProgramData(int32 listOrUnitId, int32 programIndex,
                                                  IBStream* data) = 0;
    static constexpr Uid iid = MakeUid(0x3D4BD6B5, 0x913A4FD2, 0xA886E768, 0xA5EB92C1);
};

class IMidiMapping : public FUnknown
{
public:
    virtual tresult PLUGIN_API getMidiControllerAssignment(int32 busIndex, int16 channel,
                                                           CtrlNumber midiControllerNumber,
                                                           ParamID& id) = 0;
    static constexpr Uid iid = MakeUid(0xDF0FF9F7, 0x49B74669, 0xB63AB732, 0x7ADBF5E5);
};

static_assert(sizeof(ParameterInfo) == 792 && alignof(ParameterInfo) == 8);
static_assert(offsetof(ParameterInfo, title) == 4 && offsetof(ParameterInfo, shortTitle) == 260 &&
              offsetof(ParameterInfo, units) == 516 && offsetof(ParameterInfo, stepCount) == 772 &&
              offsetof(ParameterInfo, defaultNormalizedValue) == 776 &&
              offsetof(ParameterInfo, unitId) == 784 && offsetof(ParameterInfo, flags) == 788);
static_assert(sizeof(UnitInfo) == 268 && offsetof(UnitInfo, parentUnitId) == 4 &&
              offsetof(UnitInfo, name) == 8 && offsetof(UnitInfo, programListId) == 264);
static_assert(sizeof(ProgramListInfo) == 264 && offsetof(ProgramListInfo, name) == 4 &&
              offsetof(ProgramListInfo, programCount) == 260);
static_assert(sizeof(IContextMenuItem) == 264 && offsetof(IContextMenuItem, tag) == 256 &&
              offsetof(IContextMenuItem, flags) == 260);

} // namespace vst3
