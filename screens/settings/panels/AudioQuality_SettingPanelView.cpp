#include "screens/settings/panels/AudioQuality_SettingPanelView.h"

#include "engine/audio/iAudioEngine.h"
#include "model/core/Lumora_Core.h"

// The segments are rebuilt before the first refresh, so the selection refers to them; with
// fewer than two choices the control is disabled and keeps the file's segments.
void AudioQuality_SettingPanelView::willMoveToSuperview(Platform::View* newSuperview)
{
    Platform::SegmentedControl* control = sgmntCtrl();
    if (newSuperview && control) {
        Lumora::iAudioEngine* engine = core() ? core()->audioEngine() : nullptr;
        unsigned const n = engine ? engine->numOfAudioQualitySelections() : 0;
        if (n < 2) {
            control->setEnabled(false);
        } else {
            control->setEnabled(true);
            control->removeAllSegments();
            control->insertSegmentWithTitle("Eco", 0, false);
            control->insertSegmentWithTitle("Normal", 1, false);
            if (n >= 3)
                control->insertSegmentWithTitle("High", 2, false);
        }
    }
    Lumora_SettingPanelView_forParam::willMoveToSuperview(newSuperview);
}

void AudioQuality_SettingPanelView::updateUI()
{
    Platform::SegmentedControl* control = sgmntCtrl();
    if (!control)
        return;
    auto const v = static_cast<unsigned>(param_getConcreateValue());
    if (v <= 2)
        control->setSelectedSegmentIndex(static_cast<int>(v));
    else
        control->setSelected(false);
}

void AudioQuality_SettingPanelView::actionValueChanged(Platform::Control*)
{
    // A control without a selection has nothing to write.
    Platform::SegmentedControl* control = sgmntCtrl();
    if (control && control->selectedSegmentIndex() >= 0)
        param_setConcreateValue(static_cast<float>(control->selectedSegmentIndex()));
}
