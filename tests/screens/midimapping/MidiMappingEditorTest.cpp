// The MIDI-mapping element editor: active flag, message kind and number, and the response curve
// with its three handles, written to the engine's mapper and read back.

#include "controls/base/Lumora_Control.h"
#include "controls/midilearn/Lumora_MidiMappingEditorService.h"
#include "controls/painter/Lumora_Painter.h"
#include "controls/viewcontroller/Lumora_ViewController.h"
#include "engine/audio/iAudioEngine.h"
#include "engine/parameter/ParameterManager.h"
#include "engine/parameter/TypedParameters.h"
#include "model/support/ModelTestSupport.h"
#include "platform/graphics/Image.h"
#include "platform/ui/Nib.h"
#include "platform/ui/Window.h"
#include "screens/midimapping/Lumora_MidiMapperElmntVwCtrlr.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <optional>

using Platform::Rect;
using Key = Lumora::MidiParamMapper::MidiKey;
using Token = Lumora::ParameterObserver::Token;

namespace {

constexpr int kVolume = 1100;      // UFloat 0..1
constexpr int kTranspose = 2110;   // SInt -12..12
constexpr int kArpeggiator = 3000; // Bool
constexpr int kNarrow = 900;       // UFloat 0.2..1.0, made by the test
constexpr auto kSound = static_cast<Lumora::SerializeWhat>(0x10100);

struct DelegateLog : Lumora_MidiMapperElmntVwCtrlr_delegate {
    void midiMapperElementViewController_didChangeMidiSourceWithParameterID(Lumora_MidiMapperElmntVwCtrlr*,
                                                                            int32_t id) override
    {
        ids.push_back(id);
    }
    std::vector<int32_t> ids;
};

// What the curve editor asks the theme to draw.
class ShaperTheme : public Lumora_PainterImplementation {
public:
    struct Call {
        bool isInt;
        Rect frame;
        bool disabled;
        double a, b, c, d;
    };
    void drawShaperWithFrame(Rect const& frame, bool disabled, double lo, double mid, double hi) override
    {
        calls.push_back({false, frame, disabled, lo, mid, hi, 0});
    }
    void drawIntShaperWithFrame(Rect const& frame, bool disabled, double lo, double hi, double min, double max) override
    {
        calls.push_back({true, frame, disabled, lo, hi, min, max});
    }
    std::vector<Call> calls;
};

struct EditorRig {
    EditorRig()
    {
        model.attachApp();
        model.core->onTimer(nullptr);
        narrow.emplace(&engine().parameterManager(), kNarrow, "Narrow", "NARROW", 0.5f, 0.2f, 1.0f,
                       Lumora::Parameter::Options::None, kSound, 0u);
    }
    ~EditorRig()
    {
        window->setRootViewController(nullptr);
        editor.reset();
        narrow.reset();
        ::unsetenv("CORVANE_UI_IDIOM");
    }

    Lumora::iAudioEngine& engine() { return *model.core->audioEngine(); }
    Lumora::MidiParamMapper& mapper() { return engine().midiParamMapper(); }
    Lumora::MidiParamMapper::Element* element() { return mapper().findElement(editor->paramIndex()); }

    // Opens the editor for a parameter, shown in the window.
    Lumora_MidiMapperElmntVwCtrlr& open(int id)
    {
        editor = Platform::newObject<Lumora_MidiMapperElmntVwCtrlr>();
        editor->setDelegate(&log);
        editor->setAudioEngine(&engine());
        editor->setParamIndex(id);
        window->setRootViewController(editor);
        window->layoutIfNeeded();
        return *editor;
    }
    void map(int id, Key key, Lumora::Math::Shaper1bp curve = {}) { mapper().newElement(id, key, curve); }

    Lumora_MidiMapper_ParamShaperView& curveView()
    {
        if (editor->viewParamShaper()->isHidden())
            editor->actionShaper(editor->btnParamShaper());
        window->layoutIfNeeded();
        return *editor->viewParamShaper();
    }
    // A point of the curve editor at fractions of its width and height, in the window.
    Platform::Point at(double fx, double fy)
    {
        auto& v = curveView();
        return v.convertPointToWindow({v.bounds().size.width * fx, v.bounds().size.height * fy});
    }
    // Drags from a point by a number of view heights upwards, in several moves.
    void dragUp(Platform::Point from, double heights, double dx = 0, int steps = 4)
    {
        double const h = curveView().bounds().size.height;
        Platform::Touch* t = window->beginTouch(from, time += 0.05);
        for (int i = 1; i <= steps; ++i)
            window->moveTouch(t, {from.x + dx * i / steps, from.y - heights * h * i / steps}, time += 0.05);
        window->endTouch(t, {from.x + dx, from.y - heights * h}, time += 0.05);
    }
    void sendValueChanged(Platform::Control* c) { c->sendActionsForControlEvents(Platform::ControlEvents::ValueChanged); }

    ModelTest::CoreRig model;
    std::optional<Lumora::Parameter_UFloat> narrow;
    DelegateLog log;
    std::shared_ptr<Platform::Window> window = std::make_shared<Platform::Window>(Rect(0, 0, 600, 500));
    std::shared_ptr<Lumora_MidiMapperElmntVwCtrlr> editor;
    double time = 1;
};

void expectCurve(Lumora::MidiParamMapper::Element const* e, float lo, float mid, float hi)
{
    ASSERT_NE(e, nullptr);
    EXPECT_NEAR(e->shaper().yL(), lo, 1e-6);
    EXPECT_NEAR(e->shaper().xC(), 0.5f, 1e-6);
    EXPECT_NEAR(e->shaper().yC(), mid, 1e-6);
    EXPECT_NEAR(e->shaper().yR(), hi, 1e-6);
}

void expectKey(Lumora::MidiParamMapper::Element const* e, int channel, int status, int number)
{
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->midiSource().channel(), channel);
    EXPECT_EQ(e->midiSource().status(), status);
    EXPECT_EQ(e->midiSource().number(), number);
}

} // namespace

TEST(MidiMappingEditorTest, TheInterfaceFileSuppliesEveryOutletAndTheViewStartsOnTheBasicSettings)
{
    EditorRig rig;
    auto& e = rig.open(kVolume);
    ASSERT_TRUE(Platform::Nib::isRegistered("MidiMapElmntVwCtrlr"));
    ASSERT_TRUE(e.ctrlActive() && e.ctrlMidiStatus() && e.ctrlMidiNumber() && e.ctrlStepperMidiNumber() &&
                e.labelMidiNumber() && e.labelTitleMidiNumber() && e.viewParamShaper() && e.viewBasic() &&
                e.btnParamShaper());
    EXPECT_EQ(e.ctrlMidiStatus()->numberOfSegments(), 2u);
    EXPECT_FALSE(e.viewBasic()->isHidden());
    EXPECT_TRUE(e.viewParamShaper()->isHidden());
    EXPECT_FALSE(e.btnParamShaper()->isHidden());
    EXPECT_EQ(e.viewParamShaper()->audioEngine(), &rig.engine());
    EXPECT_EQ(e.viewParamShaper()->paramIndex(), kVolume);
    EXPECT_EQ(e.view()->tintColor(), *Lumora_Painter::sharedInstance()->tintColor());

    // An on/off parameter has no curve.
    rig.open(kArpeggiator);
    EXPECT_TRUE(rig.editor->btnParamShaper()->isHidden());
    EXPECT_EQ(rig.editor->viewParamShaper()->audioEngine(), nullptr);
    EXPECT_EQ(rig.editor->viewParamShaper()->paramIndex(), kArpeggiator);
}

TEST(MidiMappingEditorTest, TheBasicSettingsShowTheMappersState)
{
    double const dim = static_cast<double>(0.2f);
    struct Case {
        char const* name;
        std::optional<Key> key;
        bool on;
        int segment;
        bool kindEnabled;
        float number, maximum;
        bool numberEnabled;
        std::string label;
        bool curveEnabled;
    };
    for (Case const& c : {Case{"unmapped", std::nullopt, false, -1, false, 0, 127, false, "", false},
                          Case{"control change", Key(-1, 0xB0, 74), true, 0, true, 74, 119, true, "74", true},
                          Case{"channel pressure", Key(4, 0xD0, 0), true, 1, true, 0, 127, false, "", true}}) {
        SCOPED_TRACE(c.name);
        EditorRig rig;
        if (c.key)
            rig.map(kVolume, *c.key);
        auto& e = rig.open(kVolume);
        EXPECT_EQ(e.ctrlActive()->isOn(), c.on);
        EXPECT_EQ(e.ctrlMidiStatus()->selectedSegmentIndex(), c.segment);
        EXPECT_EQ(e.ctrlMidiStatus()->isEnabled(), c.kindEnabled);
        EXPECT_EQ(e.ctrlMidiNumber()->value(), c.number);
        EXPECT_EQ(e.ctrlMidiNumber()->maximumValue(), c.maximum);
        EXPECT_EQ(e.ctrlMidiNumber()->isEnabled(), c.numberEnabled);
        EXPECT_EQ(e.ctrlStepperMidiNumber()->value(), c.number);
        EXPECT_EQ(e.ctrlStepperMidiNumber()->maximumValue(), c.maximum);
        EXPECT_EQ(e.ctrlStepperMidiNumber()->isEnabled(), c.numberEnabled);
        EXPECT_EQ(e.ctrlStepperMidiNumber()->alpha(), c.numberEnabled ? 1.0 : dim);
        EXPECT_EQ(e.labelTitleMidiNumber()->alpha(), c.numberEnabled ? 1.0 : dim);
        EXPECT_EQ(e.labelMidiNumber()->text(), c.label);
        EXPECT_EQ(e.btnParamShaper()->isEnabled(), c.curveEnabled);
    }
}

TEST(MidiMappingEditorTest, TheActiveSwitchMapsControllerZeroOnAnyChannelOrRemovesTheMapping)
{
    EditorRig rig;
    auto& e = rig.open(kNarrow);
    e.ctrlActive()->setOn(true);
    rig.sendValueChanged(e.ctrlActive());
    expectKey(rig.element(), -1, 0xB0, 0);
    // The straight line over the parameter's own range.
    expectCurve(rig.element(), 0.2f, 0.6f, 1.0f);
    EXPECT_EQ(rig.log.ids, std::vector<int32_t>{kNarrow});
    EXPECT_EQ(e.labelMidiNumber()->text(), "0");
    EXPECT_TRUE(e.ctrlMidiNumber()->isEnabled());

    e.ctrlActive()->setOn(false);
    rig.sendValueChanged(e.ctrlActive());
    EXPECT_EQ(rig.element(), nullptr);
    EXPECT_EQ(rig.log.ids, (std::vector<int32_t>{kNarrow, kNarrow}));
    EXPECT_EQ(e.ctrlMidiStatus()->selectedSegmentIndex(), -1);
}

TEST(MidiMappingEditorTest, ChangingKindOrNumberMakesAnAnyChannelKeyWithTheDefaultCurve)
{
    EditorRig rig;
    // Learned on channel 3, curve edited.
    rig.map(kVolume, Key(3, 0xB0, 10), Lumora::Math::Shaper1bp(0.3f, 0.5f, 0.9f, 0.4f));
    auto& e = rig.open(kVolume);

    // Moving the slider shows the number; the key changes only when it is let go.
    e.ctrlMidiNumber()->setValue(42.7f);
    rig.sendValueChanged(e.ctrlMidiNumber());
    EXPECT_EQ(e.labelMidiNumber()->text(), "42");
    expectKey(rig.element(), 3, 0xB0, 10);
    EXPECT_TRUE(rig.log.ids.empty());
    e.ctrlMidiNumber()->sendActionsForControlEvents(Platform::ControlEvents::TouchUpInside);
    expectKey(rig.element(), -1, 0xB0, 42);
    expectCurve(rig.element(), 0, 0.5f, 1);
    EXPECT_EQ(rig.log.ids, std::vector<int32_t>{kVolume});

    // The stepper writes at once; the same number changes nothing.
    e.ctrlStepperMidiNumber()->setValue(43);
    rig.sendValueChanged(e.ctrlStepperMidiNumber());
    expectKey(rig.element(), -1, 0xB0, 43);
    EXPECT_EQ(e.ctrlMidiNumber()->value(), 43);
    rig.log.ids.clear();
    rig.sendValueChanged(e.ctrlStepperMidiNumber());
    EXPECT_TRUE(rig.log.ids.empty());
    // Channel-mode controllers are out of reach.
    e.updateMidiNumber(125);
    expectKey(rig.element(), -1, 0xB0, 119);
    e.updateMidiNumber(-4);
    expectKey(rig.element(), -1, 0xB0, 0);

    // Channel pressure: number 0, number controls off; back to control change at number 0.
    rig.element()->shaper().setYC(0.1f);
    e.ctrlMidiStatus()->setSelectedSegmentIndex(1);
    rig.sendValueChanged(e.ctrlMidiStatus());
    expectKey(rig.element(), -1, 0xD0, 0);
    expectCurve(rig.element(), 0, 0.5f, 1);
    EXPECT_FALSE(e.ctrlMidiNumber()->isEnabled());
    e.updateMidiNumber(20);
    expectKey(rig.element(), -1, 0xD0, 0);
    e.ctrlMidiStatus()->setSelectedSegmentIndex(0);
    rig.sendValueChanged(e.ctrlMidiStatus());
    expectKey(rig.element(), -1, 0xB0, 0);

    // Without a mapping the number changes nothing.
    rig.mapper().removeElementByParamID(kVolume);
    rig.log.ids.clear();
    e.updateMidiNumber(5);
    EXPECT_EQ(rig.element(), nullptr);
    EXPECT_TRUE(rig.log.ids.empty());
}

TEST(MidiMappingEditorTest, AFloatCurveMovesInHundredthsAndATouchKeepsItsHandle)
{
    EditorRig rig;
    rig.map(kVolume, Key(-1, 0xB0, 1));
    rig.open(kVolume);
    auto& v = rig.curveView();
    EXPECT_FALSE(rig.editor->viewBasic()->isHidden() && v.isHidden());
    EXPECT_TRUE(rig.editor->viewBasic()->isHidden());

    // From the left third, a quarter of the range up, ending in the right third: still lo.
    rig.dragUp(rig.at(0.1, 0.9), 0.75 + 0.0123, v.bounds().size.width * 0.8);
    EXPECT_EQ(v.operatingPos(), 0u);
    float const lo = rig.element()->shaper().yL();
    EXPECT_NEAR(lo, 0.25f, 1e-6);
    EXPECT_FLOAT_EQ(std::round(lo * 100) / 100, lo);
    EXPECT_FLOAT_EQ(rig.element()->shaper().yC(), 0.5f);
    EXPECT_FLOAT_EQ(rig.element()->shaper().yR(), 1.0f);

    // Mid moves alone; dragging down past the end clamps at 0.
    rig.dragUp(rig.at(0.5, 0.1), -2.5);
    EXPECT_EQ(v.operatingPos(), 1u);
    EXPECT_FLOAT_EQ(rig.element()->shaper().yC(), 0.0f);
    EXPECT_NEAR(rig.element()->shaper().yL(), 0.25f, 1e-6);
}

TEST(MidiMappingEditorTest, AnIntegerCurveStaysStraightInStepsOf127)
{
    EditorRig rig;
    rig.map(kTranspose, Key(-1, 0xB0, 2), Lumora::Math::Shaper1bp(0, 0.5f, 0.5f, 1));
    rig.open(kTranspose);
    auto& v = rig.curveView();

    // The middle third moves nothing.
    rig.dragUp(rig.at(0.5, 0.9), 0.5);
    EXPECT_FLOAT_EQ(rig.element()->shaper().yC(), 0.5f);

    rig.dragUp(rig.at(0.1, 0.9), 0.2);   // lo up by about 0.0667
    float const lo = rig.element()->shaper().yL();
    EXPECT_FLOAT_EQ(lo, std::round(lo * 127) / 127);
    EXPECT_NEAR(lo, 0.2f / 3, 0.5 / 127);
    EXPECT_FLOAT_EQ(rig.element()->shaper().yC(), (1 - lo) * 0.5f + lo);

    rig.dragUp(rig.at(0.9, 0.1), -0.6);  // hi down by 0.2
    float const hi = rig.element()->shaper().yR();
    EXPECT_FLOAT_EQ(hi, std::round(hi * 127) / 127);
    EXPECT_NEAR(hi, 0.8f, 0.5 / 127);
    EXPECT_FLOAT_EQ(rig.element()->shaper().yC(), (hi + lo) / 2);
    (void)v;
}

TEST(MidiMappingEditorTest, ADoubleTapSpansTheParametersRangeAgain)
{
    EditorRig rig;
    rig.map(kNarrow, Key(-1, 0xB0, 3), Lumora::Math::Shaper1bp(0.9f, 0.5f, 0.1f, 0.3f));
    rig.open(kNarrow);
    auto const p = rig.at(0.5, 0.5);
    rig.window->tap(p, rig.time += 0.05, 1);
    rig.window->tap(p, rig.time += 0.05, 2);
    expectCurve(rig.element(), 0.2f, 0.6f, 1.0f);
}

TEST(MidiMappingEditorTest, WithoutMappingTheCurveEditorDrawsDisabledAndIgnoresTouches)
{
    auto theme = std::make_shared<ShaperTheme>();
    auto previous = Lumora_Painter::sharedInstance()->impl();
    Lumora_Painter::setImplimatation(theme);
    {
        EditorRig rig;
        rig.open(kVolume);
        auto& v = rig.curveView();
        rig.dragUp(rig.at(0.1, 0.9), 0.5);
        rig.window->tap(rig.at(0.5, 0.5), rig.time += 0.05, 1);
        rig.window->tap(rig.at(0.5, 0.5), rig.time += 0.05, 2);
        EXPECT_EQ(rig.element(), nullptr);
        EXPECT_EQ(v.operatingPosValue(), 0.0f);

        Rect const r(0, 0, 200, 100);
        v.drawRect(r);
        ASSERT_EQ(theme->calls.size(), 1u);
        auto c = theme->calls.back();
        EXPECT_FALSE(c.isInt);
        EXPECT_TRUE(c.disabled);
        EXPECT_EQ(c.frame, Rect(5, 5, 190, 90));
        EXPECT_EQ(std::make_tuple(c.a, c.b, c.c), std::make_tuple(0.0, 0.5, 1.0));

        // Mapped: a float parameter shows its three values, an integer one its ends and range.
        rig.map(kVolume, Key(-1, 0xB0, 4), Lumora::Math::Shaper1bp(0.25f, 0.5f, 0.75f, 0.5f));
        v.drawRect(r);
        c = theme->calls.back();
        EXPECT_FALSE(c.isInt);
        EXPECT_FALSE(c.disabled);
        EXPECT_EQ(std::make_tuple(c.a, c.b, c.c), std::make_tuple(0.25, 0.75, 0.5));

        rig.map(kTranspose, Key(-1, 0xB0, 5), Lumora::Math::Shaper1bp(0.25f, 0.5f, 0.5f, 0.75f));
        rig.open(kTranspose);
        theme->calls.clear();
        rig.curveView().drawRect(r);
        ASSERT_EQ(theme->calls.size(), 1u);
        c = theme->calls.back();
        auto const& transpose = *rig.engine().parameterManager().getParameter(kTranspose);
        EXPECT_TRUE(c.isInt);
        EXPECT_FALSE(c.disabled);
        EXPECT_EQ(std::make_tuple(c.a, c.b), std::make_tuple(0.25, 0.75));
        EXPECT_FLOAT_EQ(c.c, transpose.normalizedMinValue());
        EXPECT_FLOAT_EQ(c.d, transpose.normalizedMaxValue());
    }
    Lumora_Painter::setImplimatation(previous);
}

TEST(MidiMappingEditorTest, TheButtonsSwapThePanelsAndClose)
{
    EditorRig rig;
    auto host = Lumora_ViewController::newWithCore(rig.model.core);
    rig.window->setRootViewController(host);
    auto editor = Platform::newObject<Lumora_MidiMapperElmntVwCtrlr>();
    editor->setAudioEngine(&rig.engine());
    editor->setParamIndex(kVolume);
    host->popoverViewController(editor, editor->view()->frame().size, host->view(), {}, 15,
                                Platform::Color::whiteColor());
    ASSERT_EQ(host->presentedViewController(), editor.get());
    EXPECT_EQ(editor->preferredContentSize(), Platform::Size(300, 250));
    rig.window->layoutIfNeeded();

    auto* shaperButton = editor->btnParamShaper();
    Platform::Point p = shaperButton->convertPointToWindow({15, 15});
    // Disabled while the parameter has no mapping.
    rig.window->tap(p, rig.time += 0.05);
    EXPECT_FALSE(editor->viewBasic()->isHidden());
    rig.map(kVolume, Key(-1, 0xB0, 9));
    editor->updateUI();
    rig.window->tap(p, rig.time += 0.05);
    EXPECT_TRUE(editor->viewBasic()->isHidden());
    EXPECT_FALSE(editor->viewParamShaper()->isHidden());
    rig.window->tap(p, rig.time += 0.05);
    EXPECT_FALSE(editor->viewBasic()->isHidden());
    EXPECT_TRUE(editor->viewParamShaper()->isHidden());

    editor->actionClose(nullptr);
    EXPECT_EQ(host->presentedViewController(), nullptr);
}

TEST(MidiMappingEditorTest, ALongPressOnAnOverlayOpensThisEditorAndItsChangesRedrawTheOverlay)
{
    struct Screen : Lumora_ViewController {
        void loadView() override
        {
            auto root = std::make_shared<Platform::View>(Rect(0, 0, 600, 500));
            knob = std::make_shared<Lumora_Control>(Rect(100, 100, 40, 40));
            knob->setTag(kVolume);
            root->addSubview(knob);
            setView(root);
        }
        std::shared_ptr<Lumora_Control> knob;
    };
    EditorRig rig;
    Lumora_MidiMapperElmntVwCtrlr::registerAsMappingEditor();
    auto screen = Lumora_ViewController::newWithCore<Screen>(rig.model.core);
    rig.window->setRootViewController(screen);
    screen->setShowControlStatusView(true);
    rig.window->layoutIfNeeded();
    ASSERT_EQ(screen->setControlStatusViews().size(), 1u);
    auto overlay = screen->setControlStatusViews().front();

    Platform::Touch* t = rig.window->beginTouch({120, 120}, rig.time += 0.05);
    rig.window->advanceTime(rig.time += 0.7);
    rig.window->endTouch(t, {120, 120}, rig.time += 0.05);
    auto* editor = dynamic_cast<Lumora_MidiMapperElmntVwCtrlr*>(screen->presentedViewController());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->paramIndex(), kVolume);
    EXPECT_EQ(editor->audioEngine(), &rig.engine());
    EXPECT_EQ(editor->delegate(), static_cast<Lumora_MidiMapperElmntVwCtrlr_delegate*>(screen.get()));
    EXPECT_EQ(editor->modalPresentationStyle(), Platform::ModalPresentationStyle::Popover);
    EXPECT_EQ(editor->preferredContentSize(), Platform::Size(300, 250));

    auto const before = overlay->displayRequestCount();
    editor->ctrlActive()->setOn(true);
    editor->ctrlActive()->sendActionsForControlEvents(Platform::ControlEvents::ValueChanged);
    EXPECT_GT(overlay->displayRequestCount(), before);
    expectKey(rig.mapper().findElement(kVolume), -1, 0xB0, 0);
    rig.window->setRootViewController(nullptr);
    Lumora_MidiMappingEditorService::setFactory({});
}

TEST(MidiMappingEditorTest, TheEditorRendersBothPanels)
{
    EditorRig rig;
    rig.map(kVolume, Key(-1, 0xB0, 74), Lumora::Math::Shaper1bp(0.1f, 0.5f, 0.7f, 0.9f));
    auto& e = rig.open(kVolume);
    e.view()->setFrame(Rect(0, 0, 300, 250));
    Platform::Image basic = Platform::renderViewToImage(*e.view(), 2);
    e.actionShaper(nullptr);
    Platform::Image curve = Platform::renderViewToImage(*e.view(), 2);
    auto& unmappedEditor = rig.open(kTranspose);
    unmappedEditor.view()->setFrame(Rect(0, 0, 300, 250));
    Platform::Image unmapped = Platform::renderViewToImage(*unmappedEditor.view(), 2);
    EXPECT_EQ(basic.size(), Platform::Size(300, 250));
    EXPECT_EQ(curve.size(), Platform::Size(300, 250));
    // Set CORVANE_RENDER_DIR to look at them.
    if (char const* dir = std::getenv("CORVANE_RENDER_DIR")) {
        EXPECT_TRUE(basic.writePNG(std::string(dir) + "/midimapping-basic.png"));
        EXPECT_TRUE(curve.writePNG(std::string(dir) + "/midimapping-curve.png"));
        EXPECT_TRUE(unmapped.writePNG(std::string(dir) + "/midimapping-unmapped.png"));
    }
}
