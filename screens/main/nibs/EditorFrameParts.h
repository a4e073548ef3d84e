#pragma once

#include <memory>
#include <string>
#include <vector>

class Lumora_CmndButton;
class Lumora_SynthFrmwrk_EdtrFrmVw;

namespace CorvaneNib {

// Fills an editor frame as both frame files have it: the header bar with the title image, the
// preset name between its previous and next buttons, the given command buttons at the right end
// (outermost last), and the scroll view for the surface, with the frame's outlets connected.
// Answers the right-hand command buttons in the order given.
std::vector<Lumora_CmndButton*> fillEditorFrame(Lumora_SynthFrmwrk_EdtrFrmVw& frame,
                                                std::vector<std::string> const& rightButtonImages);

} // namespace CorvaneNib
