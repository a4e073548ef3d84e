#pragma once

#include "platform/ui/SegmentedControl.h"
#include "platform/ui/WeakRef.h"
#include "screens/settings/base/Lumora_SettingPanelView_forParam.h"

// The audio quality (parameter 1190: 0 Eco, 1 Normal, 2 High) as segments for the choices the
// engine offers.
class AudioQuality_SettingPanelView : public Lumora_SettingPanelView_forParam {
public:
    static constexpr char const* className = "AudioQuality_SettingPanelView";
    using Lumora_SettingPanelView_forParam::Lumora_SettingPanelView_forParam;

    int indexForParameter() const override { return 1190; }

    Platform::SegmentedControl* sgmntCtrl() const { return sgmntCtrl_.get(); }
    void setSgmntCtrl(Platform::SegmentedControl* control) { sgmntCtrl_.reset(control); }

    void willMoveToSuperview(Platform::View* newSuperview) override;
    void updateUI() override;
    void actionValueChanged(Platform::Control* sender);

private:
    Platform::WeakRef<Platform::SegmentedControl> sgmntCtrl_;
};
