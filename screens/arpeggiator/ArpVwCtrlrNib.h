#pragma once

#include "platform/ui/Nib.h"

#include <memory>
#include <vector>

// The interface file "ArpVwCtrlr" of the arpeggiator editor: a scalable container holding a
// fixed-size content over the theme's arpeggiator background. The header panel holds the close
// and file buttons, the on/off and key-sync controls, the order, octave and rate selectors and
// the six knobs; the step panel holds five rows of sixteen step keys and the row of program
// faders, each step in one column of the background. It connects the editor's outlets and
// actions when the owner is an editor; without one it only makes the views.
namespace ArpVwCtrlrNib {

// The content's size: the background picture (480 x 300) stretched so that its sixteen step
// columns are exactly one step key pitch (33 points) wide, and tall enough for the rows.
double contentWidth();
double contentHeight();

std::vector<std::shared_ptr<Platform::Object>> build(Platform::Nib::Context const& context);

} // namespace ArpVwCtrlrNib
