#pragma once

#include "controls/layout/Lumora_ScalableContainerView.h"
#include "controls/layout/Lumora_ScalableContentView.h"
#include "screens/keyboard/Lumora_KeybordDelegate.h"
#include "screens/main/Lumora_MainViewController.h"

#include <cstdint>
#include <memory>
#include <vector>

class Lumora_KeyboardScrollView;
class Lumora_SideEdgeButton;
class Lumora_SynthFrmwrk_CmnPrmCntnrVw;
class Lumora_SynthFrmwrk_CmnPrmVw;
class Lumora_SynthFrmwrk_EdtrFrmCntnrVw;
class Lumora_SynthFrmwrk_EdtrFrmVw;
class Lumora_SynthFrmwrk_EdtrVw;
class Lumora_SynthFrmwrk_KbdCntnrVw;

// The synth's main screen: the main interface file of the program and device, the editor frame
// with the product's editor surface, the on-screen keyboard and the common-parameter strip.
// It serves the frame's buttons (presets, browser, strip popup, arpeggiator, MIDI-mapping mode,
// settings), plays the engine from the keyboard and lights the keys the engine plays, follows
// the keyboard settings, and on a pad running the plug-in swaps between the plug-in and the app
// surface as the host resizes its view.
class Lumora_SynthFrmwrk_MainVwCntrlr : public Lumora_MainViewController,
                                       public Lumora_KeybordDelegate,
                                       public Lumora_ScalableContainer_Delegate {
public:
    static constexpr char const* pluginNibName = "SynthFrmwrk_MainFrm_Plugin";
    static constexpr char const* padAppNibName = "SynthFrmwrk_MainFrm_iPad_App";
    static constexpr char const* phoneAppNibName = "SynthFrmwrk_MainFrm_iPhone_App";
    static constexpr char const* editorFrameNibName = "SynthFrmwrk_EditorFrm";
    // The view height above which the pad plug-in shows the app surface: 573 x 0.8 in single
    // precision, a hair above 458.4 points.
    static constexpr float surfaceSwitchHeight = 573.0f * 0.8f;

    Lumora_SynthFrmwrk_MainVwCntrlr();
    ~Lumora_SynthFrmwrk_MainVwCntrlr() override;

    // The main file for the program and device, then the editor frame's file.
    bool initWithCore(std::shared_ptr<Lumora_Core> core) override;
    unsigned preferredScreenEdgesDeferringSystemGestures() const override { return 5; }

    // The main file's name for a program on a device idiom.
    static char const* mainNibNameFor(int64_t idiom, bool isPlugin);

    void viewDidLoad() override;
    void viewWillLayoutSubviews() override;

    // Hooks of the product's screen.
    virtual std::shared_ptr<Lumora_SynthFrmwrk_EdtrVw> createEditorViewFor(int64_t idiom, bool isPlugin);
    virtual void viewDidLoadWithUiIdiom(int64_t idiom, bool isPlugin);
    virtual void uiLayoutDidChange(int64_t idiom, bool isPlugin);
    virtual void midiMappingUIDidShown(bool shown);
    virtual std::optional<PanelClasses> creationPanelViewClasses();
    virtual PanelViewBlock creationPanelViewBlock();

    // Actions of the frame's and the main view's buttons.
    void actionLoadPrevSoundPreset(Platform::Control* sender);
    void actionLoadNextSoundPreset(Platform::Control* sender);
    void actionOpenSoundPresetBrowser(Platform::Control* sender);
    void actionOpenCommonParam(Platform::Control* sender);
    void actionOpenArpeggiatorEditor(Platform::Control* sender);
    void actionMidiMapping(Platform::Control* sender);
    void actionOpenSettings(Platform::Control* sender);
    void actionToggleCommonParamVw(Platform::Control* sender);

    // What stays touchable while a popover is up.
    std::vector<Platform::View*> passthroughViews_allowPassthroughMidiLearnButton(bool allowMidiLearnButton) const;

    void updateUI() override;
    void updateUI_SoundPresetName();
    bool hasKeyboard() const override { return kbdCntnrVw_ != nullptr; }

    Lumora_SynthFrmwrk_EdtrVw* editorView() const { return edtrVw_.get(); }
    // Makes a surface, puts it into the frame's scroll view and binds its controls.
    std::shared_ptr<Lumora_SynthFrmwrk_EdtrVw> _createEditorViewFor(int64_t idiom, bool isPlugin);

    // Observer operations.
    void receiveMidi(Lumora::MidiMessage const* message) override;
    void receiveAudioEngineNotificationWithID(int id, int param) override;
    void onChangeSettingWithKey(std::string const& key) override;

    // Keyboard delegate: the keys play the engine on its MIDI input channel.
    void keyDown(int32_t note, int32_t velocity) override;
    void keyUp(int32_t note, int32_t velocity) override;

    // The editor's horizontal scale; 0 without a surface.
    float scaleOfContent() override;

    bool lowHeightKeyboard() const { return lowHeightKeyboard_; }
    void setLowHeightKeyboard(bool low) { lowHeightKeyboard_ = low; }
    std::vector<std::shared_ptr<Platform::Object>> const& viewsInEditorFrameNib() const { return viewsInEditorFrameNib_; }
    Lumora_SynthFrmwrk_EdtrFrmCntnrVw* edtrFrmCntnrVw() const { return edtrFrmCntnrVw_; }
    Lumora_SynthFrmwrk_EdtrFrmVw* edtrFrmVw() const { return edtrFrmVw_.get(); }
    Lumora_SynthFrmwrk_KbdCntnrVw* kbdCntnrVw() const { return kbdCntnrVw_; }
    Lumora_KeyboardScrollView* keyboardScrollVw() const { return keyboardScrollVw_.get(); }
    Lumora_SideEdgeButton* sideEdgeButton() const { return sideEdgeButton_; }
    Lumora_SynthFrmwrk_CmnPrmCntnrVw* cmnPrmCntnrVw() const { return cmnPrmCntnrVw_; }
    Lumora_SynthFrmwrk_CmnPrmVw* commonParamVw() const { return commonParamVw_.get(); }

protected:
    // Opens a scaled popup (strip popup, arpeggiator editor) by the editor's scale.
    void presentScaledPopup(std::shared_ptr<Platform::ViewController> popup, Platform::View* source, unsigned arrows,
                            std::optional<Platform::Color> backgroundColor, bool allowMidiLearnButton);
    // The horizontal scale of the surface's transform as single precision; 0 without one.
    float editorScale() const;

private:
    void switchEditorSurface(bool isPlugin);

    bool lowHeightKeyboard_ = false;
    std::vector<std::shared_ptr<Platform::Object>> viewsInEditorFrameNib_;
    Lumora_SynthFrmwrk_EdtrFrmCntnrVw* edtrFrmCntnrVw_ = nullptr;
    std::shared_ptr<Lumora_SynthFrmwrk_EdtrFrmVw> edtrFrmVw_;
    std::shared_ptr<Lumora_SynthFrmwrk_EdtrVw> edtrVw_;
    Lumora_SynthFrmwrk_KbdCntnrVw* kbdCntnrVw_ = nullptr;
    std::shared_ptr<Lumora_KeyboardScrollView> keyboardScrollVw_;
    Lumora_SideEdgeButton* sideEdgeButton_ = nullptr;
    Lumora_SynthFrmwrk_CmnPrmCntnrVw* cmnPrmCntnrVw_ = nullptr;
    std::shared_ptr<Lumora_SynthFrmwrk_CmnPrmVw> commonParamVw_;
};
