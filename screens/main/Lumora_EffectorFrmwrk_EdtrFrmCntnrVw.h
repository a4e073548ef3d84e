#pragma once

#include "screens/main/Lumora_SynthFrmwrk_EdtrFrmCntnrVw.h"

// The place of the effect-type editor frame: the frame below it fills its bounds. It has no
// height constraint (there is no keyboard to share the height with).
class Lumora_EffectorFrmwrk_EdtrFrmCntnrVw : public Lumora_SynthFrmwrk_EdtrFrmCntnrVw {
public:
    using Lumora_SynthFrmwrk_EdtrFrmCntnrVw::Lumora_SynthFrmwrk_EdtrFrmCntnrVw;
};
