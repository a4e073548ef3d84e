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

void Lumora_SettingPanelView_forParam::addModelObserver(Lumora_Core& core)
{
    core.addParamObserver(this);
}

void Lumora_SettingPanelView_forParam::removeModelObserver(Lumora_Core& core)
{
    core.removeParamObserver(this);
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
