#pragma once

#include "screens/main/Lumora_SynthFrmwrk_MainVwCntrlr.h"

#include <memory>

class EffectEditorViewController;
class PopupViewController;

// Corvane's main screen: the synth main screen with Corvane's editor surfaces and the effect
// editor popup, which follows the screen's MIDI-mapping mode while it is open.
class MainViewController : public Lumora_SynthFrmwrk_MainVwCntrlr {
public:
    std::shared_ptr<Lumora_SynthFrmwrk_EdtrVw> createEditorViewFor(int64_t idiom, bool isPlugin) override;
    void midiMappingUIDidShown(bool shown) override;

    void actionShowEffectEditor(Platform::Control* sender);
    // Shows a popup by the editor's scale; the MIDI-mapping button stays touchable.
    void popupViewController(std::shared_ptr<PopupViewController> popup, Platform::View* sender);

    EffectEditorViewController* effectEditorVwCtrlr() const { return effectEditorVwCtrlr_.get(); }

private:
    std::shared_ptr<EffectEditorViewController> effectEditorVwCtrlr_;
};
