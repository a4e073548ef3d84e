#include "screens/settings/base/Lumora_SettingPanelView_forParam.h"

#include "engine/audio/iAudioEngine.h"
#include "engine/parameter/Parameter.h"
#include "engine/parameter/ParameterManager.h"
#include "model/core/Lumora_Core.h"

// The model keeps its observers unretained: a panel that goes away with its screen, without
// leaving its superview first, must not stay registered.
Lumora_SettingPanelView_forParam::~Lumora_SettingPanelView_forParam()
{
    stopObserving();
}

Lumora::ParameterManager* Lumora_SettingPanelView_forParam::parameterManager() const
{
    Lumora::iAudioEngine* engine = core() ? core()->audioEngine() : nullptr;
    return engine ? &engine->parameterManager() : nullptr;
}

Lumora::Parameter* Lumora_SettingPanelView_forParam::parameter() const
{
    Lumora::ParameterManager* manager = parameterManager();
    return manager ? manager->getParameter(indexForParameter()) : nullptr;
}

void Lumora_SettingPanelView_forParam::setCore(std::shared_ptr<Lumora_Core> newCore)
{
    bool const wasObserving = observing_;
    stopObserving();
    Lumora_SettingPanelView::setCore(std::move(newCore));
    if (wasObserving && core()) {
        core()->addParamObserver(this);
        observing_ = true;
    }
}

void Lumora_SettingPanelView_forParam::willMoveToSuperview(Platform::View* newSuperview)
{
    if (newSuperview) {
        if (core() && !observing_) {
            core()->addParamObserver(this);
            observing_ = true;
        }
        updateUI();
    } else {
        stopObserving();
    }
    Lumora_SettingPanelView::willMoveToSuperview(newSuperview);
}

void Lumora_SettingPanelView_forParam::stopObserving()
{
    if (observing_ && core())
        core()->removeParamObserver(this);
    observing_ = false;
}

void Lumora_SettingPanelView_forParam::didChangeParam(Lumora::Parameter const* param, Token token)
{
    if (isOwnChange(token))
        return;
    if (param && param->id() == indexForParameter())
        updateUI();
}

float Lumora_SettingPanelView_forParam::param_getConcreateValue() const
{
    Lumora::Parameter* p = parameter();
    return p ? p->concreteValue() : 0.0f;
}

void Lumora_SettingPanelView_forParam::param_setConcreateValue(float value)
{
    if (Lumora::Parameter* p = parameter())
        p->setConcreteValue(value, parameterObserverToken());
}
