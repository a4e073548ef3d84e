#include "screens/arpeggiator/Lumora_ArpeggiatorVwCtrlr.h"

#include "controls/categories/UIView_Lumora_Control_Container_View.h"
#include "controls/knob/Lumora_Ctrl_RotaryKnob.h"
#include "controls/lamp/Lumora_Ctrl_LampSelectorCntnr.h"
#include "controls/layout/Lumora_ScalableContentView.h"
#include "controls/painter/Lumora_Painter.h"
#include "controls/switch/Lumora_Ctrl_Switch.h"
#include "engine/parameter/ParameterManager.h"
#include "engine/parameter/Serializer.h"
#include "engine/parameter/TypedParameters.h"
#include "engine/synth/iSynthAudioEngine.h"
#include "model/core/Lumora_Core.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Nib.h"
#include "screens/arpeggiator/ArpVwCtrlrNib.h"
#include "screens/arpeggiator/ArpeggiatorEditing.h"
#include "screens/arpeggiator/Lumora_ArpKeyCntnrView.h"
#include "screens/arpeggiator/Lumora_ArpPgmSlider.h"
#include "screens/browser/Lumora_PrstDocFileBrwsVwCtrlr.h"

#include <string>

namespace Edit = ArpeggiatorEditing;

namespace {

// What a fresh record shows on the knobs, which a double tap returns them to.
constexpr float defaultStepLengthKnob = 14;
constexpr float defaultPatternLengthKnob = 6;
constexpr float defaultSwing = 0;
constexpr float defaultAccent = 0.5f;
constexpr float defaultDuration = 0.5f;
constexpr float defaultStaccato = 0.5f;
constexpr int32_t stepLengthPositions = 15;
constexpr unsigned anyArrowDirection = 15;

// Sets a flag for the length of a scope and puts the old value back after it; nested uses work.
class ScopedFlag {
public:
    explicit ScopedFlag(bool& flag) : flag_(flag), saved_(flag) { flag_ = true; }
    ~ScopedFlag() { flag_ = saved_; }
    ScopedFlag(ScopedFlag const&) = delete;
    ScopedFlag& operator=(ScopedFlag const&) = delete;

private:
    bool& flag_;
    bool saved_;
};

void setKnob(Lumora_Ctrl_RotaryKnob* knob, float value)
{
    if (!knob)
        return;
    knob->setValue(value);
    knob->setNeedsDisplay();
}

void setKnobEnabled(Lumora_Ctrl_RotaryKnob* knob, bool enabled)
{
    if (!knob)
        return;
    knob->setDisabled(!enabled);
    knob->setAlpha(enabled ? 1.0 : Edit::disabledKnobAlpha);
}

void setSelector(Lumora_Ctrl_LampSelectorCntnr* selector, unsigned value)
{
    if (selector)
        selector->setValue(static_cast<float>(value));
}

void setNumber(Platform::Label* label, unsigned value)
{
    if (label)
        label->setText(std::to_string(value));
}

} // namespace

std::shared_ptr<Lumora_ArpeggiatorVwCtrlr> Lumora_ArpeggiatorVwCtrlr::create(std::shared_ptr<Lumora_Core> core)
{
    auto editor = std::make_shared<Lumora_ArpeggiatorVwCtrlr>();
    if (!editor->initWithCore(std::move(core)))
        return nullptr;
    return editor;
}

std::shared_ptr<Platform::ViewController> Lumora_ArpeggiatorVwCtrlr::createForOpener(
    std::shared_ptr<Lumora_Core> const& core, Lumora_ScalableContainer_Delegate* opener)
{
    auto editor = create(core);
    if (editor)
        editor->setContainerDelegate(opener);
    return editor;
}

void Lumora_ArpeggiatorVwCtrlr::registerInterfaceFile()
{
    if (!Platform::Nib::isRegistered(nibName))
        Platform::Nib::registerNib(nibName, ArpVwCtrlrNib::build);
}

bool Lumora_ArpeggiatorVwCtrlr::initWithCore(std::shared_ptr<Lumora_Core> core)
{
    if (!core)
        return false;
    registerInterfaceFile();
    if (!Platform::ViewController::init() || !initWithNibName(nibName, Platform::Bundle::main()))
        return false;
    core_ = core;
    return true;
}

Lumora_ArpeggiatorVwCtrlr::~Lumora_ArpeggiatorVwCtrlr()
{
    unregisterObservers();
}

void Lumora_ArpeggiatorVwCtrlr::connectOutlets(Outlets const& o)
{
    containerView_ = o.containerView ? std::static_pointer_cast<Lumora_ScalableContainerView>(o.containerView->sharedView())
                                     : nullptr;
    contentView_ = o.contentView ? std::static_pointer_cast<Lumora_ScalableContentView>(o.contentView->sharedView())
                                 : nullptr;
    backgroundImageVw_.reset(o.backgroundImageVw);
    selectorActive_.reset(o.selectorActive);
    selectorStyle_.reset(o.selectorStyle);
    selectorOctave_.reset(o.selectorOctave);
    selectorRate_.reset(o.selectorRate);
    switchKeySync_.reset(o.switchKeySync);
    knobStepLength_.reset(o.knobStepLength);
    knobPatternLength_.reset(o.knobPatternLength);
    knobSwing_.reset(o.knobSwing);
    knobAccent_.reset(o.knobAccent);
    knobDuration_.reset(o.knobDuration);
    knobStaccato_.reset(o.knobStaccato);
    labelStepLength_.reset(o.labelStepLength);
    labelPatternLength_.reset(o.labelPatternLength);
    stepActive_.reset(o.stepActive);
    stepPortamento_.reset(o.stepPortamento);
    stepOctaveup_.reset(o.stepOctaveup);
    stepAccent_.reset(o.stepAccent);
    stepStaccato_.reset(o.stepStaccato);
    stepProgram_.reset(o.stepProgram);
}

Lumora::iSynthAudioEngine* Lumora_ArpeggiatorVwCtrlr::instrumentAudioEngine() const
{
    return core_ ? dynamic_cast<Lumora::iSynthAudioEngine*>(core_->audioEngine()) : nullptr;
}

Lumora::ArpeggiatorData* Lumora_ArpeggiatorVwCtrlr::record() const
{
    Lumora::iSynthAudioEngine* engine = instrumentAudioEngine();
    return engine ? &engine->arpeggiatorData() : nullptr;
}

Lumora::Parameter* Lumora_ArpeggiatorVwCtrlr::arpeggiatorParameter() const
{
    Lumora::iSynthAudioEngine* engine = instrumentAudioEngine();
    return engine ? engine->parameterManager().getParameter(arpeggiatorParameterID) : nullptr;
}

void Lumora_ArpeggiatorVwCtrlr::setScrollViewBackgroundColor(std::optional<Platform::Color> color)
{
    scrollViewBackgroundColor_ = color;
    if (isViewLoaded())
        view()->setBackgroundColor(color);
}

void Lumora_ArpeggiatorVwCtrlr::viewDidLoad()
{
    Lumora_Basic_ViewController::viewDidLoad();
    Lumora_Painter* painter = Lumora_Painter::sharedInstance();

    if (scrollViewBackgroundColor_)
        view()->setBackgroundColor(scrollViewBackgroundColor_);
    if (auto* container = containerView_.get()) {
        container->setContainerDelegate(this);
        container->setBackgroundColor(scrollViewBackgroundColor_);
        container->setContentView(contentView_.get());
    }
    if (auto* background = backgroundImageVw_.get())
        background->setImage(painter->arpeggiatorBackgroundImage());
    if (auto color = painter->arpeggiatorNumericIndicatorColor()) {
        for (Platform::Label* label : {labelStepLength_.get(), labelPatternLength_.get()})
            if (label)
                label->setTextColor(*color);
    }

    for (Lumora_Control* control :
         {static_cast<Lumora_Control*>(selectorActive_.get()), static_cast<Lumora_Control*>(selectorStyle_.get()),
          static_cast<Lumora_Control*>(selectorOctave_.get()), static_cast<Lumora_Control*>(selectorRate_.get()),
          static_cast<Lumora_Control*>(switchKeySync_.get()), static_cast<Lumora_Control*>(knobStepLength_.get()),
          static_cast<Lumora_Control*>(knobPatternLength_.get()), static_cast<Lumora_Control*>(knobSwing_.get()),
          static_cast<Lumora_Control*>(knobAccent_.get()), static_cast<Lumora_Control*>(knobDuration_.get()),
          static_cast<Lumora_Control*>(knobStaccato_.get())})
        if (control)
            control->setDelegate(this);
    for (Lumora_ArpKeyCntnrView* row :
         {stepActive_.get(), stepAccent_.get(), stepStaccato_.get(), stepPortamento_.get(), stepOctaveup_.get()})
        if (row)
            row->setDelegate(this);
    if (auto* program = stepProgram_.get())
        program->setDelegate(this);

    if (auto* knob = knobStepLength_.get())
        knob->setNumOfSwitches(stepLengthPositions);
    struct KnobDefault {
        Lumora_Ctrl_RotaryKnob* knob;
        float value;
    };
    for (KnobDefault const& d : {KnobDefault{knobStepLength_.get(), defaultStepLengthKnob},
                                 KnobDefault{knobPatternLength_.get(), defaultPatternLengthKnob},
                                 KnobDefault{knobSwing_.get(), defaultSwing},
                                 KnobDefault{knobAccent_.get(), defaultAccent},
                                 KnobDefault{knobDuration_.get(), defaultDuration},
                                 KnobDefault{knobStaccato_.get(), defaultStaccato}})
        if (d.knob)
            d.knob->setDefaultValue(d.value);

    if (auto tint = painter->tintColor())
        UIView_Lumora_Control_Container_View::setTintColorToDecendants(view(), *tint);

    updateUI();
    registerObservers();
}

void Lumora_ArpeggiatorVwCtrlr::registerObservers()
{
    if (observing_ || !core_)
        return;
    core_->addParamObserver(this);
    core_->addAudioEngineObserver(this);
    observing_ = true;
}

void Lumora_ArpeggiatorVwCtrlr::unregisterObservers()
{
    if (!observing_ || !core_)
        return;
    core_->removeParamObserver(this);
    core_->removeAudioEngineObserver(this);
    observing_ = false;
}

// ---- Showing the record ----

void Lumora_ArpeggiatorVwCtrlr::updateUI()
{
    ScopedFlag showing(showingRecord_);
    if (Lumora::Parameter* parameter = arpeggiatorParameter())
        showArpeggiatorSwitch(parameter->normalizedValue() > 0.0f);
    Lumora::ArpeggiatorData* data = record();
    if (!data)
        return;
    showHeader(*data);
    for (unsigned step = 0; step < Lumora::ArpeggiatorData::kStepCount; ++step)
        showStep(*data, step);
}

void Lumora_ArpeggiatorVwCtrlr::showArpeggiatorSwitch(bool on)
{
    ScopedFlag showing(showingRecord_);
    setSelector(selectorActive_.get(), on ? 1 : 0);
}

void Lumora_ArpeggiatorVwCtrlr::showHeader(Lumora::ArpeggiatorData const& data)
{
    if (auto* keySync = switchKeySync_.get()) {
        keySync->setValue(data.syncToKeyOn ? 1.0f : 0.0f);
        keySync->setNeedsDisplay();
    }

    unsigned const stepLength = data.stepLength;
    unsigned const patternLength = data.patternLength;
    unsigned const style = data.style;
    unsigned const rate = data.rate;

    setKnob(knobStepLength_.get(), static_cast<float>(stepLength) - Edit::lengthOffset);
    setNumber(labelStepLength_.get(), stepLength);
    setKnob(knobPatternLength_.get(), static_cast<float>(patternLength) - Edit::lengthOffset);
    setKnobEnabled(knobPatternLength_.get(), !Edit::isPatternLengthDisabled(style));
    setNumber(labelPatternLength_.get(), patternLength);

    setSelector(selectorStyle_.get(), style);
    setSelector(selectorOctave_.get(), data.octaves);
    setSelector(selectorRate_.get(), rate);

    setKnob(knobSwing_.get(), data.swing);
    setKnobEnabled(knobSwing_.get(), !Edit::isSwingDisabled(rate));
    setKnob(knobAccent_.get(), data.accentAmount);
    setKnob(knobDuration_.get(), data.gate);
    setKnob(knobStaccato_.get(), data.staccatoAmount);
}

void Lumora_ArpeggiatorVwCtrlr::showStep(Lumora::ArpeggiatorData const& data, unsigned step)
{
    Lumora::ArpeggiatorData::Step const& s = data.steps[step];
    bool const active = s.active;
    int32_t const tag = static_cast<int32_t>(step);

    struct KeyRow {
        Lumora_ArpKeyCntnrView* row;
        bool on;
        bool dims;
    };
    KeyRow const rows[] = {
        {stepActive_.get(), active, false},
        {stepAccent_.get(), s.accent, true},
        {stepStaccato_.get(), s.staccato, true},
        {stepPortamento_.get(), s.portamento, true},
        {stepOctaveup_.get(), Edit::isOctaveUp(s.transpose), true},
    };
    Edit::StepLook const look = Edit::stepLook(step, data.stepLength, data.style, active);
    for (KeyRow const& r : rows) {
        if (!r.row)
            continue;
        r.row->setOn(r.on, tag);
        r.row->setDisabled(look.keysDisabled, tag);
        if (r.dims && look.dimAlpha)
            r.row->setAlpha(*look.dimAlpha, tag);
    }
    if (auto* program = stepProgram_.get()) {
        program->setValue(s.program, tag);
        program->setDisabled(look.faderDisabled, tag);
        if (look.dimAlpha)
            program->setAlpha(*look.dimAlpha, tag);
    }
}

void Lumora_ArpeggiatorVwCtrlr::updateCurrentStep()
{
    Lumora::iSynthAudioEngine* engine = instrumentAudioEngine();
    Lumora_ArpKeyCntnrView* row = stepActive_.get();
    if (!engine || !row)
        return;
    // Read while the render thread advances it: a step one block old is good enough to show.
    row->toggleLighted(static_cast<int32_t>(engine->arpeggiator().currentStepNumber()));
}

// ---- Writing ----

void Lumora_ArpeggiatorVwCtrlr::Lumora_Control_valueChanged(Lumora_Control* control, float value)
{
    if (showingRecord_ || !control)
        return;
    if (control == selectorActive_.get()) {
        if (auto* parameter = dynamic_cast<Lumora::Parameter_Bool*>(arpeggiatorParameter()))
            parameter->setValue(value != 0.0f, Token::ArpeggiatorEditor, Lumora::AutomationEventType::None);
        return;
    }
    Lumora::ArpeggiatorData* data = record();
    if (!data)
        return;
    bool changesEnabling = false;
    if (control == switchKeySync_.get()) {
        Edit::writeSyncToKeyOn(*data, value);
    } else if (control == knobStepLength_.get()) {
        Edit::writeStepLength(*data, value);
        changesEnabling = true;
    } else if (control == selectorStyle_.get()) {
        Edit::writeStyle(*data, value);
        changesEnabling = true;
    } else if (control == knobPatternLength_.get()) {
        Edit::writePatternLength(*data, value);
        changesEnabling = true;
    } else if (control == knobSwing_.get()) {
        Edit::writeSwing(*data, value);
    } else if (control == selectorOctave_.get()) {
        Edit::writeOctaves(*data, value);
    } else if (control == selectorRate_.get()) {
        Edit::writeRate(*data, value);
        changesEnabling = true;
    } else if (control == knobAccent_.get()) {
        Edit::writeAccentAmount(*data, value);
    } else if (control == knobDuration_.get()) {
        Edit::writeGate(*data, value);
    } else if (control == knobStaccato_.get()) {
        Edit::writeStaccatoAmount(*data, value);
    }
    if (changesEnabling)
        updateUI();
}

void Lumora_ArpeggiatorVwCtrlr::keyDown(Lumora_KeyView* key, Lumora_KeyContainerView* container)
{
    Lumora::ArpeggiatorData* data = record();
    if (!key || !container || !data)
        return;
    int const step = Edit::stepIndexOfTag(key->tag());
    bool const on = key->on();
    if (container == stepActive_.get()) {
        Edit::writeStepActive(*data, step, on);
        updateUI();
    } else if (container == stepAccent_.get()) {
        Edit::writeStepAccent(*data, step, on);
    } else if (container == stepStaccato_.get()) {
        Edit::writeStepStaccato(*data, step, on);
    } else if (container == stepPortamento_.get()) {
        Edit::writeStepPortamento(*data, step, on);
    } else if (container == stepOctaveup_.get()) {
        Edit::writeStepOctaveUp(*data, step, on);
    }
}

void Lumora_ArpeggiatorVwCtrlr::keyUp(Lumora_KeyView*, Lumora_KeyContainerView*) {}

void Lumora_ArpeggiatorVwCtrlr::arpPgmCntnrVw_arpPgmSlider_value(Lumora_ArpPgmCntnrVw*, Lumora_ArpPgmSlider* slider,
                                                                 float value)
{
    if (showingRecord_ || !slider)
        return;
    if (Lumora::ArpeggiatorData* data = record())
        Edit::writeStepProgram(*data, Edit::stepIndexOfTag(slider->tag()), value);
}

// ---- Changes from elsewhere ----

Lumora_ArpeggiatorVwCtrlr::Token Lumora_ArpeggiatorVwCtrlr::parameterObserverToken() const
{
    return Token::ArpeggiatorEditor;
}

void Lumora_ArpeggiatorVwCtrlr::didChangeParam(Lumora::Parameter const* param, Token token)
{
    if (!param || isOwnChange(token))
        return;
    if (param->id() == arpeggiatorParameterID)
        showArpeggiatorSwitch(param->concreteValue() != 0.0f);
}

void Lumora_ArpeggiatorVwCtrlr::receiveAudioEngineNotificationWithID(int id, int param)
{
    if (id == Lumora::iAudioEngine::GrooveSixteenthTick) {
        updateCurrentStep();
    } else if (id == Lumora::iAudioEngine::Deserialized
               && Lumora::sharesBit(static_cast<Lumora::SerializeWhat>(static_cast<uint32_t>(param)),
                                    Lumora::SerializeWhat::ArpeggiatorPart)) {
        updateUI();
    }
}

// ---- Presentation ----

float Lumora_ArpeggiatorVwCtrlr::scaleOfContent()
{
    if (auto* delegate = containerDelegate_.get())
        return delegate->scaleOfContent();
    return 1.0f;
}

void Lumora_ArpeggiatorVwCtrlr::touchOutsideOfContent()
{
    dismissViewControllerAnimated(true);
}

void Lumora_ArpeggiatorVwCtrlr::actionClose(Platform::Control*)
{
    dismissViewControllerAnimated(true);
}

void Lumora_ArpeggiatorVwCtrlr::actionFile(Platform::Control* sender)
{
    Lumora::iSynthAudioEngine* engine = instrumentAudioEngine();
    if (!engine || !core_)
        return;
    auto browser =
        Lumora_PrstDocFileBrwsVwCtrlr::create(engine->arpeggiatorDocumentFileManager(), core_->isPlugin(), true);
    if (!browser)
        return;
    if (core_->subViewControllerStyle() == 1) {
        modalViewController(browser);
        return;
    }
    Platform::Size const size = browser->view() ? browser->view()->frame().size : Platform::Size{};
    popoverViewController(browser, size, sender, {}, anyArrowDirection, Platform::Color::whiteColor());
}
