#pragma once

#include "model/core/Lumora_CoreObservers.h"
#include "screens/settings/base/Lumora_ObservingSettingPanelView.h"

namespace Lumora {
class Parameter;
class ParameterManager;
} // namespace Lumora

// A panel bound to one engine parameter. While it is in the settings screen it observes the
// model's parameter changes and shows every change of its parameter except its own writes,
// which carry the settings panels' token 7.
class Lumora_SettingPanelView_forParam : public Lumora_ObservingSettingPanelView, public Lumora_ParamObserver {
public:
    static constexpr char const* className = "Lumora_SettingPanelView_forParam";
    using Lumora_ObservingSettingPanelView::Lumora_ObservingSettingPanelView;
    ~Lumora_SettingPanelView_forParam() override;

    // The id of the bound parameter; -1 binds none.
    virtual int indexForParameter() const { return -1; }
    Token parameterObserverToken() const override { return Token::SettingPanel; }

    // Asked each time: the engine's manager, and the bound parameter (null when there is none).
    Lumora::ParameterManager* parameterManager() const;
    Lumora::Parameter* parameter() const;

    void didChangeParam(Lumora::Parameter const* param, Token token) override;

    // The parameter's concrete value (0 without a parameter), and a plain set of one with the
    // panels' token.
    float param_getConcreateValue() const;
    void param_setConcreateValue(float value);

private:
    void addModelObserver(Lumora_Core& core) override;
    void removeModelObserver(Lumora_Core& core) override;
};
