#pragma once

#include "screens/keyboard/Lumora_KeybordDelegate.h"
#include "screens/main/Lumora_EditorFrameMainVwCntrlr.h"

#include <cstdint>
#include <memory>
#include <vector>

class Lumora_KeyboardScrollView;
class Lumora_SideEdgeButton;
class Lumora_SynthFrmwrk_CmnPrmCntnrVw;
class Lumora_SynthFrmwrk_CmnPrmVw;
class Lumora_SynthFrmwrk_KbdCntnrVw;

// The synth's main screen: the main interface file of the program and device, the editor frame
// with the product's editor surface, the on-screen keyboard and the common-parameter strip.
// It serves the frame's buttons (presets, browser, strip popup, arpeggiator, MIDI-mapping mode,
// settings), plays the engine from the keyboard and lights the keys the engine plays, follows
// the keyboard settings, and on a pad running the plug-in swaps between the plug-in and the app
// surface as the host resizes its view.
class Lumora_SynthFrmwrk_MainVwCntrlr : public Lumora_EditorFrameMainVwCntrlr, public Lumora_KeybordDelegate {
public:
    static constexpr char const* pluginNibName = "SynthFrmwrk_MainFrm_Plugin";
    static constexpr char const* padAppNibName = "SynthFrmwrk_MainFrm_iPad_App";
    static constexpr char const* phoneAppNibName = "SynthFrmwrk_MainFrm_iPhone_App";
    static constexpr char const* editorFrameNibName = "SynthFrmwrk_EditorFrm";

    Lumora_SynthFrmwrk_MainVwCntrlr();
    ~Lumora_SynthFrmwrk_MainVwCntrlr() override;

    // The main file for the program and device, then the editor frame's file.
    bool initWithCore(std::shared_ptr<Lumora_Core> core) override;

    // The main file's name for a program on a device idiom.
    static char const* mainNibNameFor(int64_t idiom, bool isPlugin);

    void viewDidLoad() override;

    // Actions of the frame's and the main view's buttons beyond the shared ones.
    void actionOpenCommonParam(Platform::Control* sender);
    void actionOpenArpeggiatorEditor(Platform::Control* sender);
    void actionToggleCommonParamVw(Platform::Control* sender);

    // The MIDI-mapping button when allowed, the side edge button, the keyboard and the strip.
    std::vector<Platform::View*> passthroughViews_allowPassthroughMidiLearnButton(bool allowMidiLearnButton) const override;

    bool hasKeyboard() const override { return kbdCntnrVw_ != nullptr; }

    // Observer operations.
    void receiveMidi(Lumora::MidiMessage const* message) override;
    void receiveAudioEngineNotificationWithID(int id, int param) override;
    void onChangeSettingWithKey(std::string const& key) override;

    // Keyboard delegate: the keys play the engine on its MIDI input channel.
    void keyDown(int32_t note, int32_t velocity) override;
    void keyUp(int32_t note, int32_t velocity) override;

    bool lowHeightKeyboard() const { return lowHeightKeyboard_; }
    void setLowHeightKeyboard(bool low) { lowHeightKeyboard_ = low; }
    Lumora_SynthFrmwrk_KbdCntnrVw* kbdCntnrVw() const { return kbdCntnrVw_; }
    Lumora_KeyboardScrollView* keyboardScrollVw() const { return keyboardScrollVw_.get(); }
    Lumora_SideEdgeButton* sideEdgeButton() const { return sideEdgeButton_; }
    Lumora_SynthFrmwrk_CmnPrmCntnrVw* cmnPrmCntnrVw() const { return cmnPrmCntnrVw_; }
    Lumora_SynthFrmwrk_CmnPrmVw* commonParamVw() const { return commonParamVw_.get(); }

protected:
    // Opens a scaled popup (strip popup, arpeggiator editor) by the editor's scale.
    void presentScaledPopup(std::shared_ptr<Platform::ViewController> popup, Platform::View* source, unsigned arrows,
                            std::optional<Platform::Color> backgroundColor, bool allowMidiLearnButton);

private:
    bool lowHeightKeyboard_ = false;
    Lumora_SynthFrmwrk_KbdCntnrVw* kbdCntnrVw_ = nullptr;
    std::shared_ptr<Lumora_KeyboardScrollView> keyboardScrollVw_;
    Lumora_SideEdgeButton* sideEdgeButton_ = nullptr;
    Lumora_SynthFrmwrk_CmnPrmCntnrVw* cmnPrmCntnrVw_ = nullptr;
    std::shared_ptr<Lumora_SynthFrmwrk_CmnPrmVw> commonParamVw_;
};
