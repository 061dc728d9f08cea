#pragma once

// VST3 binary interface, view group: IPlugView, IPlugFrame, content scaling and the Linux
// run loop interfaces.

#include "vst3/abi/Vst3Base.h"

namespace vst3
{

struct ViewRect
{
    int32 left;
    int32 top;
    int32 right;
    int32 bottom;
    int32 getWidth() const { return right - left; }
    int32 getHeight() const { return bottom - top; }
};

inline constexpr FIDString kPlatformTypeHWND = "HWND";
inline constexpr FIDString kPlatformTypeX11EmbedWindowID = "X11EmbedWindowID";
inline constexpr FIDString kEditorViewType = "editor";

class IPlugFrame;

class IPlugView : public FUnknown
{
public:
    virtual tresult PLUGIN_API isPlatformTypeSupported(FIDString type) = 0;
    virtual tresult PLUGIN_API attached(void* parent, FIDString type) = 0;
    virtual tresult PLUGIN_API removed() = 0;
    virtual tresult PLUGIN_API onWheel(float distance) = 0;
    virtual tresult PLUGIN_API onKeyDown(char16 key, int16 keyCode, int16 modifiers) = 0;
    virtual tresult PLUGIN_API onKeyUp(char16 key, int16 keyCode, int16 modifiers) = 0;
    virtual tresult PLUGIN_API getSize(ViewRect* size) = 0;
    virtual tresult PLUGIN_API onSize(ViewRect* newSize) = 0;
    virtual tresult PLUGIN_API onFocus(TBool state) = 0;
    virtual tresult PLUGIN_API setFrame(IPlugFrame* frame) = 0;
    virtual tresult PLUGIN_API canResize() = 0;
    virtual tresult PLUGIN_API checkSizeConstraint(ViewRect* rect) = 0;
    static constexpr Uid iid = MakeUid(0x5BC32507, 0xD06049EA, 0xA6151B52, 0x2B755B29);
};

class IPlugFrame : public FUnknown
{
public:
    virtual tresult PLUGIN_API resizeView(IPlugView* view, ViewRect* newSize) = 0;
    static constexpr Uid iid = MakeUid(0x367FAF01, 0xAFA94693, 0x8D4DA2A0, 0xED0882A3);
};

class IPlugViewContentScaleSupport : public FUnknown
{
public:
    using ScaleFactor = float;
    virtual tresult PLUGIN_API setContentScaleFactor(ScaleFactor factor) = 0;
    static constexpr Uid iid = MakeUid(0x65ED9690, 0x8AC44525, 0x8AADEF7A, 0x72EA703F);
};

namespace Linux
{
using TimerInterval = uint64;
using FileDescriptor = int;

class IEventHandler : public FUnknown
{
public:
    virtual void PLUGIN_API onFDIsSet(FileDescriptor fd) = 0;
    static constexpr Uid iid = MakeUid(0x561E65C9, 0x13A0496F, 0x813A2C35, 0x654D7983);
};

class ITimerHandler : public FUnknown
{
public:
    virtual void PLUGIN_API onTimer() = 0;
    static constexpr Uid iid = MakeUid(0x10BDD94F, 0x41424774, 0x821FAD8F, 0xECA72CA9);
};

class IRunLoop : public FUnknown
{
public:
    virtual tresult PLUGIN_API registerEventHandler(IEventHandler* handler, FileDescriptor fd) = 0;
    virtual tresult PLUGIN_API unregisterEventHandler(IEventHandler* handler) = 0;
    virtual tresult PLUGIN_API registerTimer(ITimerHandler* handler,
                                             TimerInterval milliseconds) = 0;
    virtual tresult PLUGIN_API unregisterTimer(ITimerHandler* handler) = 0;
    static constexpr Uid iid = MakeUid(0x18C35366, 0x97764F1A, 0x9C5B8385, 0x7A871389);
};
} // namespace Linux

static_assert(sizeof(ViewRect) == 16 && offsetof(ViewRect, top) == 4 &&
              offsetof(ViewRect, right) == 8 && offsetof(ViewRect, bottom) == 12);

} // namespace vst3
