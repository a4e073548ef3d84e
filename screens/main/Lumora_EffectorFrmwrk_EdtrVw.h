#pragma once

#include "screens/main/Lumora_SynthFrmwrk_EdtrVw.h"

// The editor surface base of an effect-type product: the same as the synth's (a yellow area of
// 1024 x 334 when plain), so that the frames fit either kind alike.
class Lumora_EffectorFrmwrk_EdtrVw : public Lumora_SynthFrmwrk_EdtrVw {
public:
    using Lumora_SynthFrmwrk_EdtrVw::Lumora_SynthFrmwrk_EdtrVw;
};
