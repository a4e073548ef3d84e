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

// The strip's design size: wide (55 : 93) so that the tall layout shows its left part, the
// octave selector and the volume.
constexpr double stripWidth = 279;
constexpr double stripHeight = 165;

std::vector<std::shared_ptr<Platform::Object>> buildMain(Platform::Nib::Context const& context, Rect frame, bool strip,
                                                     double frameShare)
{
    auto root = std::make_shared<MainFrameView>(frame);
    root->setBackgroundColor(Platform::Color::blackColor());

    auto frameContainer = std::make_shared<Lumora_SynthFrmwrk_EdtrFrmCntnrVw>();
    auto height = LayoutConstraint::constraintWithItem(frameContainer.get(), LayoutConstraint::Attribute::Height,
                                                       LayoutConstraint::Relation::Equal, root.get(),
                                                       LayoutConstraint::Attribute::Height, frameShare, 0);
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

std::vector<std::shared_ptr<Platform::Object>> buildCommonParamStrip(Platform::Nib::Context const&)
{
    auto strip = std::make_shared<Lumora_SynthFrmwrk_CmnPrmVw>(Rect(0, 0, stripWidth, stripHeight));
    strip->setBackgroundColor(Platform::Color(0.24, 0.0, 0.0));
    auto background = std::make_shared<Platform::ImageView>(Rect(0, 0, stripWidth, stripHeight));
    background->setUserInteractionEnabled(false);
    strip->addSubview(background);
    strip->backgroundImageVw = background.get();

    // Left part (what the tall layout shows): the octave selector and the volume.
    strip->addSubview(caption(Rect(6, 4, 108, 12), "OCTAVE", 9, true, titleColor()));
    auto selector = std::make_shared<Lumora_Ctrl_LampSelectorCntnr>(Rect(8, 18, 104, 84));
    selector->setTag(octave);
    for (int value = -2; value <= 2; ++value) {
        double const y = (2 - value) * 16 + 3;
        auto lamp = std::make_shared<Lumora_Ctrl_Lamp>(Rect(6, y, 10, 10));
        lamp->setTag(value);
        selector->addSubview(lamp);
        std::string text = value > 0 ? "+" : "";
        text += std::to_string(value);
        auto label = caption(Rect(20, y - 2, 26, 14), text, 9, false, nameColor());
        label->setTextAlignment(Platform::TextAlignment::Left);
        selector->addSubview(label);
    }
    for (int step : {0, -1}) {
        auto button = std::make_shared<Platform::Button>(Rect(58, step == 0 ? 4 : 46, 40, 32));
        button->setTag(step);
        button->setTitle(step == 0 ? "UP" : "DOWN", Platform::ControlState::Normal);
        button->titleLabel()->setFont(Platform::Font::boldSystemFont(9));
        button->setBackgroundColor(Platform::Color::withWhite(0.2));
        button->layer().cornerRadius = 4;
        selector->addSubview(button);
    }
    strip->addSubview(selector);
    strip->selectorOctave = selector.get();
    stripKnob(*strip, Rect(6, 104, 108, 60), volume, "VOLUME");

    // Right part: pitch-bend ranges, portamento, voice mode and the arpeggiator switch.
    double const rx = 120;
    double const cw = (stripWidth - rx - 4) / 3;
    Lumora_Ctrl_Label* bendLabels[2] = {};
    int const bendTags[2] = {pitchBendDown, pitchBendUp};
    char const* bendNames[2] = {"BEND -", "BEND +"};
    for (int i = 0; i < 2; ++i) {
        Rect const cell(rx + i * cw, 4, cw, 60);
        stripKnob(*strip, cell, bendTags[i], bendNames[i]);
        auto value = std::make_shared<Lumora_Ctrl_Label>(Rect(cell.origin.x, 49, cw, 12));
        value->setTag(bendTags[i]);
        value->setOffset(1);
        value->setPrefix(i == 0 ? "-" : "+");
        value->setFontSize(10);
        strip->addSubview(value);
        bendLabels[i] = value.get();
    }
    strip->lblctrlPBN = bendLabels[0];
    strip->lblctrlPBP = bendLabels[1];
    stripKnob(*strip, Rect(rx + 2 * cw, 4, cw, 60), portamento, "GLIDE");

    Rect const modeCell(rx, 70, cw, 90);
    strip->addSubview(caption(Rect(modeCell.origin.x, 70, cw, 12), "VOICE", 9, true, titleColor()));
    auto mode = std::make_shared<Lumora_Ctrl_LampSelectorCntnr>(Rect(modeCell.origin.x + 4, 86, cw - 6, 60));
    mode->setTag(monoMode);
    char const* modeNames[3] = {"Poly", "Mono", "Legato"};
    for (int value = 0; value < 3; ++value) {
        auto lamp = std::make_shared<Lumora_Ctrl_Lamp>(Rect(2, value * 20 + 5, 10, 10));
        lamp->setTag(value);
        mode->addSubview(lamp);
        auto label = caption(Rect(16, value * 20, cw - 22, 20), modeNames[value], 9, false, nameColor());
        label->setTextAlignment(Platform::TextAlignment::Left);
        mode->addSubview(label);
    }
    strip->addSubview(mode);

    Rect const arpCell(rx + cw, 70, cw, 90);
    strip->addSubview(caption(Rect(arpCell.origin.x, 70, cw, 12), "ARP", 9, true, titleColor()));
    auto arp = std::make_shared<Lumora_Ctrl_Switch>(Rect(arpCell.origin.x + (cw - 26) / 2, 88, 26, 26));
    arp->setTag(arpeggiator);
    arp->setToggled(true);
    strip->addSubview(arp);
    return {strip};
}

std::vector<std::shared_ptr<Platform::Object>> buildCommonParamPopup(Platform::Nib::Context const& context)
{
    auto root = std::make_shared<Platform::View>(Rect(0, 0, stripWidth, stripHeight));
    auto container = std::make_shared<Lumora_ScalableContainerView>(Rect(0, 0, stripWidth, stripHeight));
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
        Platform::Nib::registerNib(Main::pluginNibName, [](Platform::Nib::Context const& c) {
            return buildMain(c, Rect(0, 0, 1024, 560), true, 0.68);
        });
        Platform::Nib::registerNib(Main::padAppNibName, [](Platform::Nib::Context const& c) {
            return buildMain(c, Rect(0, 0, 1024, 768), true, 0.6);
        });
        Platform::Nib::registerNib(Main::phoneAppNibName, [](Platform::Nib::Context const& c) {
            return buildMain(c, Rect(0, 0, 667, 375), false, 0.72);
        });
        Platform::Nib::registerNib(Main::editorFrameNibName, buildEditorFrame);
        Platform::Nib::registerNib(Lumora_SynthFrmwrk_CmnPrmVw::nibName, buildCommonParamStrip);
        Platform::Nib::registerNib(CommonParam_VwCtrlr::nibName, buildCommonParamPopup);
    });
}

} // namespace CorvaneNib
