#pragma once

#include "controls/button/Lumora_CmndButton.h"
#include "controls/midilearn/Lumora_MidiMapperElmntVwCtrlr_delegate.h"
#include "engine/math/Shaper1bp.h"
#include "platform/ui/Label.h"
#include "platform/ui/SegmentedControl.h"
#include "platform/ui/Slider.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/WeakRef.h"
#include "screens/midimapping/Lumora_MidiMapper_BasicSettingView.h"
#include "screens/midimapping/Lumora_MidiMapper_ParamShaperView.h"

#include <cstdint>
#include <memory>

namespace Lumora {
class iAudioEngine;
}

// Edits the MIDI mapping of one parameter: whether it is mapped, whether a control change or
// channel pressure drives it, the controller number, and (on the curve panel) the response
// curve. It works straight on the engine's MIDI parameter mapper and keeps no state of the
// mapping: every update reads the mapper again. Every key it writes listens on any channel and
// comes with the parameter's straight default curve.
//
// Made with init (which loads the interface file "MidiMapElmntVwCtrlr"); the opener then sets
// the delegate, the engine and the parameter before the view loads.
class Lumora_MidiMapperElmntVwCtrlr : public Platform::ViewController {
public:
    static constexpr char const* nibName = "MidiMapElmntVwCtrlr";

    bool init() override;

    // Registers the interface file's builder (once); init does it too.
    static void registerInterfaceFile();
    // Makes this editor the one a long press on a MIDI-learn overlay opens.
    static void registerAsMappingEditor();

    int32_t paramIndex() const { return paramIndex_; }
    void setParamIndex(int32_t index) { paramIndex_ = index; }
    Lumora_MidiMapperElmntVwCtrlr_delegate* delegate() const { return delegate_.get(); }
    void setDelegate(Lumora_MidiMapperElmntVwCtrlr_delegate* delegate) { delegate_.reset(delegate); }
    Lumora::iAudioEngine* audioEngine() const { return audioEngine_; }
    void setAudioEngine(Lumora::iAudioEngine* engine) { audioEngine_ = engine; }

    // The parameter's default curve: a straight line over its whole normalized range.
    Lumora::Math::Shaper1bp shaper() const;

    void viewDidLoad() override;
    // Shows the state the mapper has now.
    void updateUI();

    // Actions.
    void actionValueChanged_MidiActive(Platform::Switch* sender);
    void actionValueChanged_MidiStatus(Platform::SegmentedControl* sender);
    // While the slider moves only the label follows; the key changes when it is let go.
    void actionValueChanged_MidiNumber(Platform::Slider* sender);
    void actionTouchUp_MidiNumber(Platform::Slider* sender);
    void actionValueChanged_MidiNumber_stepper(Platform::Stepper* sender);
    void updateMidiNumber(int number);
    // Swaps the basic settings and the curve editor.
    void actionShaper(Platform::Control* sender);
    void actionClose(Platform::Control* sender);

    // Outlets, connected by the interface file.
    Platform::Switch* ctrlActive() const { return ctrlActive_.get(); }
    void setCtrlActive(Platform::Switch* v) { ctrlActive_.reset(v); }
    Platform::SegmentedControl* ctrlMidiStatus() const { return ctrlMidiStatus_.get(); }
    void setCtrlMidiStatus(Platform::SegmentedControl* v) { ctrlMidiStatus_.reset(v); }
    Platform::Slider* ctrlMidiNumber() const { return ctrlMidiNumber_.get(); }
    void setCtrlMidiNumber(Platform::Slider* v) { ctrlMidiNumber_.reset(v); }
    Platform::Stepper* ctrlStepperMidiNumber() const { return ctrlStepperMidiNumber_.get(); }
    void setCtrlStepperMidiNumber(Platform::Stepper* v) { ctrlStepperMidiNumber_.reset(v); }
    Platform::Label* labelMidiNumber() const { return labelMidiNumber_.get(); }
    void setLabelMidiNumber(Platform::Label* v) { labelMidiNumber_.reset(v); }
    Platform::Label* labelTitleMidiNumber() const { return labelTitleMidiNumber_.get(); }
    void setLabelTitleMidiNumber(Platform::Label* v) { labelTitleMidiNumber_.reset(v); }
    // The header line naming the parameter being mapped.
    Platform::Label* labelParamName() const { return labelParamName_.get(); }
    void setLabelParamName(Platform::Label* v) { labelParamName_.reset(v); }
    Lumora_MidiMapper_ParamShaperView* viewParamShaper() const { return viewParamShaper_.get(); }
    void setViewParamShaper(Lumora_MidiMapper_ParamShaperView* v) { viewParamShaper_.reset(v); }
    Lumora_MidiMapper_BasicSettingView* viewBasic() const { return viewBasic_.get(); }
    void setViewBasic(Lumora_MidiMapper_BasicSettingView* v) { viewBasic_.reset(v); }
    Lumora_CmndButton* btnParamShaper() const { return btnParamShaper_.get(); }
    void setBtnParamShaper(Lumora_CmndButton* v) { btnParamShaper_.reset(v); }

private:
    // Installs a key (any channel) with the default curve and tells the delegate.
    void writeKey(int status, int number);
    void tellDelegate();

    int32_t paramIndex_ = 0;
    Platform::WeakRef<Lumora_MidiMapperElmntVwCtrlr_delegate> delegate_;
    Lumora::iAudioEngine* audioEngine_ = nullptr;
    Platform::WeakRef<Platform::Switch> ctrlActive_;
    Platform::WeakRef<Platform::SegmentedControl> ctrlMidiStatus_;
    Platform::WeakRef<Platform::Slider> ctrlMidiNumber_;
    Platform::WeakRef<Platform::Stepper> ctrlStepperMidiNumber_;
    Platform::WeakRef<Platform::Label> labelMidiNumber_;
    Platform::WeakRef<Platform::Label> labelTitleMidiNumber_;
    Platform::WeakRef<Platform::Label> labelParamName_;
    Platform::WeakRef<Lumora_MidiMapper_ParamShaperView> viewParamShaper_;
    Platform::WeakRef<Lumora_MidiMapper_BasicSettingView> viewBasic_;
    Platform::WeakRef<Lumora_CmndButton> btnParamShaper_;
};
