#pragma once

#include "controls/layout/Lumora_ScalableContainerView.h"
#include "screens/main/Lumora_MainViewController.h"

#include <cstdint>
#include <memory>
#include <vector>

class Lumora_SynthFrmwrk_EdtrFrmCntnrVw;
class Lumora_SynthFrmwrk_EdtrFrmVw;
class Lumora_SynthFrmwrk_EdtrVw;

// What the synth screen and the effect-type screen share: the editor frame from its own
// interface file with the product's editor surface scaled inside it, the frame's preset,
// MIDI-mapping and settings buttons, and on a pad running the plug-in the swap between the
// plug-in and the app surface as the host resizes its view.
class Lumora_EditorFrameMainVwCntrlr : public Lumora_MainViewController, public Lumora_ScalableContainer_Delegate {
public:
    // The view height above which the pad plug-in shows the app surface: 573 x 0.8 in single
    // precision, a hair above 458.4 points.
    static constexpr float surfaceSwitchHeight = 573.0f * 0.8f;

    unsigned preferredScreenEdgesDeferringSystemGestures() const override { return 5; }
    void viewWillLayoutSubviews() override;

    // Hooks of the product's screen.
    virtual std::shared_ptr<Lumora_SynthFrmwrk_EdtrVw> createEditorViewFor(int64_t idiom, bool isPlugin);
    virtual void viewDidLoadWithUiIdiom(int64_t idiom, bool isPlugin);
    virtual void uiLayoutDidChange(int64_t idiom, bool isPlugin);
    virtual void midiMappingUIDidShown(bool shown);
    virtual std::optional<PanelClasses> creationPanelViewClasses();
    virtual PanelViewBlock creationPanelViewBlock();

    // Actions of the frame's buttons.
    void actionLoadPrevSoundPreset(Platform::Control* sender);
    void actionLoadNextSoundPreset(Platform::Control* sender);
    void actionOpenSoundPresetBrowser(Platform::Control* sender);
    void actionMidiMapping(Platform::Control* sender);
    void actionOpenSettings(Platform::Control* sender);

    // What stays touchable while a popover is up: here the MIDI-mapping button when allowed.
    virtual std::vector<Platform::View*> passthroughViews_allowPassthroughMidiLearnButton(bool allowMidiLearnButton) const;

    void updateUI() override;
    void updateUI_SoundPresetName();
    void receiveAudioEngineNotificationWithID(int id, int param) override;

    // The editor's horizontal scale; 0 without a surface.
    float scaleOfContent() override;

    Lumora_SynthFrmwrk_EdtrVw* editorView() const { return edtrVw_.get(); }
    // Makes a surface, puts it into the frame's scroll view and binds its controls.
    std::shared_ptr<Lumora_SynthFrmwrk_EdtrVw> _createEditorViewFor(int64_t idiom, bool isPlugin);
    std::vector<std::shared_ptr<Platform::Object>> const& viewsInEditorFrameNib() const { return viewsInEditorFrameNib_; }
    Lumora_SynthFrmwrk_EdtrFrmCntnrVw* edtrFrmCntnrVw() const { return edtrFrmCntnrVw_; }
    Lumora_SynthFrmwrk_EdtrFrmVw* edtrFrmVw() const { return edtrFrmVw_.get(); }

protected:
    // The screen's main file, then the editor frame's file.
    bool initWithCoreAndNibs(std::shared_ptr<Lumora_Core> core, char const* mainNibName, char const* editorFrameNibName);
    // Puts the first frame of class Frame of the frame's file into the container and makes the
    // surface inside it.
    template <class Frame>
    void placeEditorFrame(Lumora_SynthFrmwrk_EdtrFrmCntnrVw* container, int64_t idiom, bool isPlugin)
    {
        std::shared_ptr<Frame> frame;
        for (auto const& object : viewsInEditorFrameNib_) {
            if ((frame = std::dynamic_pointer_cast<Frame>(object)))
                break;
        }
        placeEditorFrame(container, std::move(frame), idiom, isPlugin);
    }
    // The horizontal scale of the surface's transform as single precision; 0 without one.
    float editorScale() const;

private:
    void placeEditorFrame(Lumora_SynthFrmwrk_EdtrFrmCntnrVw* container, std::shared_ptr<Lumora_SynthFrmwrk_EdtrFrmVw> frame,
                          int64_t idiom, bool isPlugin);
    void switchEditorSurface(bool isPlugin);

    std::vector<std::shared_ptr<Platform::Object>> viewsInEditorFrameNib_;
    Lumora_SynthFrmwrk_EdtrFrmCntnrVw* edtrFrmCntnrVw_ = nullptr;
    std::shared_ptr<Lumora_SynthFrmwrk_EdtrFrmVw> edtrFrmVw_;
    std::shared_ptr<Lumora_SynthFrmwrk_EdtrVw> edtrVw_;
};
