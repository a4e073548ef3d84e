#include "screens/settings/panels/MaxPolyphony_SettingPanelView.h"

#include "engine/parameter/TypedParameters.h"

#include <cmath>
#include <string>

// The range is the parameter's own (1 to the instrument's capacity), so it is taken before
// the first refresh each time the panel enters the screen.
void MaxPolyphony_SettingPanelView::willMoveToSuperview(Platform::View* newSuperview)
{
    if (newSuperview) {
        if (auto* voices = dynamic_cast<Lumora::Parameter_UInt*>(parameter())) {
            if (Platform::Slider* s = slider()) {
                s->setMinimumValue(static_cast<float>(voices->minValue()));
                s->setMaximumValue(static_cast<float>(voices->maxValue()));
            }
            if (Platform::Stepper* st = stepper()) {
                st->setMinimumValue(static_cast<double>(voices->minValue()));
                st->setMaximumValue(static_cast<double>(voices->maxValue()));
            }
        }
    }
    Lumora_SettingPanelView_forParam::willMoveToSuperview(newSuperview);
}

void MaxPolyphony_SettingPanelView::updateUI()
{
    int const v = static_cast<int>(std::trunc(param_getConcreateValue()));
    outlets_.showValue(v);
    outlets_.showText(std::to_string(v));
}

void MaxPolyphony_SettingPanelView::actionValueChanged(Platform::Control* sender)
{
    param_setConcreateValue(std::round(static_cast<float>(outlets_.raw(sender))));
    updateUI();
}
