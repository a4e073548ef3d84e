#include "screens/settings/panels/AudioEngineVersion_SettingPanelView.h"

#include "engine/audio/iAudioEngine.h"
#include "model/core/Lumora_Core.h"

#include <string>

unsigned AudioEngineVersion_SettingPanelView::numberOfVersions() const
{
    Lumora::iAudioEngine* engine = core() ? core()->audioEngine() : nullptr;
    return engine ? engine->numOfAudioEngineVersions() : 0;
}

// The segments are rebuilt before the first refresh, so the selection refers to them.
void AudioEngineVersion_SettingPanelView::willMoveToSuperview(Platform::View* newSuperview)
{
    Platform::SegmentedControl* control = sgmntCtrl();
    if (newSuperview && control) {
        unsigned const n = numberOfVersions();
        control->setEnabled(n != 0);
        control->removeAllSegments();
        if (n == 0) {
            control->insertSegmentWithTitle("1", 0, false);
        } else {
            for (unsigned i = 0; i < n; ++i)
                control->insertSegmentWithTitle(std::to_string(i + 1), i, false);
        }
    }
    Lumora_SettingPanelView_forParam::willMoveToSuperview(newSuperview);
}

void AudioEngineVersion_SettingPanelView::updateUI()
{
    Platform::SegmentedControl* control = sgmntCtrl();
    if (!control)
        return;
    auto const v = static_cast<unsigned>(param_getConcreateValue());
    int const n = static_cast<int>(numberOfVersions());
    if (v == 0)
        control->setSelectedSegmentIndex(n - 1);
    else if (static_cast<int>(v) <= n)
        control->setSelectedSegmentIndex(static_cast<int>(v) - 1);
    else
        control->setSelected(false);
}

void AudioEngineVersion_SettingPanelView::actionValueChanged(Platform::Control*)
{
    // A control without a selection has nothing to write (it would otherwise write 0, the
    // newest version, which the user did not choose).
    Platform::SegmentedControl* control = sgmntCtrl();
    if (control && control->selectedSegmentIndex() >= 0)
        param_setConcreateValue(static_cast<float>(control->selectedSegmentIndex() + 1));
}
