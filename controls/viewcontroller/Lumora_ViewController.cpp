#include "controls/viewcontroller/Lumora_ViewController.h"

#include "controls/base/Lumora_Control.h"
#include "controls/categories/UIView_Lumora_Control_Container_View.h"
#include "controls/painter/Lumora_Painter.h"
#include "controls/viewcontroller/UIControl_Lumora_Control_Container_View.h"
#include "engine/audio/iAudioEngine.h"
#include "engine/parameter/Parameter.h"
#include "engine/parameter/ParameterManager.h"
#include "model/core/Lumora_Core.h"

#include <algorithm>

using Category = UIControl_Lumora_Control_Container_View;

Lumora_ViewController::Lumora_ViewController() = default;

Lumora_ViewController::~Lumora_ViewController()
{
    // The model keeps its observers unretained: leave every list before going away.
    if (core_) {
        core_->removeParamObserver(this);
        core_->removeAudioEngineObserver(this);
        core_->removeSettingsObserver(this);
    }
    setReceivingMidi(false);
    dicControls_.clear();
    setControls_.clear();
    setControlStatusViews_.clear();
    core_.reset();
}

// ---- construction

bool Lumora_ViewController::init()
{
    return false;
}

bool Lumora_ViewController::initWithNibName(std::string, std::shared_ptr<Platform::Bundle>)
{
    return false;
}

bool Lumora_ViewController::initWithCore(std::shared_ptr<Lumora_Core> core)
{
    if (!core || !Platform::ViewController::init())
        return false;
    initInstanceWithCore(std::move(core));
    return true;
}

bool Lumora_ViewController::initWithCore(std::shared_ptr<Lumora_Core> core, std::string nibName,
                                         std::shared_ptr<Platform::Bundle> bundle)
{
    if (!core || !Platform::ViewController::initWithNibName(std::move(nibName), std::move(bundle)))
        return false;
    initInstanceWithCore(std::move(core));
    return true;
}

void Lumora_ViewController::initInstanceWithCore(std::shared_ptr<Lumora_Core> core)
{
    core_ = core;
    setControls_.clear();
    dicControls_.clear();
    setControlStatusViews_.clear();
    didInitWithCore(core_.get());
}

void Lumora_ViewController::didInitWithCore(Lumora_Core*) {}

Lumora::iAudioEngine* Lumora_ViewController::audioEngine() const
{
    return core_ ? core_->audioEngine() : nullptr;
}

Lumora::iAudioIO* Lumora_ViewController::audioIO() const
{
    Lumora::iAudioEngine* engine = audioEngine();
    return engine ? engine->audioIO() : nullptr;
}

Lumora_ViewController::Token Lumora_ViewController::parameterObserverToken() const
{
    return Token::ViewController;
}

// ---- life of the view

void Lumora_ViewController::viewDidLoad()
{
    Lumora_Basic_ViewController::viewDidLoad();
    setupDescendantUiControlsWithView(view());
    if (auto tint = Lumora_Painter::sharedInstance()->tintColor())
        UIView_Lumora_Control_Container_View::setTintColorToDecendants(view(), *tint);
    // Forced through the hiding pass once: every overlay deselected and hidden, learning off.
    showControlStatusView_ = true;
    setShowControlStatusView(false);
    if (core_) {
        core_->addParamObserver(this);
        core_->addAudioEngineObserver(this);
        core_->addSettingsObserver(this);
    }
}

void Lumora_ViewController::viewWillAppear(bool animated)
{
    Lumora_Basic_ViewController::viewWillAppear(animated);
    updateUI();
}

void Lumora_ViewController::presentSubViewController(std::shared_ptr<Platform::ViewController> controller,
                                                     Platform::Size contentSize, Platform::View* sourceView,
                                                     std::vector<Platform::View*> passthroughViews,
                                                     unsigned arrowDirection,
                                                     std::optional<Platform::Color> backgroundColor)
{
    if (core_ && core_->subViewControllerStyle() == 1)
        modalViewController(std::move(controller));
    else
        popoverViewController(std::move(controller), contentSize, sourceView, std::move(passthroughViews),
                              arrowDirection, backgroundColor);
}

void Lumora_ViewController::setReceivingMidi(bool receiving)
{
    receivingMidi_ = receiving;
    if (!core_)
        return;
    if (receiving)
        core_->addMidiObserver(this);
    else
        core_->removeMidiObserver(this);
}

// ---- binding

void Lumora_ViewController::setupDescendantUiControlsWithView(Platform::View* view)
{
    Lumora::iAudioEngine* engine = audioEngine();
    if (!view || !engine)
        return;
    Lumora::ParameterManager& parameters = engine->parameterManager();
    Lumora::MidiParamMapper& mapper = engine->midiParamMapper();

    ControlSet newControls;
    UIView_Lumora_Control_Listing::listupDescendantUiControls(view, setControls_, newControls);
    for (auto const& control : newControls)
        bindControl(control.get(), parameters, mapper);
    rebuildControlDictionaly();
}

void Lumora_ViewController::bindControl(Platform::Control* control, Lumora::ParameterManager& parameters,
                                        Lumora::MidiParamMapper& mapper)
{
    int32_t const tag = control->tag();
    // Every listed control reports to the screen, whether or not its tag names a parameter.
    control->addTarget(this, &Lumora_ViewController::actionParamUiValueChanged, Platform::ControlEvents::ValueChanged);
    Lumora::Parameter* parameter = parameters.getParameter(tag);
    if (!parameter)
        return;
    if (auto* own = dynamic_cast<Lumora_Control*>(control)) {
        own->setParameter(parameter);
        if (own->isReadOnly())
            return;
    } else {
        Category::setUiControl_normalizedValue(control, parameter->normalizedValue());
    }
    Platform::View* parent = control->superview();
    if (!parent)
        return;
    auto overlay = Lumora_ControlStatusView::withControl(control, &mapper);
    overlay->setDelegate(this);
    overlay->setHidden(true);
    parent->addSubview(overlay);
    setControlStatusViews_.push_back(std::move(overlay));
}

void Lumora_ViewController::finalizeDescendantUiControlsWithView(Platform::View* view)
{
    if (!view)
        return;
    std::erase_if(setControls_, [view](auto const& control) { return control->isDescendantOfView(view); });
    StatusViews gone;
    std::erase_if(setControlStatusViews_, [&](auto const& overlay) {
        if (!overlay->isDescendantOfView(view))
            return false;
        gone.push_back(overlay);
        return true;
    });
    for (auto const& overlay : gone)
        overlay->removeFromSuperview();
    rebuildControlDictionaly();
}

void Lumora_ViewController::rebuildControlDictionaly()
{
    dicControls_.clear();
    for (auto const& control : setControls_)
        dicControls_[control->tag()].push_back(control);
}

// ---- control to parameter

void Lumora_ViewController::actionParamUiValueChanged(Platform::Control* sender)
{
    Lumora::iAudioEngine* engine = audioEngine();
    if (!sender || !engine)
        return;
    int32_t const tag = sender->tag();
    Lumora::Parameter* parameter = engine->parameterManager().getParameter(tag);
    if (!parameter)
        return;
    float value = Category::uiControl_normalizedValue(sender);
    value = parameterWillChangeByControl(sender, tag, value);
    int32_t const gesture = Category::uiControl_gestureState(sender);
    auto const event = (gesture >= 1 && gesture <= 4) ? static_cast<Lumora::AutomationEventType>(gesture)
                                                      : Lumora::AutomationEventType::None;
    Token const token = parameterObserverToken();
    parameter->setNormalizedValue(value, token, event);
    // A screen with a token of its own never sees this change come back, so its other
    // controls of the same parameter follow now.
    if (token != Token::Mixed)
        setNormlizedValueToControls(value, tag, sender);
    parameterDidChangeByControl(sender, tag, value);
}

float Lumora_ViewController::parameterWillChangeByControl(Platform::Control*, int32_t, float normalizedValue)
{
    return normalizedValue;
}

void Lumora_ViewController::parameterDidChangeByControl(Platform::Control*, int32_t, float) {}

// ---- parameter to controls

void Lumora_ViewController::didChangeParam(Lumora::Parameter const* param, Token token)
{
    if (!param || isOwnChange(token))
        return;
    updateUIWithParam(param);
}

void Lumora_ViewController::updateUIWithParam(Lumora::Parameter const* param)
{
    if (param)
        setNormlizedValueToControls(param->normalizedValue(), param->id(), nullptr);
}

void Lumora_ViewController::updateUI()
{
    Lumora::iAudioEngine* engine = audioEngine();
    if (!engine)
        return;
    // A copy: showing a value may run screen code that changes the manager's map.
    Lumora::ParameterManager::ParameterMap const parameters = engine->parameterManager().getParameterMap();
    for (auto const& [id, parameter] : parameters)
        updateUIWithParam(parameter);
}

void Lumora_ViewController::setNormlizedValueToControls(float value, int32_t tag, Platform::Control*)
{
    auto it = dicControls_.find(tag);
    if (it == dicControls_.end())
        return;
    // A copy: a control's setter may change the bindings.
    auto const controls = it->second;
    for (auto const& control : controls)
        if (control->tag() == tag && Category::uiControl_normalizedValue(control.get()) != value)
            Category::setUiControl_normalizedValue(control.get(), value);
}

// ---- other observer operations

void Lumora_ViewController::receiveAudioEngineNotificationWithID(int id, int)
{
    if (id == Lumora::iAudioEngine::MidiLearnAssigned)
        deselectAllStatusViews();
}

void Lumora_ViewController::onChangeSettingWithKey(std::string const&) {}

void Lumora_ViewController::receiveMidi(Lumora::MidiMessage const*) {}
