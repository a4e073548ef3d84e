#pragma once

#include "screens/settings/base/Lumora_SettingPanelView.h"

namespace Platform {
class Control;
}

// The last panel of every default list: a button that opens the About screen.
class About_SettingPanelView : public Lumora_SettingPanelView {
public:
    static constexpr char const* className = "About_SettingPanelView";
    using Lumora_SettingPanelView::Lumora_SettingPanelView;

    void actionShowAbout(Platform::Control* sender);
};
