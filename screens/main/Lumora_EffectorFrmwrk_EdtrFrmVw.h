#pragma once

#include "screens/main/Lumora_SynthFrmwrk_EdtrFrmVw.h"

// The editor frame of an effect-type product: the synth frame with a sound on/off button in the
// place of the arpeggiator button. Made by the interface file "EffectorFrmwrk_EditorFrm".
class Lumora_EffectorFrmwrk_EdtrFrmVw : public Lumora_SynthFrmwrk_EdtrFrmVw {
public:
    using Lumora_SynthFrmwrk_EdtrFrmVw::Lumora_SynthFrmwrk_EdtrFrmVw;

    // Outlet.
    Lumora_CmndButton* btnSoundOnOff = nullptr;

protected:
    std::vector<Platform::View*> rightHeaderButtons() const override;
};
