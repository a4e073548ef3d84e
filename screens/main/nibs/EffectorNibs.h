#pragma once

// Registers "EffectorFrmwrk_MainFrm_EdtrCntnrVw" and "EffectorFrmwrk_EditorFrm".
namespace CorvaneNib {
void registerEffectorNibs();
}
