#pragma once

#include "screens/main/Lumora_EditorFrameMainVwCntrlr.h"
#include "screens/main/Lumora_EffectorFrmwrk_EdtrFrmCntnrVw.h"
#include "screens/main/Lumora_EffectorFrmwrk_EdtrFrmVw.h"

#include <cstdint>
#include <memory>

// The main screen of an effect-type product: the editor frame and surface of the synth screen,
// without keyboard or strip, with a sound on/off button that mutes the engine. The standalone
// app started muted says so below that button whenever the screen is shown.
class Lumora_EffectorFrmwrk_MainVwCntrlr : public Lumora_EditorFrameMainVwCntrlr {
public:
    static constexpr char const* mainNibName = "EffectorFrmwrk_MainFrm_EdtrCntnrVw";
    static constexpr char const* editorFrameNibName = "EffectorFrmwrk_EditorFrm";
    static constexpr char const* mutedMessage = "This app is muted to avoid audio feedback.";

    bool initWithCore(std::shared_ptr<Lumora_Core> core) override;

    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;

    std::shared_ptr<Lumora_SynthFrmwrk_EdtrVw> createEditorViewFor(int64_t idiom, bool isPlugin) override;

    void actionSoundOnOff(Platform::Control* sender);

    void updateUI() override;
    void updateUI_muteButton();

    // The frame and its container are found by the effect-type classes.
    Lumora_EffectorFrmwrk_EdtrFrmCntnrVw* edtrFrmCntnrVw() const
    {
        return static_cast<Lumora_EffectorFrmwrk_EdtrFrmCntnrVw*>(Lumora_EditorFrameMainVwCntrlr::edtrFrmCntnrVw());
    }
    Lumora_EffectorFrmwrk_EdtrFrmVw* edtrFrmVw() const
    {
        return static_cast<Lumora_EffectorFrmwrk_EdtrFrmVw*>(Lumora_EditorFrameMainVwCntrlr::edtrFrmVw());
    }
};
