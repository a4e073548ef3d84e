#pragma once

// Registers the synth main screen's files: "SynthFrmwrk_MainFrm_Plugin",
// "SynthFrmwrk_MainFrm_iPad_App", "SynthFrmwrk_MainFrm_iPhone_App", "SynthFrmwrk_EditorFrm",
// "SynthFrmwrk_MainFrm_CommonParam" and "SynthFrmwrk_CommonParam_VwCtrlr".
namespace CorvaneNib {
void registerMainFrameNibs();
}
