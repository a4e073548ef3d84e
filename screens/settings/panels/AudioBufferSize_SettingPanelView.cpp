#include "screens/settings/panels/AudioBufferSize_SettingPanelView.h"

#include "model/settings/Lumora_Settings.h"
#include "platform/ui/SegmentedControl.h"

int AudioBufferSize_SettingPanelView::segmentOf(Lumora_Settings& s)
{
    std::uint32_t const frames = s.audioBufferSize();
    for (std::size_t i = 0; i < sizes.size(); ++i)
        if (sizes[i] == frames)
            return static_cast<int>(i);
    return Platform::SegmentedControl::noSegment;
}

void AudioBufferSize_SettingPanelView::store(Lumora_Settings& s, int segment)
{
    bool const listed = segment >= 0 && segment < static_cast<int>(sizes.size()) - 1;
    s.setAudioBufferSize(listed ? sizes[static_cast<std::size_t>(segment)] : sizes.back());
}
