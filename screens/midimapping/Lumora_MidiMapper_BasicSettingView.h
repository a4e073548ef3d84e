#pragma once

#include "platform/ui/View.h"

// The panel of the mapping editor that holds the basic settings (active flag, message kind,
// controller number); its content comes from the interface file.
class Lumora_MidiMapper_BasicSettingView : public Platform::View {
public:
    using Platform::View::View;
};
