#pragma once

#include "platform/ui/Nib.h"

// The interface file "MidiMapElmntVwCtrlr" of the MIDI-mapping editor: a 300 x 250 panel with
// a header (title, curve button, close button) over two stacked panels of the same place, the
// basic settings and the curve editor. It connects the editor's outlets and actions when the
// owner is an editor; without one it only makes the views.
namespace MidiMapElmntVwCtrlr_Nib {

std::vector<std::shared_ptr<Platform::Object>> build(Platform::Nib::Context const& context);

} // namespace MidiMapElmntVwCtrlr_Nib
