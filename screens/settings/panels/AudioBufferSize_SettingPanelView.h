#pragma once

#include "screens/settings/base/Lumora_SettingPanelView_forSegments.h"

#include <array>
#include <cstdint>

// The standalone app's audio buffer size in frames, one segment per size: 64, 128, 256, 512 and
// 1024. A stored size off the table selects no segment; any choice beyond the fourth segment
// stores 1024.
class AudioBufferSize_SettingPanelView : public Lumora_SettingPanelView_forSegments {
public:
    static constexpr char const* className = "AudioBufferSize_SettingPanelView";
    static constexpr std::array<std::uint32_t, 5> sizes{64, 128, 256, 512, 1024};
    using Lumora_SettingPanelView_forSegments::Lumora_SettingPanelView_forSegments;

    std::string keyForSetting() const override { return "audioBufferSize"; }

protected:
    int segmentOf(Lumora_Settings& settings) override;
    void store(Lumora_Settings& settings, int segment) override;
    bool showsAgainAfterStoring() const override { return true; }
};
