#pragma once

#include "platform/ui/SegmentedControl.h"
#include "platform/ui/WeakRef.h"
#include "screens/settings/base/Lumora_SettingPanelView_forParam.h"

// The engine version (parameter 1180) as one segment per version the engine offers, "1" to n;
// the stored 0 means the newest and selects the last segment.
class AudioEngineVersion_SettingPanelView : public Lumora_SettingPanelView_forParam {
public:
    static constexpr char const* className = "AudioEngineVersion_SettingPanelView";
    using Lumora_SettingPanelView_forParam::Lumora_SettingPanelView_forParam;

    int indexForParameter() const override { return 1180; }

    Platform::SegmentedControl* sgmntCtrl() const { return sgmntCtrl_.get(); }
    void setSgmntCtrl(Platform::SegmentedControl* control) { sgmntCtrl_.reset(control); }

    void willMoveToSuperview(Platform::View* newSuperview) override;
    void updateUI() override;
    void actionValueChanged(Platform::Control* sender);

private:
    unsigned numberOfVersions() const;

    Platform::WeakRef<Platform::SegmentedControl> sgmntCtrl_;
};
