#include "controls/agent/Lumora_Ctrl_InvisibleAgent.h"
#include "controls/image/PeriphTestSupport.h"
#include "controls/xypad/Lumora_XySlider_CtrlContainer.h"

#include <gtest/gtest.h>

#include <string>

using namespace Platform;
using namespace PeriphTest;

namespace {

constexpr int kX = 31, kY = 32;

// A 200 x 100 pad at (100, 100) with a holder for each axis; every report of either holder is
// logged as "x1", "y2" ... (axis and gesture state) in the order it came.
struct PadRig : Screen {
    std::shared_ptr<Lumora_XySlider_CtrlContainer> pad = std::make_shared<Lumora_XySlider_CtrlContainer>(Rect(100, 100, 200, 100));
    std::shared_ptr<Lumora_Ctrl_InvisibleAgent> ax = std::make_shared<Lumora_Ctrl_InvisibleAgent>(Rect(0, 0, 10, 10));
    std::shared_ptr<Lumora_Ctrl_InvisibleAgent> ay = std::make_shared<Lumora_Ctrl_InvisibleAgent>(Rect(0, 0, 10, 10));
    std::vector<std::string> log;

    explicit PadRig(bool withY = true, float sensitivity = 1.0f)
    {
        pad->setParamID_x(kX);
        pad->setParamID_y(kY);
        pad->setSensitivity(sensitivity);
        ax->setTag(kX);
        ay->setTag(kY);
        pad->addSubview(ax);
        if (withY)
            pad->addSubview(ay);
        view()->addSubview(pad);
        for (auto* a : {ax.get(), ay.get()})
            a->addHandler([this, a](Control*) { log.push_back(std::string(a == ax.get() ? "x" : "y").append(std::to_string(a->gestureState()))); },
                          ControlEvents::ValueChanged);
        window->layoutIfNeeded();
    }
    Point at(double x, double y) const { return {100 + x, 100 + y}; }
    // A drag from a point of the pad by (dx, dy) in equal moves.
    void drag(Point from, double dx, double dy, int steps = 5)
    {
        Touch* t = down(at(from.x, from.y));
        for (int i = 1; i <= steps; ++i)
            move(t, at(from.x + dx * i / steps, from.y + dy * i / steps));
        up(t, at(from.x + dx, from.y + dy));
    }
};

} // namespace

TEST(XyPad, FindsItsHoldersByTagAndCoversItselfWithTheTouchHandler)
{
    PadRig rig;
    EXPECT_EQ(rig.pad->cntrl_x(), rig.ax.get());
    EXPECT_EQ(rig.pad->cntrl_y(), rig.ay.get());
    EXPECT_EQ(rig.ax->delegate(), rig.pad.get());
    EXPECT_EQ(rig.ay->delegate(), rig.pad.get());
    ASSERT_NE(rig.pad->touchEvView(), nullptr);
    EXPECT_EQ(rig.pad->touchEvView()->frame(), rig.pad->bounds());
    EXPECT_EQ(rig.pad->touchEvView()->delegate(), rig.pad.get());
    EXPECT_EQ(rig.pad->backgroundColor(), Color::clearColor());
    EXPECT_EQ(rig.pad->sensitivity(), 1.0f);

    // A holder's change makes the pad redraw.
    auto const before = rig.pad->displayRequestCount();
    rig.ax->setValue(0.4f);
    EXPECT_GT(rig.pad->displayRequestCount(), before);

    // Made from an interface file: the holders come after the handler, which goes back on top,
    // and an unset sensitivity becomes 1.0.
    auto filed = std::make_shared<Lumora_XySlider_CtrlContainer>(Rect(0, 0, 100, 100));
    filed->setSensitivity(0);
    filed->addSubview(std::make_shared<Lumora_Ctrl_InvisibleAgent>());
    filed->awakeFromNib();
    EXPECT_EQ(filed->subviews().back().get(), filed->touchEvView());
    EXPECT_EQ(filed->sensitivity(), 1.0f);
}

TEST(XyPad, ADragMovesBothValuesRelativelyAndReportsAGestureOnEach)
{
    PadRig rig;
    rig.ax->setValue(0.5f);
    rig.ay->setValue(0.25f);
    rig.drag({150, 80}, 50, -25);  // where the finger lands sets nothing
    EXPECT_FLOAT_EQ(rig.ax->value(), 0.75f);
    EXPECT_FLOAT_EQ(rig.ay->value(), 0.5f);
    std::vector<std::string> expected{"x1", "y1"};
    for (int i = 0; i < 5; ++i) {
        expected.push_back("x2");
        expected.push_back("y2");
    }
    expected.push_back("x3");
    expected.push_back("y3");
    EXPECT_EQ(rig.log, expected);
}

TEST(XyPad, SensitivityIsClampedAndValuesStopAtTheEnds)
{
    struct Case {
        float sensitivity;
        double dx;
        float expected;
    };
    // 200-point pad, starting at 0.
    for (Case c : std::initializer_list<Case>{{1, 100, 0.5f}, {4, 50, 0.5f}, {4, 100, 1.0f}, {0.05f, 100, 0.05f},
                                              {0.5f, 100, 0.25f}}) {
        PadRig rig(true, c.sensitivity);
        rig.drag({10, 50}, c.dx, 0);
        EXPECT_FLOAT_EQ(rig.ax->value(), c.expected) << c.sensitivity << " " << c.dx;
        EXPECT_EQ(rig.ay->value(), 0) << c.sensitivity;
    }
    {
        // A pad made with sensitivity 0 uses 1.0.
        auto pad = std::make_shared<Lumora_XySlider_CtrlContainer>(Rect(0, 0, 10, 10));
        EXPECT_EQ(pad->sensitivity(), 1.0f);
    }

    // Beyond the end the value stays at 1; moving back changes it at once.
    PadRig rig;
    rig.ax->setValue(0.9f);
    Touch* t = rig.down(rig.at(10, 50));
    rig.move(t, rig.at(110, 50));
    EXPECT_FLOAT_EQ(rig.ax->value(), 1.0f);
    rig.move(t, rig.at(90, 50));
    EXPECT_FLOAT_EQ(rig.ax->value(), 0.9f);
    rig.move(t, rig.at(90, 90));  // down beyond 0
    EXPECT_FLOAT_EQ(rig.ay->value(), 0.0f);
    rig.up(t, rig.at(90, 90));
}

TEST(XyPad, ADoubleTapReturnsBothAxesToTheirDefaults)
{
    for (int taps : {1, 2, 3}) {
        PadRig rig;
        rig.ax->setDefaultValue(0.5f);
        rig.ay->setDefaultValue(0.2f);
        rig.ax->setValue(0.9f);
        rig.ay->setValue(0.7f);
        Point const p = rig.at(20, 20);
        rig.up(rig.down(p, taps), p);
        EXPECT_FLOAT_EQ(rig.ax->value(), taps == 2 ? 0.5f : 0.9f) << taps;
        EXPECT_FLOAT_EQ(rig.ay->value(), taps == 2 ? 0.2f : 0.7f) << taps;
        EXPECT_EQ(rig.log, (std::vector<std::string>{"x1", "y1", "x3", "y3"})) << taps;
    }
}

TEST(XyPad, ACancelledTouchEndsTheGestureOnBothAxes)
{
    PadRig rig;
    Touch* t = rig.down(rig.at(20, 20));
    rig.move(t, rig.at(40, 20));
    rig.cancel(t);
    EXPECT_EQ(rig.log, (std::vector<std::string>{"x1", "y1", "x2", "y2", "x3", "y3"}));
    EXPECT_FLOAT_EQ(rig.ax->value(), 0.1f);
}

TEST(XyPad, WithOnlyTheHorizontalHolderVerticalMovementDoesNothing)
{
    PadRig rig(false);
    EXPECT_EQ(rig.pad->cntrl_y(), nullptr);
    rig.drag({20, 80}, 40, -60);
    EXPECT_FLOAT_EQ(rig.ax->value(), 0.2f);
    EXPECT_EQ(rig.pad->value_y(), 0);
    EXPECT_EQ(rig.ay->value(), 0);
    for (auto const& entry : rig.log)
        EXPECT_EQ(entry[0], 'x') << entry;
    EXPECT_EQ(rig.log.size(), 7u);  // begin, five updates, end
}

TEST(XyPad, OneHolderCanServeBothAxes)
{
    PadRig rig(false);
    rig.pad->setParamID_y(kX);
    rig.pad->setCntrl_y(nullptr);
    rig.pad->setNeedsLayout();
    rig.window->layoutIfNeeded();
    EXPECT_EQ(rig.pad->cntrl_y(), rig.ax.get());
    // Right 40 (+0.2) and up 30 (+0.3) on the same value.
    rig.drag({20, 80}, 40, -30, 1);
    EXPECT_FLOAT_EQ(rig.ax->value(), 0.5f);
}
