#include "screens/settings/sync/TimingShift_SettingPanelView.h"

#include "model/settings/Lumora_Settings.h"

#include <cmath>

void TimingShift_SettingPanelView::updateUI()
{
    auto s = settings();
    if (!s)
        return;
    int const hundredths = static_cast<int>(std::lround(s->timingShift() * 100.0f));
    outlets_.showValue(hundredths);
    outlets_.showText(Lumora_SliderStepperOutlets::signedText(hundredths));
}

// The setter stores without telling the model; the store's change report brings the key back,
// which shows the panel once more.
void TimingShift_SettingPanelView::actionValueChanged(Platform::Control* sender)
{
    auto s = settings();
    if (!s)
        return;
    s->setTimingShift(static_cast<float>(std::round(outlets_.raw(sender)) / 100.0));
    updateUI();
}
