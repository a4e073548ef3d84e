// The interface files of the synth main screen: the three main views (plug-in, pad app, phone
// app), the editor frame with its header, and the common-parameter strip with its popup.

#include "screens/main/nibs/MainFrameNibs.h"

#include "controls/button/Lumora_CmndButton.h"
#include "controls/button/Lumora_SideEdgeButton.h"
#include "controls/knob/Lumora_Ctrl_RotaryKnob.h"
#include "controls/label/Lumora_Ctrl_Label.h"
#include "controls/lamp/Lumora_Ctrl_Lamp.h"
#include "controls/lamp/Lumora_Ctrl_LampSelectorCntnr.h"
#include "controls/layout/Lumora_ScalableContainerView.h"
#include "controls/layout/Lumora_ScalableContentView.h"
#include "controls/painter/Lumora_Painter.h"
#include "controls/switch/Lumora_Ctrl_Switch.h"
#include "platform/graphics/Font.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/LayoutConstraint.h"
#include "platform/ui/Nib.h"
#include "screens/main/CommonParam_VwCtrlr.h"
#include "screens/main/Lumora_SynthFrmwrk_CmnPrmCntnrVw.h"
#include "screens/main/Lumora_SynthFrmwrk_CmnPrmVw.h"
#include "screens/main/Lumora_SynthFrmwrk_EdtrFrmCntnrVw.h"
#include "screens/main/Lumora_SynthFrmwrk_EdtrFrmVw.h"
#include "screens/main/Lumora_SynthFrmwrk_KbdCntnrVw.h"
#include "screens/main/Lumora_SynthFrmwrk_MainVwCntrlr.h"
#include "screens/main/ResponderChainAction.h"
#include "screens/main/nibs/EditorFrameParts.h"
#include "screens/main/nibs/EditorSurfaceNibs.h"
#include "screens/main/nibs/MainFrameView.h"
#include "screens/main/nibs/SurfaceParts.h"

#include <mutex>

namespace CorvaneNib {

namespace {

using Platform::LayoutConstraint;
using Platform::Rect;
using Main = Lumora_SynthFrmwrk_MainVwCntrlr;

// Parameter ids of the common strip (the engine's common synth parameters).
enum CommonParameter : int {
    volume = 2200,
    portamento = 2210,
    octave = 2211,
    pitchBendDown = 2220,
    pitchBendUp = 2221,
    monoMode = 2230,
    arpeggiator = 3000,
};

// The strip's design size and its four columns. The theme's picture behind it holds four equal
// panels side by side; the tall layout (height 1.375 x width) shows the left half of the strip,
// so the octave and volume columns show whole there, and the wide layout shows all four.
constexpr double stripHeight = 165;
constexpr double stripWidth = 2 * stripHeight / Lumora_SynthFrmwrk_CmnPrmCntnrVw::tallRatio;
constexpr double stripColumn = stripWidth / 4;
// Where the controls of a column may go: inside its panel of the picture.
constexpr double columnTop = 18;
constexpr double columnInset = 6;

// The editor frame's height in a main file: a share of the main view's height or width, plus a
// constant.
struct FrameHeight {
    LayoutConstraint::Attribute of;
    double multiplier;
    double constant = 0;
};

std::vector<std::shared_ptr<Platform::Object>> buildMain(Platform::Nib::Context const& context, Rect frame, bool strip,
                                                     FrameHeight frameHeight)
{
    auto root = std::make_shared<MainFrameView>(frame);
    root->setBackgroundColor(Platform::Color::blackColor());

    auto frameContainer = std::make_shared<Lumora_SynthFrmwrk_EdtrFrmCntnrVw>();
    auto height = LayoutConstraint::constraintWithItem(frameContainer.get(), LayoutConstraint::Attribute::Height,
                                                       LayoutConstraint::Relation::Equal, root.get(), frameHeight.of,
                                                       frameHeight.multiplier, frameHeight.constant);
    height->setActive(true);
    root->addConstraint(height);
    frameContainer->constraintForHeight = height.get();
    root->addSubview(frameContainer);

    std::shared_ptr<Lumora_SideEdgeButton> sideEdge;
    if (strip) {
        sideEdge = std::make_shared<Lumora_SideEdgeButton>();
        root->addSubview(sideEdge);
        auto stripContainer = std::make_shared<Lumora_SynthFrmwrk_CmnPrmCntnrVw>();
        stripContainer->setClipsToBounds(true);
        // The wide ratio leaves room beside the strip: it shows the strip's backdrop colour.
        stripContainer->setBackgroundColor(Lumora_Painter::sharedInstance()->commonParmBackgroundColor());
        root->addSubview(stripContainer);
    }
    root->addSubview(std::make_shared<Lumora_SynthFrmwrk_KbdCntnrVw>());

    if (Main* owner = context.ownerAs<Main>()) {
        owner->setView(root);
        if (sideEdge)
            sideEdge->addTarget(owner, &Main::actionToggleCommonParamVw, Platform::ControlEvents::TouchUpInside);
    }
    return {root};
}

std::vector<std::shared_ptr<Platform::Object>> buildEditorFrame(Platform::Nib::Context const&)
{
    auto frame = std::make_shared<Lumora_SynthFrmwrk_EdtrFrmVw>(Rect(0, 0, 1024, 378));
    // The strip popup's button serves the main views that have no strip of their own.
    auto right = fillEditorFrame(*frame, {"CommonParam", "Arpeggio", "MIDI", "Settings"});
    frame->btnCommonParam = right[0];
    frame->btnArpeggiator = right[1];
    frame->btnMidiMapping = right[2];
    frame->btnConfig = right[3];

    connectActionUpResponderChain(frame->btnSoundPresetPrev, &Main::actionLoadPrevSoundPreset);
    connectActionUpResponderChain(frame->btnSoundPresetNext, &Main::actionLoadNextSoundPreset);
    connectActionUpResponderChain(frame->btnSoundPresetName, &Main::actionOpenSoundPresetBrowser);
    connectActionUpResponderChain(frame->btnCommonParam, &Main::actionOpenCommonParam);
    connectActionUpResponderChain(frame->btnArpeggiator, &Main::actionOpenArpeggiatorEditor);
    connectActionUpResponderChain(frame->btnMidiMapping, &Main::actionMidiMapping);
    connectActionUpResponderChain(frame->btnConfig, &Main::actionOpenSettings);
    return {frame};
}

std::shared_ptr<Lumora_Ctrl_RotaryKnob> stripKnob(Platform::View& strip, Rect cell, int tag, char const* name)
{
    auto knob = std::make_shared<Lumora_Ctrl_RotaryKnob>(Rect(cell.origin.x + (cell.size.width - 34) / 2,
                                                             cell.origin.y + 14, 34, 34));
    knob->setTag(tag);
    strip.addSubview(caption(Rect(cell.origin.x, cell.origin.y, cell.size.width, 12), name, 9, true, titleColor()));
    strip.addSubview(knob);
    return knob;
}

// A lamp selector of named choices, one row each from the top; the lamps' tags (their values)
// start at the first value and go by the step.
std::shared_ptr<Lumora_Ctrl_LampSelectorCntnr> lampColumn(Rect frame, int tag, std::vector<std::string> const& names,
                                                          int firstValue, int step, double rowHeight)
{
    auto selector = std::make_shared<Lumora_Ctrl_LampSelectorCntnr>(frame);
    selector->setTag(tag);
    for (std::size_t row = 0; row < names.size(); ++row) {
        double const y = static_cast<double>(row) * rowHeight;
        auto lamp = std::make_shared<Lumora_Ctrl_Lamp>(Rect(2, y + (rowHeight - 10) / 2, 10, 10));
        lamp->setTag(firstValue + static_cast<int>(row) * step);
        selector->addSubview(lamp);
        auto label = caption(Rect(13, y, frame.size.width - 13, rowHeight), names[row], 9, false, nameColor());
        label->setTextAlignment(Platform::TextAlignment::Left);
        selector->addSubview(label);
    }
    return selector;
}

std::vector<std::shared_ptr<Platform::Object>> buildCommonParamStrip(Platform::Nib::Context const&)
{
    auto strip = std::make_shared<Lumora_SynthFrmwrk_CmnPrmVw>(Rect(0, 0, stripWidth, stripHeight));
    strip->setBackgroundColor(Platform::Color(0.24, 0.0, 0.0));
    auto background = std::make_shared<Platform::ImageView>(Rect(0, 0, stripWidth, stripHeight));
    background->setUserInteractionEnabled(false);
    strip->addSubview(background);
    strip->backgroundImageVw = background.get();
    auto column = [](int i) { return static_cast<double>(i) * stripColumn; };
    double const inner = stripColumn - 2 * columnInset;

    // Octave: five lamps from +2 down to -2, the step buttons below them.
    strip->addSubview(caption(Rect(column(0), columnTop, stripColumn, 12), "OCTAVE", 9, true, titleColor()));
    auto selector = lampColumn(Rect(column(0) + columnInset, columnTop + 14, inner, 116), octave,
                               {"+2", "+1", "0", "-1", "-2"}, 2, -1, 15);
    for (int step : {0, -1}) {
        auto button = std::make_shared<Platform::Button>(Rect(0, step == 0 ? 78 : 98, inner, 17));
        button->setTag(step);
        button->setTitle(step == 0 ? "UP" : "DOWN", Platform::ControlState::Normal);
        button->titleLabel()->setFont(Platform::Font::boldSystemFont(9));
        button->setBackgroundColor(Platform::Color::withWhite(0.2));
        button->layer().cornerRadius = 4;
        selector->addSubview(button);
    }
    strip->addSubview(selector);
    strip->selectorOctave = selector.get();

    // Volume and glide.
    stripKnob(*strip, Rect(column(1), columnTop, stripColumn, 60), volume, "VOLUME");
    stripKnob(*strip, Rect(column(1), columnTop + 66, stripColumn, 60), portamento, "GLIDE");

    // Pitch-bend ranges, each knob with its range below it.
    Lumora_Ctrl_Label* bendLabels[2] = {};
    int const bendTags[2] = {pitchBendDown, pitchBendUp};
    char const* bendNames[2] = {"BEND -", "BEND +"};
    for (int i = 0; i < 2; ++i) {
        Rect const cell(column(2), columnTop + i * 68, stripColumn, 62);
        stripKnob(*strip, cell, bendTags[i], bendNames[i]);
        auto value = std::make_shared<Lumora_Ctrl_Label>(Rect(cell.origin.x, cell.origin.y + 49, stripColumn, 12));
        value->setTag(bendTags[i]);
        value->setOffset(1);
        value->setPrefix(i == 0 ? "-" : "+");
        value->setFontSize(10);
        strip->addSubview(value);
        bendLabels[i] = value.get();
    }
    strip->lblctrlPBN = bendLabels[0];
    strip->lblctrlPBP = bendLabels[1];

    // Voice mode and the arpeggiator switch.
    strip->addSubview(caption(Rect(column(3), columnTop, stripColumn, 12), "VOICE", 9, true, titleColor()));
    strip->addSubview(lampColumn(Rect(column(3) + columnInset, columnTop + 14, inner, 60), monoMode,
                                 {"Poly", "Mono", "Legato"}, 0, 1, 20));
    strip->addSubview(caption(Rect(column(3), columnTop + 82, stripColumn, 12), "ARP", 9, true, titleColor()));
    auto arp = std::make_shared<Lumora_Ctrl_Switch>(Rect(column(3) + (stripColumn - 26) / 2, columnTop + 98, 26, 26));
    arp->setTag(arpeggiator);
    arp->setToggled(true);
    strip->addSubview(arp);
    return {strip};
}

std::vector<std::shared_ptr<Platform::Object>> buildCommonParamPopup(Platform::Nib::Context const& context)
{
    auto root = std::make_shared<Platform::View>(Rect(0, 0, stripWidth, stripHeight));
    auto container = std::make_shared<Lumora_ScalableContainerView>(Rect(0, 0, stripWidth, stripHeight));
    // A popover smaller than the design keeps the container inside it; the content scrolls.
    container->setAutoresizingMask(Platform::Autoresizing::FlexibleWidth | Platform::Autoresizing::FlexibleHeight);
    auto content = std::make_shared<Lumora_ScalableContentView>(Rect(0, 0, stripWidth, stripHeight));
    auto place = std::make_shared<Lumora_SynthFrmwrk_CmnPrmCntnrVw>(Rect(0, 0, stripWidth, stripHeight));
    content->addSubview(place);
    container->addSubview(content);
    root->addSubview(container);
    if (auto* owner = context.ownerAs<CommonParam_VwCtrlr>()) {
        owner->setView(root);
        owner->cmnPrmCntnrVw = place.get();
    }
    return {root};
}

} // namespace

void registerMainFrameNibs()
{
    static std::once_flag once;
    std::call_once(once, [] {
        using Attribute = LayoutConstraint::Attribute;
        Platform::Nib::registerNib(Main::pluginNibName, [](Platform::Nib::Context const& c) {
            return buildMain(c, Rect(0, 0, 1024, 560), true, {Attribute::Height, 0.68});
        });
        // The pad app fits its surface to the width: the frame is the header plus the surface at
        // the screen's width, so the surface fills it with no band above or below, and the
        // keyboard row takes the rest of the height.
        Platform::Nib::registerNib(Main::padAppNibName, [](Platform::Nib::Context const& c) {
            return buildMain(c, Rect(0, 0, 1024, 768), true,
                             {Attribute::Width, padSurfaceSize.height / padSurfaceSize.width,
                              Lumora_SynthFrmwrk_EdtrFrmVw::headerHeight});
        });
        Platform::Nib::registerNib(Main::phoneAppNibName, [](Platform::Nib::Context const& c) {
            return buildMain(c, Rect(0, 0, 667, 375), false, {Attribute::Height, 0.72});
        });
        Platform::Nib::registerNib(Main::editorFrameNibName, buildEditorFrame);
        Platform::Nib::registerNib(Lumora_SynthFrmwrk_CmnPrmVw::nibName, buildCommonParamStrip);
        Platform::Nib::registerNib(CommonParam_VwCtrlr::nibName, buildCommonParamPopup);
    });
}

} // namespace CorvaneNib
