#pragma once

#include "controls/layout/Lumora_ScalableContainerView.h"
#include "controls/layout/Lumora_ScalableContentView.h"
#include "screens/main/Lumora_MainViewController.h"

#include <cstdint>
#include <memory>
#include <vector>

class Lumora_EffectorFrmwrk_EdtrFrmCntnrVw;
class Lumora_EffectorFrmwrk_EdtrFrmVw;
class Lumora_SynthFrmwrk_EdtrVw;

// The main screen of an effect-type product: the editor frame and surface of the synth screen,
// without keyboard or strip, with a sound on/off button that mutes the engine. The standalone
// app started muted says so below that button whenever the screen is shown.
class Lumora_EffectorFrmwrk_MainVwCntrlr : public Lumora_MainViewController, public Lumora_ScalableContainer_Delegate {
public:
    static constexpr char const* mainNibName = "EffectorFrmwrk_MainFrm_EdtrCntnrVw";
    static constexpr char const* editorFrameNibName = "EffectorFrmwrk_EditorFrm";
    static constexpr char const* mutedMessage = "This app is muted to avoid audio feedback.";
    static constexpr float surfaceSwitchHeight = 573.0f * 0.8f;

    bool initWithCore(std::shared_ptr<Lumora_Core> core) override;
    unsigned preferredScreenEdgesDeferringSystemGestures() const override { return 5; }

    void viewDidLoad() override;
    void viewWillLayoutSubviews() override;
    void viewDidAppear(bool animated) override;

    virtual std::shared_ptr<Lumora_SynthFrmwrk_EdtrVw> createEditorViewFor(int64_t idiom, bool isPlugin);
    virtual void viewDidLoadWithUiIdiom(int64_t idiom, bool isPlugin);
    virtual void uiLayoutDidChange(int64_t idiom, bool isPlugin);
    virtual void midiMappingUIDidShown(bool shown);
    virtual std::optional<PanelClasses> creationPanelViewClasses();
    virtual PanelViewBlock creationPanelViewBlock();

    void actionLoadPrevSoundPreset(Platform::Control* sender);
    void actionLoadNextSoundPreset(Platform::Control* sender);
    void actionOpenSoundPresetBrowser(Platform::Control* sender);
    void actionMidiMapping(Platform::Control* sender);
    void actionOpenSettings(Platform::Control* sender);
    void actionSoundOnOff(Platform::Control* sender);

    std::vector<Platform::View*> passthroughViews_allowPassthroughMidiLearnButton(bool allowMidiLearnButton) const;

    void updateUI() override;
    void updateUI_SoundPresetName();
    void updateUI_muteButton();
    void receiveAudioEngineNotificationWithID(int id, int param) override;

    float scaleOfContent() override;
    Lumora_SynthFrmwrk_EdtrVw* editorView() const { return edtrVw_.get(); }
    std::shared_ptr<Lumora_SynthFrmwrk_EdtrVw> _createEditorViewFor(int64_t idiom, bool isPlugin);

    std::vector<std::shared_ptr<Platform::Object>> const& viewsInEditorFrameNib() const { return viewsInEditorFrameNib_; }
    Lumora_EffectorFrmwrk_EdtrFrmCntnrVw* edtrFrmCntnrVw() const { return edtrFrmCntnrVw_; }
    Lumora_EffectorFrmwrk_EdtrFrmVw* edtrFrmVw() const { return edtrFrmVw_.get(); }

private:
    void switchEditorSurface(bool isPlugin);

    std::vector<std::shared_ptr<Platform::Object>> viewsInEditorFrameNib_;
    Lumora_EffectorFrmwrk_EdtrFrmCntnrVw* edtrFrmCntnrVw_ = nullptr;
    std::shared_ptr<Lumora_EffectorFrmwrk_EdtrFrmVw> edtrFrmVw_;
    std::shared_ptr<Lumora_SynthFrmwrk_EdtrVw> edtrVw_;
};
