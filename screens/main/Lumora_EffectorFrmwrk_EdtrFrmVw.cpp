#include "screens/main/Lumora_EffectorFrmwrk_EdtrFrmVw.h"

#include "controls/button/Lumora_CmndButton.h"

std::vector<Platform::View*> Lumora_EffectorFrmwrk_EdtrFrmVw::rightHeaderButtons() const
{
    return {btnConfig, btnMidiMapping, btnSoundOnOff};
}
