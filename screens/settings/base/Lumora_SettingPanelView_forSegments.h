#pragma once

#include "platform/ui/SegmentedControl.h"
#include "platform/ui/WeakRef.h"
#include "screens/settings/base/Lumora_SettingPanelView_forSettings.h"

class Lumora_Settings;

// A setting panel whose one control is a segmented control: the setting selects a segment, a
// chosen segment stores its value. The model's report of the key refreshes the panel; a panel
// whose stored value may differ from the chosen one (a setter that limits it) shows it again
// after writing.
class Lumora_SettingPanelView_forSegments : public Lumora_SettingPanelView_forSettings {
public:
    using Lumora_SettingPanelView_forSettings::Lumora_SettingPanelView_forSettings;

    Platform::SegmentedControl* sgmntCtrl() const { return sgmntCtrl_.get(); }
    void setSgmntCtrl(Platform::SegmentedControl* control) { sgmntCtrl_.reset(control); }

    void updateUI() override;
    void actionValueChanged(Platform::Control* sender);

protected:
    // The segment the setting selects (SegmentedControl::noSegment for none).
    virtual int segmentOf(Lumora_Settings& settings) = 0;
    // Stores the choice of a segment (noSegment when none is selected).
    virtual void store(Lumora_Settings& settings, int segment) = 0;
    virtual bool showsAgainAfterStoring() const { return false; }

private:
    Platform::WeakRef<Platform::SegmentedControl> sgmntCtrl_;
};
