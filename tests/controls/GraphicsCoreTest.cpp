// The editor object without a window: repaint cycle, event routing, values between
// controls and parameters, menus and text entry; and the control base's own rules.

#include "TestPlugin.h"

#include "framework/IParameter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <limits>
#include <thread>

namespace
{
// A control that records what reaches it.
class ProbeControl : public IControl
{
public:
    ProbeControl(IEffectBase* plugin, const IRectangle& bounds, int parameterIndex = -1)
        : IControl(plugin, bounds, parameterIndex)
    {
    }
    bool Paint(IGraphics&) override
    {
        ++paints;
        return true;
    }
    void MousePressed(int x, int y, const IMouseState& buttons) override
    {
        events.push_back("press " + std::to_string(x) + "," + std::to_string(y));
        IControl::MousePressed(x, y, buttons);
    }
    void MouseReleased(int x, int y, const IMouseState&) override
    {
        events.push_back("release " + std::to_string(x) + "," + std::to_string(y));
    }
    void MouseDragged(int x, int y, int dx, int dy, const IMouseState&) override
    {
        events.push_back("drag " + std::to_string(x) + "," + std::to_string(y) + " " +
                         std::to_string(dx) + "," + std::to_string(dy));
    }
    void MouseWheeled(int, int, const IMouseState&, int notches) override
    {
        events.push_back("wheel " + std::to_string(notches));
    }
    void MouseDoubleClicked(int x, int y, const IMouseState& buttons) override
    {
        events.push_back("double");
        IControl::MouseDoubleClicked(x, y, buttons);
    }
    bool KeyPressed(int, int, int code) override
    {
        events.push_back("key " + std::to_string(code));
        return true;
    }
    void MouseHovering(int, int, const IMouseState&) override { events.push_back("hover"); }
    void MouseLeft() override { events.push_back("left"); }

    int paints = 0;
    std::vector<std::string> events;
};

struct Core : EditorFixture
{
    using EditorFixture::EditorFixture;

    ProbeControl* Probe(const IRectangle& bounds, int parameterIndex = -1)
    {
        return Add(std::make_unique<ProbeControl>(&plugin, bounds, parameterIndex));
    }
    /// Runs ticks until nothing is dirty; answers how many painted.
    int Settle()
    {
        int painted = 0;
        while (graphics->Tick())
            ++painted;
        return painted;
    }
};

using Log = std::vector<std::string>;
} // namespace

// ---- Repaint cycle ----

TEST(RepaintCycle, OneInvalidationRepaintsOnTwoTicksThenIdleEverySecondCleanTick)
{
    Core core;
    ProbeControl* probe = core.Probe({10, 10, 20, 20});
    core.Attach();
    core.Settle();
    probe->paints = 0;

    probe->Invalidate(false);
    EXPECT_TRUE(core.graphics->Tick());
    EXPECT_TRUE(core.graphics->Tick());
    EXPECT_FALSE(core.graphics->Tick());
    EXPECT_EQ(probe->paints, 2);

    // Clean ticks 1, 2, 3, 4: the idle hook runs on 2 and 4, never twice in a row.
    core.plugin.idleCalls = 0;
    std::vector<int> idleAfter;
    for (int tick = 0; tick < 4; ++tick)
    {
        core.graphics->Tick();
        idleAfter.push_back(core.plugin.idleCalls);
    }
    EXPECT_EQ(idleAfter, (std::vector<int>{1, 1, 2, 2}));
}

TEST(RepaintCycle, AreaIsTheUnionOfNonEmptyDirtyBounds)
{
    Core core;
    core.Probe({10, 20, 30, 40});
    core.Probe({50, 5, 60, 25});
    core.Probe({0, 0, 0, 0}); // dirty but empty: adds nothing
    core.Attach();
    IRectangle area;
    ASSERT_TRUE(core.graphics->FindDirtyArea(area));
    EXPECT_EQ(area, (IRectangle{10, 5, 60, 40}));
}

TEST(RepaintCycle, RedrawPaintsOverlappingVisibleControlsAndMarksAllPainted)
{
    Core core;
    ProbeControl* inside = core.Probe({0, 0, 10, 10});
    ProbeControl* touching = core.Probe({20, 20, 30, 30}); // area's right edge counts
    ProbeControl* outside = core.Probe({40, 40, 50, 50});
    ProbeControl* hidden = core.Probe({0, 0, 10, 10});
    hidden->SetHidden(true);
    core.Attach();
    core.graphics->RedrawArea({0, 0, 20, 20});
    EXPECT_EQ(inside->paints, 1);
    EXPECT_EQ(touching->paints, 1);
    EXPECT_EQ(outside->paints, 0);
    EXPECT_EQ(hidden->paints, 0);
    EXPECT_EQ(core.graphics->PaintCount(), 1);
    // Painted or not, each took its repaint-pending flag as the new dirty flag.
    EXPECT_FALSE(outside->NeedsPaint());
    outside->Invalidate(false);
    core.graphics->RedrawArea({0, 0, 20, 20});
    EXPECT_TRUE(outside->NeedsPaint());
}

// Controls whose picture never changes are drawn once into the static layer; repaints copy
// it. A static control above a changing one keeps being painted, in its place in the order.
TEST(RepaintCycle, StaticLayerPaintsUnchangingControlsOnlyWhenTheyChange)
{
    Core core;
    ProbeControl* background = core.Probe({0, 0, 500, 450});
    ProbeControl* changing = core.Probe({10, 10, 100, 100});
    ProbeControl* caption = core.Probe({120, 10, 200, 30});
    ProbeControl* above = core.Probe({50, 50, 150, 150});
    for (ProbeControl* c : {background, caption, above})
        c->staticPicture = true;
    core.Attach();
    core.Settle();
    const auto reset = [&]
    {
        for (ProbeControl* c : {background, changing, caption, above})
            c->paints = 0;
    };

    reset();
    changing->Invalidate(false);
    core.Settle();
    EXPECT_GT(changing->paints, 0);
    EXPECT_GT(above->paints, 0);
    EXPECT_EQ(background->paints, 0);
    EXPECT_EQ(caption->paints, 0);

    // A static control marked dirty renews the layer, for as long as it needs painting.
    reset();
    caption->Invalidate(false);
    core.Settle();
    EXPECT_GT(caption->paints, 0);
    EXPECT_EQ(background->paints, caption->paints);
    reset();
    changing->Invalidate(false);
    core.Settle();
    EXPECT_EQ(background->paints, 0);

    // Without the layer every control under the area paints.
    core.graphics->staticLayerCache = false;
    reset();
    changing->Invalidate(false);
    core.Settle();
    EXPECT_GT(background->paints, 0);
}

TEST(RepaintCycle, EmptyEditorDoesNothing)
{
    Core core;
    core.Attach();
    core.graphics->RedrawArea({0, 0, 500, 450});
    EXPECT_EQ(core.graphics->PaintCount(), 0);
    core.graphics->RoutePress(10, 10, Left());
    EXPECT_EQ(core.graphics->captureIndex, -1);
}

// ---- Routing ----

TEST(Routing, TopmostVisibleUngrayedControlTakesPressesWheelAndKeys)
{
    Core core;
    ProbeControl* background = core.Probe({0, 0, 500, 450});
    ProbeControl* below = core.Probe({10, 10, 50, 50});
    ProbeControl* above = core.Probe({10, 10, 50, 50});
    core.Attach();

    core.graphics->RoutePress(20, 20, Left());
    core.graphics->RouteRelease(20, 20, Left());
    core.graphics->RouteWheel(20, 20, {}, 2);
    EXPECT_TRUE(core.graphics->RouteKey('a', 20, 20));
    EXPECT_EQ(above->events, (Log{"press 20,20", "release 20,20", "wheel 2", "key 15"}));
    EXPECT_TRUE(below->events.empty());

    above->SetGrayed(true);
    core.graphics->RoutePress(20, 20, Left());
    core.graphics->RouteRelease(20, 20, Left());
    EXPECT_EQ(below->events, (Log{"press 20,20", "release 20,20"}));

    below->SetHidden(true);
    core.graphics->RoutePress(20, 20, Left());
    EXPECT_EQ(core.graphics->captureIndex, background->controlIndex);
    // The background never takes keys: they go back to the host.
    core.graphics->RouteRelease(20, 20, Left());
    EXPECT_FALSE(core.graphics->RouteKey('A', 20, 20));
    EXPECT_TRUE(background->events.size() == 2);
}

TEST(Routing, KeyTable)
{
    Core core;
    core.Probe({0, 0, 500, 450});
    ProbeControl* probe = core.Probe({0, 0, 100, 100});
    core.Attach();
    for (int key : {32, 38, 40, 37, 39, 48, 57, 65, 90, 97, 122})
        EXPECT_TRUE(core.graphics->RouteKey(key, 5, 5)) << key;
    EXPECT_FALSE(core.graphics->RouteKey(13, 5, 5));
    EXPECT_FALSE(core.graphics->RouteKey('A', 200, 200)); // over the background only
    EXPECT_EQ(probe->events, (Log{"key 0", "key 1", "key 2", "key 3", "key 4", "key 5", "key 14",
                                  "key 15", "key 40", "key 15", "key 40"}));
}

TEST(Routing, BoundControlGestureFramesThePressAndRelease)
{
    Core core;
    ProbeControl* probe = core.Probe({0, 0, 100, 100}, TestPlugin::kLevel);
    core.Attach();
    core.graphics->RoutePress(5, 5, Left());
    core.graphics->RouteDrag(5, 9, Left());
    core.graphics->RouteRelease(5, 9, Left());
    EXPECT_EQ(core.plugin.log, (Log{"begin 4", "end 4"}));
    EXPECT_EQ(probe->events, (Log{"press 5,5", "drag 5,9 0,4", "release 5,9"}));
}

TEST(Routing, AWheelNotchOnABoundControlIsAGestureOfItsOwnUnlessAPressHoldsOne)
{
    Core core;
    ProbeControl* probe = core.Probe({0, 0, 100, 100}, TestPlugin::kLevel);
    ProbeControl* unbound = core.Probe({100, 0, 200, 100});
    core.Attach();
    core.graphics->RouteWheel(5, 5, {}, 1);
    core.graphics->RouteWheel(5, 5, {}, 0); // a partial notch
    core.graphics->RouteWheel(150, 5, {}, 1);
    EXPECT_EQ(core.plugin.log, (Log{"begin 4", "end 4"}));
    core.plugin.log.clear();
    core.graphics->RoutePress(5, 5, Left());
    core.graphics->RouteWheel(5, 5, {}, -1);
    core.graphics->RouteRelease(5, 5, Left());
    EXPECT_EQ(core.plugin.log, (Log{"begin 4", "end 4"}));
    EXPECT_EQ(probe->events, (Log{"wheel 1", "wheel 0", "press 5,5", "wheel -1", "release 5,5"}));
    EXPECT_EQ(unbound->events, (Log{"wheel 1"}));
}

TEST(Routing, RightPressUnderVst3AsksTheHostMenuInstead)
{
    Core core(1);
    ProbeControl* probe = core.Probe({0, 0, 100, 100}, TestPlugin::kLevel);
    core.Attach();
    core.graphics->RoutePress(30, 40, Right());
    EXPECT_EQ(core.graphics->captureIndex, -1);
    EXPECT_TRUE(probe->events.empty());
    // A release that reaches the control ends an edit all the same.
    core.graphics->RouteRelease(30, 40, Right());
    EXPECT_EQ(core.plugin.log, (Log{"menu 4 30,40", "end 4"}));

    // Under VST2 the control sees the right press (and asks nothing: prompts are off).
    Core vst2(0);
    ProbeControl* other = vst2.Probe({0, 0, 100, 100}, TestPlugin::kLevel);
    vst2.Attach();
    vst2.graphics->RoutePress(30, 40, Right());
    EXPECT_EQ(other->events, (Log{"press 30,40"}));
    EXPECT_EQ(vst2.plugin.log, (Log{"begin 4"}));
}

TEST(Routing, DragsNeedACaptureAndAMove)
{
    Core core;
    ProbeControl* probe = core.Probe({0, 0, 100, 100});
    core.Attach();
    core.graphics->RouteDrag(10, 10, Left()); // no press: nothing
    core.graphics->RoutePress(10, 10, Left());
    core.graphics->RouteDrag(10, 10, Left()); // same position: nothing
    core.graphics->RouteDrag(150, 7, Left()); // outside the control: still captured
    core.graphics->RouteRelease(150, 7, Left());
    core.graphics->RouteDrag(12, 12, Left()); // released: nothing
    EXPECT_EQ(probe->events, (Log{"press 10,10", "drag 150,7 140,-3", "release 150,7"}));
    EXPECT_EQ(core.graphics->mouseX, -1);
}

TEST(Routing, ScaledWindowPositionsBecomeLogical)
{
    Core core(0, 1.5);
    ProbeControl* probe = core.Probe({200, 300, 201, 301});
    core.Attach();
    core.graphics->RoutePress(301, 451, Left());
    EXPECT_EQ(probe->events, (Log{"press 200,300"}));
    EXPECT_EQ(core.graphics->DrawingBitmap()->Width(), 750);
    EXPECT_EQ(core.graphics->DrawingBitmap()->Height(), 675);
}

TEST(Routing, DoubleClickGoesToTheControlWithoutAnEdit)
{
    Core core;
    ProbeControl* probe = core.Probe({0, 0, 100, 100}, TestPlugin::kLevel);
    core.Attach();
    core.graphics->RouteDoubleClick(5, 5, Left());
    EXPECT_EQ(probe->events, (Log{"double"}));
    EXPECT_EQ(core.graphics->captureIndex, -1);
    // No begin, but the release still ends an edit.
    core.graphics->RouteRelease(5, 5, Left());
    EXPECT_EQ(core.plugin.log, (Log{"changed 4 3", "end 4"}));
}

TEST(Routing, HoverTracksOnlyWhenSwitchedOnAndLeavesThePrevious)
{
    Core core;
    ProbeControl* a = core.Probe({0, 0, 10, 10});
    ProbeControl* b = core.Probe({20, 0, 30, 10});
    core.Attach();
    EXPECT_FALSE(core.graphics->RouteHover(5, 5, {}));
    core.graphics->hoverTracking = true;
    EXPECT_TRUE(core.graphics->RouteHover(5, 5, {}));
    EXPECT_TRUE(core.graphics->RouteHover(25, 5, {}));
    EXPECT_TRUE(core.graphics->RouteHover(100, 100, {})); // nothing: hover index kept
    EXPECT_EQ(core.graphics->hoverIndex, b->controlIndex);
    core.graphics->RouteLeave();
    EXPECT_EQ(a->events, (Log{"hover", "left", "left"}));
    EXPECT_EQ(b->events, (Log{"hover", "left"}));
    EXPECT_EQ(core.graphics->hoverIndex, -1);
}

// ---- Control base ----

TEST(ControlBase, ContainsExcludesRightAndBottomEdges)
{
    ProbeControl control(nullptr, {10, 20, 30, 40});
    struct Case
    {
        int x, y;
        bool inside;
    };
    for (const Case& c : {Case{10, 20, true}, Case{29, 39, true}, Case{30, 20, false},
                          Case{10, 40, false}, Case{9, 25, false}})
        EXPECT_EQ(control.Contains(c.x, c.y), c.inside) << c.x << "," << c.y;
    ProbeControl empty(nullptr, {0, 0, 0, 0});
    EXPECT_FALSE(empty.Contains(0, 0));
}

TEST(ControlBase, FirstShownValueBecomesTheDefaultWithoutARepaint)
{
    ProbeControl control(nullptr, {0, 0, 10, 10}, 0);
    control.MarkPainted();
    EXPECT_FALSE(control.NeedsPaint());
    control.ShowValue(0.3);
    EXPECT_EQ(control.defaultValue, 0.3);
    EXPECT_FALSE(control.NeedsPaint());
    control.ShowValue(0.6);
    EXPECT_TRUE(control.NeedsPaint());
    EXPECT_EQ(control.value, 0.6);
}

TEST(ControlBase, DoubleClickRestoresTheValueAtAttachTime)
{
    Core core;
    ProbeControl* probe = core.Probe({0, 0, 10, 10}, TestPlugin::kFrequency);
    ProbeControl* unset = core.Probe({20, 0, 30, 10}, TestPlugin::kQ);
    core.Attach(); // frequency 2500 Hz becomes the default
    core.plugin.SetParameterFromEditor(TestPlugin::kFrequency, 1.0);
    core.graphics->Tick(); // the timer shows the changed value
    EXPECT_EQ(probe->value, 1.0);
    probe->MouseDoubleClicked(0, 0, Left());
    EXPECT_DOUBLE_EQ(core.plugin.Param(TestPlugin::kFrequency)->Value(), 2500.0);
    // Without a default a double click changes nothing.
    unset->defaultValue = -1.0;
    core.plugin.log.clear();
    const double before = unset->value;
    unset->MouseDoubleClicked(0, 0, Left());
    EXPECT_EQ(unset->value, before);
    EXPECT_TRUE(core.plugin.log.empty());
}

TEST(ControlBase, InvalidateClampsNotifiesAndRefreshesEveryControlOfTheParameter)
{
    Core core;
    ProbeControl* a = core.Probe({0, 0, 10, 10}, TestPlugin::kQ);
    ProbeControl* b = core.Probe({20, 0, 30, 10}, TestPlugin::kQ);
    ProbeControl* unbound = core.Probe({40, 0, 50, 10});
    core.Attach();
    core.plugin.log.clear();
    a->value = 1.7;
    a->Invalidate(true);
    EXPECT_EQ(a->value, 1.0);
    EXPECT_EQ(b->value, 1.0);
    EXPECT_DOUBLE_EQ(core.plugin.Param(TestPlugin::kQ)->Value(), 4.0);
    EXPECT_EQ(core.plugin.log, (Log{"changed 3 3"}));
    unbound->Invalidate(true); // never reaches the plug-in
    EXPECT_EQ(core.plugin.log.size(), 1u);
}

TEST(ControlBase, AHostsNotANumberShowsAsTheParameterTakesIt)
{
    Core core;
    ProbeControl* toggle = core.Probe({0, 0, 10, 10}, TestPlugin::kToggle);
    core.Attach();
    core.graphics->ShowParameterValue(TestPlugin::kToggle, 1.0, true);
    ASSERT_EQ(toggle->value, 1.0);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    core.plugin.Param(TestPlugin::kToggle)->SetFromNormalised(nan);
    core.graphics->ShowParameterValue(TestPlugin::kToggle, nan, true);
    EXPECT_EQ(toggle->value, core.plugin.Param(TestPlugin::kToggle)->Normalised());
    EXPECT_EQ(toggle->value, 0.0);
}

TEST(ControlBase, GrayedAndHiddenKeepTheValueAndSetTheBlendWeight)
{
    ProbeControl control(nullptr, {0, 0, 10, 10}, 2);
    control.value = 0.4;
    control.SetGrayed(true);
    EXPECT_FLOAT_EQ(control.Blend().weight, 0.25f);
    EXPECT_EQ(control.value, 0.4);
    EXPECT_EQ(control.parameterIndex, 2);
    control.SetGrayed(false);
    EXPECT_FLOAT_EQ(control.Blend().weight, 1.0f);
    control.SetHidden(true);
    EXPECT_FLOAT_EQ(control.Blend().weight, 0.0f);
}

TEST(ControlBase, AnInvalidationFromAnotherThreadIsNeverLostToTheTimer)
{
    // The audio thread marks the pad while the timer's repaint clears the flags. One
    // invalidation is due for two painted cycles, so however the two interleave, the
    // control still needs a paint after one racing MarkPainted.
    ProbeControl control(nullptr, {0, 0, 10, 10});
    std::atomic<int> round{0};
    std::atomic<int> invalidated{0};
    constexpr int kRounds = 10000;
    std::thread writer(
        [&]
        {
            for (int r = 1; r <= kRounds; ++r)
            {
                while (round.load() != r)
                    std::this_thread::yield();
                control.Invalidate(false);
                invalidated = r;
            }
        });
    int lost = 0;
    for (int r = 1; r <= kRounds; ++r)
    {
        control.MarkPainted();
        control.MarkPainted(); // clean
        round = r;
        control.MarkPainted(); // races with the invalidation
        while (invalidated.load() != r)
            std::this_thread::yield();
        lost += control.NeedsPaint() ? 0 : 1;
    }
    writer.join();
    EXPECT_EQ(lost, 0);
}

// ---- Asking the user for a value ----

struct Asking : Core
{
    // A control that asks for values like the value box does.
    ProbeControl* Asker(int parameterIndex, const IRectangle& bounds = {0, 0, 101, 41})
    {
        ProbeControl* probe = Probe(bounds, parameterIndex);
        probe->promptDisabled = false;
        return probe;
    }
};

TEST(AskUserForValue, EnumerationMenuShowsValueTextsInValueOrderWithTheCurrentChecked)
{
    Asking editor;
    ProbeControl* box = editor.Asker(TestPlugin::kSource);
    editor.Attach();
    editor.plugin.SetParameterFromEditor(TestPlugin::kSource, 0.5); // value 1: "Stereo"
    editor.graphics->QueueMenuChoice(2);
    box->MousePressed(0, 0, Right());
    const auto& menu = editor.graphics->LastMenu();
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->texts, (std::vector<std::string>{"Noise", "Stereo", "Sine"}));
    EXPECT_EQ(menu->flags, (std::vector<int>{0, IMenuEntry::kChecked, 0}));
    EXPECT_EQ(menu->rectangle, box->bounds); // value texts: the whole box
    EXPECT_DOUBLE_EQ(editor.plugin.Param(TestPlugin::kSource)->Value(), 2.0);

    // Dismissed: nothing changes.
    editor.plugin.log.clear();
    box->MousePressed(0, 0, Right());
    EXPECT_DOUBLE_EQ(editor.plugin.Param(TestPlugin::kSource)->Value(), 2.0);
    EXPECT_TRUE(editor.plugin.log.empty());
}

TEST(AskUserForValue, EntryIHoldsTheTextOfValueIOrNothing)
{
    Asking editor;
    ProbeControl* box = editor.Asker(TestPlugin::kSource);
    editor.Attach();
    IParameter gappy;
    gappy.ConfigureChoice("Gappy", 0, 3);
    gappy.AddValueText(0, "a");
    gappy.AddValueText(2, "c");
    // One entry per value text, for the values 0 and 1.
    editor.graphics->AskUserForValue(box, &gappy, &box->bounds);
    EXPECT_EQ(editor.graphics->LastMenu()->texts, (std::vector<std::string>{"a", ""}));
}

TEST(AskUserForValue, BooleanWithTextsUsesAMenu)
{
    Asking editor;
    ProbeControl* toggle = editor.Asker(TestPlugin::kToggle);
    editor.Attach();
    editor.graphics->QueueMenuChoice(1);
    toggle->AskForValue();
    EXPECT_EQ(editor.graphics->LastMenu()->texts, (std::vector<std::string>{"off", "on"}));
    EXPECT_TRUE(editor.plugin.Param(TestPlugin::kToggle)->BoolValue());
}

TEST(AskUserForValue, ContinuousParameterOpensATextBoxParsedByTheParameter)
{
    Asking editor;
    ProbeControl* box = editor.Asker(TestPlugin::kLevel, {10, 20, 111, 49}); // odd sides
    ProbeControl* frequency = editor.Asker(TestPlugin::kFrequency);
    editor.Attach();
    editor.plugin.log.clear();

    editor.graphics->QueueTextEntry(std::string("12.5 dB"));
    box->AskForValue();
    EXPECT_EQ(editor.graphics->LastEntryText(), "0.0"); // precision 1
    // Same centre, whole-pixel half extents: one pixel smaller on odd sides.
    EXPECT_EQ(editor.graphics->LastEntryRectangle(), (IRectangle{10, 20, 110, 48}));
    EXPECT_DOUBLE_EQ(editor.plugin.Param(TestPlugin::kLevel)->Value(), 12.5);
    // The typed value reaches the host as one gesture.
    EXPECT_EQ(editor.plugin.log, (Log{"begin 4", "changed 4 3", "end 4"}));

    frequency->AskForValue();                            // unscripted: stays open
    EXPECT_EQ(editor.graphics->LastEntryText(), "2500"); // precision 0: "%d"
    EXPECT_TRUE(editor.graphics->TextEntryOpen());
    frequency->AskForValue(); // a second box while one is open is ignored
    editor.graphics->CancelTextEntry();
    EXPECT_DOUBLE_EQ(editor.plugin.Param(TestPlugin::kFrequency)->Value(), 2500.0);

    editor.graphics->QueueTextEntry(std::string("999999")); // clamped by normalising
    frequency->AskForValue();
    EXPECT_DOUBLE_EQ(editor.plugin.Param(TestPlugin::kFrequency)->Value(), 18000.0);
}

TEST(AskUserForValue, UnboundOrPromptDisabledControlsAskNothing)
{
    Asking editor;
    ProbeControl* unbound = editor.Asker(-1);
    ProbeControl* quiet = editor.Probe({0, 0, 10, 10}, TestPlugin::kSource);
    editor.Attach();
    unbound->AskForValue();
    quiet->AskForValue();
    EXPECT_FALSE(editor.graphics->LastMenu());
    EXPECT_FALSE(editor.graphics->TextEntryOpen());
}

// ---- Menu model ----

TEST(MenuModel, ItemIdsRunThroughSubmenusInBuildingOrder)
{
    IMenuModel top;
    top.AddEntry("a");
    top.AddEntry("b");
    top.AddEntry("c");
    IMenuEntry& withSub = top.entries[1];
    withSub.submenu = std::make_unique<IMenuModel>();
    withSub.submenu->AddEntry("x");
    withSub.submenu->AddEntry("y");
    EXPECT_EQ(top.IdCount(), 5);
    EXPECT_EQ(top.Choose(4), withSub.submenu.get());
    EXPECT_EQ(withSub.submenu->chosenIndex, 1);
    EXPECT_EQ(top.Choose(2), &top);
    EXPECT_EQ(top.chosenIndex, 2);
    EXPECT_EQ(top.Choose(5), nullptr);
    EXPECT_EQ(top.Choose(-1), nullptr);
}

TEST(MenuModel, NumberingFormats)
{
    IMenuModel menu;
    menu.AddEntry("Noise");
    const std::pair<int, const char*> cases[] = {
        {0, "Noise"}, {1, "1: Noise"}, {2, "01: Noise"}, {3, "001: Noise"}};
    for (const auto& [numbering, expected] : cases)
    {
        menu.numbering = numbering;
        EXPECT_EQ(menu.DisplayText(0), expected);
    }
}
