#include "screens/midimapping/MidiMapElmntVwCtrlr_Nib.h"

#include "platform/ui/Label.h"
#include "platform/ui/SegmentedControl.h"
#include "platform/ui/Slider.h"
#include "screens/midimapping/Lumora_MidiMapperElmntVwCtrlr.h"

#include <cmath>

namespace MidiMapElmntVwCtrlr_Nib {

namespace {

using Platform::Rect;

// The panel: a 44-point header over the two settings panels, which share one place.
constexpr double kWidth = 300;
constexpr double kHeight = 250;
constexpr double kHeader = 44;
constexpr double kMargin = 16;
// The proportions of the response graph the theme draws.
constexpr double kGraphWidth = 340;
constexpr double kGraphHeight = 115;

std::shared_ptr<Platform::Label> caption(Rect frame, std::string text, Platform::TextAlignment alignment,
                                         double size = 15)
{
    auto label = std::make_shared<Platform::Label>(frame);
    label->setText(std::move(text));
    label->setTextAlignment(alignment);
    label->setFont(Platform::Font::systemFont(size));
    return label;
}

std::shared_ptr<Lumora_CmndButton> commandButton(Rect frame, std::string icon)
{
    auto button = std::make_shared<Lumora_CmndButton>(frame);
    button->setImageName(std::move(icon));
    return button;
}

} // namespace

std::vector<std::shared_ptr<Platform::Object>> build(Platform::Nib::Context const& context)
{
    auto root = std::make_shared<Platform::View>(Rect(0, 0, kWidth, kHeight));
    root->setBackgroundColor(Platform::Color::whiteColor());

    // Header: what the panel is, and the name of the parameter it maps.
    double const headerTextWidth = kWidth - kMargin - 88;
    auto heading = caption(Rect(kMargin, 3, headerTextWidth, 15), "MIDI Mapping", Platform::TextAlignment::Left, 12);
    heading->setTextColor(Platform::Color::withWhite(0.4));
    root->addSubview(heading);
    auto paramName = caption(Rect(kMargin, 18, headerTextWidth, 22), "", Platform::TextAlignment::Left, 15);
    paramName->setFont(Platform::Font::boldSystemFont(15));
    root->addSubview(paramName);
    auto shaperButton = commandButton(Rect(kWidth - 80, 7, 30, 30), "Shaper");
    auto closeButton = commandButton(Rect(kWidth - 42, 7, 30, 30), "Close");
    root->addSubview(shaperButton);
    root->addSubview(closeButton);

    Rect const panel(0, kHeader, kWidth, kHeight - kHeader);

    // Basic settings: active switch, message kind, controller number.
    auto basic = std::make_shared<Lumora_MidiMapper_BasicSettingView>(panel);
    basic->addSubview(caption(Rect(kMargin, 10, 150, 31), "Active", Platform::TextAlignment::Left));
    auto active = std::make_shared<Platform::Switch>(Rect(kWidth - kMargin - 51, 10, 51, 31));
    basic->addSubview(active);
    auto kind = std::make_shared<Platform::SegmentedControl>(Rect(kMargin, 54, kWidth - 2 * kMargin, 30),
                                                             std::vector<std::string>{"Control Change", "Ch. Pressure"});
    basic->addSubview(kind);
    auto numberCaption = caption(Rect(kMargin, 98, 150, 24), "CC Number", Platform::TextAlignment::Left);
    basic->addSubview(numberCaption);
    auto number = caption(Rect(kWidth - kMargin - 80, 98, 80, 24), "", Platform::TextAlignment::Right);
    basic->addSubview(number);
    auto slider = std::make_shared<Platform::Slider>(Rect(kMargin, 136, 160, 30));
    slider->setMinimumValue(0);
    slider->setMaximumValue(127);
    basic->addSubview(slider);
    auto stepper = std::make_shared<Platform::Stepper>(Rect(kWidth - kMargin - 94, 136, 94, 30));
    stepper->setMinimumValue(0);
    stepper->setMaximumValue(127);
    stepper->setStepValue(1);
    basic->addSubview(stepper);
    root->addSubview(basic);

    // Curve editor, centred in the panel in the proportions of the drawn graph, so its handles
    // are drawn round.
    double const curveWidth = kWidth - 20;
    double const curveHeight = std::round((curveWidth - 10) * kGraphHeight / kGraphWidth + 10);
    auto curve = std::make_shared<Lumora_MidiMapper_ParamShaperView>(
        Rect(10, panel.midY() - curveHeight / 2, curveWidth, curveHeight));
    curve->setBackgroundColor(Platform::Color::whiteColor());
    root->addSubview(curve);

    if (auto* owner = context.ownerAs<Lumora_MidiMapperElmntVwCtrlr>()) {
        owner->setView(root);
        owner->setCtrlActive(active.get());
        owner->setCtrlMidiStatus(kind.get());
        owner->setCtrlMidiNumber(slider.get());
        owner->setCtrlStepperMidiNumber(stepper.get());
        owner->setLabelMidiNumber(number.get());
        owner->setLabelTitleMidiNumber(numberCaption.get());
        owner->setLabelParamName(paramName.get());
        owner->setViewParamShaper(curve.get());
        owner->setViewBasic(basic.get());
        owner->setBtnParamShaper(shaperButton.get());

        using E = Lumora_MidiMapperElmntVwCtrlr;
        namespace Ev = Platform::ControlEvents;
        active->addTarget(owner, &E::actionValueChanged_MidiActive, Ev::ValueChanged);
        kind->addTarget(owner, &E::actionValueChanged_MidiStatus, Ev::ValueChanged);
        slider->addTarget(owner, &E::actionValueChanged_MidiNumber, Ev::ValueChanged);
        slider->addTarget(owner, &E::actionTouchUp_MidiNumber, Ev::TouchUpInside | Ev::TouchUpOutside);
        stepper->addTarget(owner, &E::actionValueChanged_MidiNumber_stepper, Ev::ValueChanged);
        shaperButton->addTarget(owner, &E::actionShaper, Ev::TouchUpInside);
        closeButton->addTarget(owner, &E::actionClose, Ev::TouchUpInside);
    }
    return {root};
}

} // namespace MidiMapElmntVwCtrlr_Nib
