#include "screens/midimapping/Lumora_MidiMapperElmntVwCtrlr.h"

#include "controls/categories/UIView_Lumora_Control_Container_View.h"
#include "controls/midilearn/Lumora_MidiMappingEditorService.h"
#include "controls/painter/Lumora_Painter.h"
#include "engine/audio/iAudioEngine.h"
#include "engine/parameter/Parameter.h"
#include "engine/parameter/ParameterManager.h"
#include "platform/ui/Nib.h"
#include "screens/midimapping/MidiMapElmntVwCtrlr_Nib.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <string>

namespace {

constexpr int kControlChange = 0xB0;
constexpr int kChannelPressure = 0xD0;
// Controllers 120..127 are channel-mode messages, which no mapping may use.
constexpr int kLastMappableController = 119;
constexpr float kLastDataValue = 127;
// The dimmed look of the number controls (a single-precision 0.2, as the interface uses).
constexpr double kDimmed = static_cast<double>(0.2f);

// What the basic settings show for one state of the mapping.
struct Display {
    bool active;
    int segment;          // -1 none
    bool kindEnabled;
    float number;
    float maximum;
    bool numberEnabled;
    std::string label;
    bool curveEnabled;
};

Display displayFor(Lumora::MidiParamMapper::Element const* element)
{
    if (!element)
        return {false, -1, false, 0, kLastDataValue, false, "", false};
    auto const& key = element->midiSource();
    switch (key.status()) {
    case kControlChange:
        return {true, 0, true, static_cast<float>(key.number()), kLastMappableController, true,
                std::to_string(key.number()), true};
    case kChannelPressure:
        return {true, 1, true, 0, kLastDataValue, false, "", true};
    default:
        return {true, -1, false, 0, kLastDataValue, false, "ERR", false};
    }
}

} // namespace

bool Lumora_MidiMapperElmntVwCtrlr::init()
{
    registerInterfaceFile();
    return Platform::ViewController::init() && initWithNibName(nibName, nullptr);
}

void Lumora_MidiMapperElmntVwCtrlr::registerInterfaceFile()
{
    if (!Platform::Nib::isRegistered(nibName))
        Platform::Nib::registerNib(nibName, MidiMapElmntVwCtrlr_Nib::build);
}

void Lumora_MidiMapperElmntVwCtrlr::registerAsMappingEditor()
{
    Lumora_MidiMappingEditorService::setFactory(
        [](Lumora_MidiMapperElmntVwCtrlr_delegate* delegate, Lumora::iAudioEngine* engine, int32_t paramIndex)
            -> std::shared_ptr<Platform::ViewController> {
            auto editor = Platform::newObject<Lumora_MidiMapperElmntVwCtrlr>();
            if (!editor)
                return nullptr;
            editor->setDelegate(delegate);
            editor->setAudioEngine(engine);
            editor->setParamIndex(paramIndex);
            return editor;
        });
}

Lumora::Math::Shaper1bp Lumora_MidiMapperElmntVwCtrlr::shaper() const
{
    float lo = 0, hi = 1;
    if (audioEngine_)
        if (Lumora::Parameter const* p = audioEngine_->parameterManager().getParameter(paramIndex_)) {
            lo = p->normalizedMinValue();
            hi = p->normalizedMaxValue();
        }
    return Lumora::Math::Shaper1bp(lo, 0.5f, lo + (hi - lo) * 0.5f, hi);
}

void Lumora_MidiMapperElmntVwCtrlr::viewDidLoad()
{
    Platform::ViewController::viewDidLoad();
    Lumora::Parameter const* p =
        audioEngine_ ? audioEngine_->parameterManager().getParameter(paramIndex_) : nullptr;
    auto const type = p ? static_cast<int>(p->type()) : 0;
    if (auto* name = labelParamName())
        name->setText(p ? p->displayName() : std::string());
    bool const numeric = type >= 1 && type <= 4;
    if (auto* curve = viewParamShaper()) {
        curve->setAudioEngine(numeric ? audioEngine_ : nullptr);
        curve->setParamIndex(paramIndex_);
        curve->setHidden(true);
    }
    if (auto* button = btnParamShaper())
        button->setHidden(!numeric);
    if (auto* basic = viewBasic())
        basic->setHidden(false);
    if (auto tint = Lumora_Painter::sharedInstance()->tintColor())
        UIView_Lumora_Control_Container_View::setTintColorToDecendants(view(), *tint);
    updateUI();
}

void Lumora_MidiMapperElmntVwCtrlr::updateUI()
{
    Display d = displayFor(nullptr);
    if (audioEngine_) {
        Lumora::MidiParamMapper& mapper = audioEngine_->midiParamMapper();
        std::lock_guard lock(mapper.mutex());
        d = displayFor(mapper.findElement(paramIndex_));
    }
    if (auto* sw = ctrlActive())
        sw->setOn(d.active);
    if (auto* kind = ctrlMidiStatus()) {
        kind->setSelectedSegmentIndex(d.segment);
        kind->setEnabled(d.kindEnabled);
    }
    // Each value before its maximum.
    if (auto* slider = ctrlMidiNumber()) {
        slider->setValue(d.number);
        slider->setMaximumValue(d.maximum);
        slider->setEnabled(d.numberEnabled);
    }
    if (auto* stepper = ctrlStepperMidiNumber()) {
        stepper->setValue(d.number);
        stepper->setMaximumValue(d.maximum);
        stepper->setEnabled(d.numberEnabled);
        stepper->setAlpha(d.numberEnabled ? 1.0 : kDimmed);
    }
    if (auto* label = labelMidiNumber())
        label->setText(d.label);
    if (auto* caption = labelTitleMidiNumber())
        caption->setAlpha(d.numberEnabled ? 1.0 : kDimmed);
    if (auto* button = btnParamShaper())
        button->setEnabled(d.curveEnabled);
}

void Lumora_MidiMapperElmntVwCtrlr::writeKey(int status, int number)
{
    if (!audioEngine_)
        return;
    audioEngine_->midiParamMapper().newElement(
        paramIndex_, Lumora::MidiParamMapper::MidiKey(Lumora::MidiParamMapper::kAnyChannel, status, number), shaper());
}

void Lumora_MidiMapperElmntVwCtrlr::tellDelegate()
{
    if (Lumora_MidiMapperElmntVwCtrlr_delegate* d = delegate())
        d->midiMapperElementViewController_didChangeMidiSourceWithParameterID(this, paramIndex_);
}

void Lumora_MidiMapperElmntVwCtrlr::actionValueChanged_MidiActive(Platform::Switch* sender)
{
    if (!sender || !audioEngine_)
        return;
    if (sender->isOn())
        writeKey(kControlChange, 0);
    else
        audioEngine_->midiParamMapper().removeElementByParamID(paramIndex_);
    tellDelegate();
    if (auto* curve = viewParamShaper())
        curve->setNeedsDisplay();
    updateUI();
}

void Lumora_MidiMapperElmntVwCtrlr::actionValueChanged_MidiStatus(Platform::SegmentedControl* sender)
{
    if (!sender)
        return;
    writeKey(sender->selectedSegmentIndex() != 0 ? kChannelPressure : kControlChange, 0);
    tellDelegate();
    updateUI();
}

void Lumora_MidiMapperElmntVwCtrlr::actionValueChanged_MidiNumber(Platform::Slider* sender)
{
    if (sender)
        if (auto* label = labelMidiNumber())
            label->setText(std::to_string(static_cast<int>(sender->value())));
}

void Lumora_MidiMapperElmntVwCtrlr::actionTouchUp_MidiNumber(Platform::Slider* sender)
{
    if (sender)
        updateMidiNumber(static_cast<int>(sender->value()));
}

void Lumora_MidiMapperElmntVwCtrlr::actionValueChanged_MidiNumber_stepper(Platform::Stepper* sender)
{
    if (sender)
        updateMidiNumber(static_cast<int>(sender->value()));
}

void Lumora_MidiMapperElmntVwCtrlr::updateMidiNumber(int number)
{
    if (!audioEngine_)
        return;
    int status = 0, current = 0;
    {
        Lumora::MidiParamMapper& mapper = audioEngine_->midiParamMapper();
        std::lock_guard lock(mapper.mutex());
        Lumora::MidiParamMapper::Element const* element = mapper.findElement(paramIndex_);
        if (!element)
            return;
        status = element->midiSource().status();
        current = element->midiSource().number();
    }
    int const m = status == kControlChange ? std::clamp(number, 0, kLastMappableController) : 0;
    if (m == current)
        return;
    writeKey(status, m);
    tellDelegate();
    updateUI();
}

void Lumora_MidiMapperElmntVwCtrlr::actionShaper(Platform::Control*)
{
    auto* curve = viewParamShaper();
    auto* basic = viewBasic();
    bool const showCurve = curve ? curve->isHidden() : false;
    if (curve)
        curve->setHidden(!showCurve);
    if (basic)
        basic->setHidden(showCurve);
}

void Lumora_MidiMapperElmntVwCtrlr::actionClose(Platform::Control*)
{
    dismissViewControllerAnimated(true);
}
