#pragma once

#include "controls/base/Lumora_Control.h"
#include "controls/layout/Lumora_ScalableContainerView.h"
#include "controls/viewcontroller/Lumora_Basic_ViewController.h"
#include "model/core/Lumora_CoreObservers.h"
#include "model/core/Lumora_CoreRef.h"
#include "platform/graphics/Color.h"
#include "platform/ui/WeakRef.h"
#include "screens/arpeggiator/Lumora_ArpPgmCntnrVw.h"
#include "screens/keyboard/Lumora_KeyViewDelegate.h"

#include <memory>
#include <optional>

class Lumora_Core;
class Lumora_ScalableContentView;
class Lumora_Ctrl_LampSelectorCntnr;
class Lumora_Ctrl_Switch;
class Lumora_Ctrl_RotaryKnob;
class Lumora_ArpKeyCntnrView;

namespace Lumora {
class ArpeggiatorData;
class iSynthAudioEngine;
} // namespace Lumora

namespace Platform {
class ImageView;
class Label;
} // namespace Platform

// The arpeggiator editor: the arpeggiator's on/off switch (the parameter "COMMON_ARPEGGIATOR"),
// its header settings, and the sixteen steps with their on, accent, staccato, portamento and
// octave-up keys and program faders. Apart from the switch, the settings are no parameters: the
// editor writes them field by field straight into the synth engine's arpeggiator record and
// keeps no copy of its own, so the record is what every control shows. The step being played is
// lit on every sixteenth of the swing clock, and the file button opens the document browser on
// the arpeggiator documents.
//
// Made with initWithCore (the plain initialiser refuses); the opener sets itself as the
// container delegate and presents the editor in a scaled popover or modally.
class Lumora_ArpeggiatorVwCtrlr : public Lumora_Basic_ViewController,
                                  public Lumora_ParamObserver,
                                  public Lumora_AudioEngine_Observer,
                                  public Lumora_ArpPgmCntnrVw_Delegate,
                                  public Lumora_KeyViewDelegate,
                                  public Lumora_ControlDelegate,
                                  public Lumora_ScalableContainer_Delegate {
public:
    static constexpr char const* nibName = "ArpVwCtrlr";
    static constexpr int arpeggiatorParameterID = 3000;

    // A new editor of the model, or none when the model has none.
    static std::shared_ptr<Lumora_ArpeggiatorVwCtrlr> create(std::shared_ptr<Lumora_Core> core);
    // What a main screen's arpeggiator-editor hook makes: an editor whose container delegate is
    // the opener.
    static std::shared_ptr<Platform::ViewController> createForOpener(std::shared_ptr<Lumora_Core> const& core,
                                                                     Lumora_ScalableContainer_Delegate* opener);
    // Registers the interface file's builder (once); initWithCore does it too.
    static void registerInterfaceFile();

    Lumora_ArpeggiatorVwCtrlr() = default;
    ~Lumora_ArpeggiatorVwCtrlr() override;

    bool init() override { return false; }
    // Loads the interface file "ArpVwCtrlr" and refers to the model weakly.
    bool initWithCore(std::shared_ptr<Lumora_Core> core);

    Lumora_Core* core() const { return core_.get(); }
    // The model's engine as a synth engine; none for an engine of another kind.
    Lumora::iSynthAudioEngine* instrumentAudioEngine() const;

    std::optional<Platform::Color> const& scrollViewBackgroundColor() const { return scrollViewBackgroundColor_; }
    // Also the editor's view's background once it is loaded.
    void setScrollViewBackgroundColor(std::optional<Platform::Color> color);
    Lumora_ScalableContainer_Delegate* containerDelegate() const { return containerDelegate_.get(); }
    void setContainerDelegate(Lumora_ScalableContainer_Delegate* delegate) { containerDelegate_.reset(delegate); }

    void viewDidLoad() override;

    // Shows the record and the switch, with the enabling rules.
    void updateUI();
    // Lights the key of the arpeggiator's current step (only that one).
    void updateCurrentStep();

    // Actions of the interface file.
    void actionClose(Platform::Control* sender);
    void actionFile(Platform::Control* sender);

    // Observers of the model.
    Token parameterObserverToken() const override;
    void didChangeParam(Lumora::Parameter const* param, Token token) override;
    void receiveAudioEngineNotificationWithID(int id, int param) override;

    // Container delegate.
    float scaleOfContent() override;
    void touchOutsideOfContent() override;

    // Delegates of the controls: header controls, step keys and program faders.
    void Lumora_Control_valueChanged(Lumora_Control* control, float value) override;
    void keyDown(Lumora_KeyView* key, Lumora_KeyContainerView* container) override;
    void keyUp(Lumora_KeyView* key, Lumora_KeyContainerView* container) override;
    void arpPgmCntnrVw_arpPgmSlider_value(Lumora_ArpPgmCntnrVw* container, Lumora_ArpPgmSlider* slider,
                                          float value) override;

    // Outlets, connected by the interface file.
    struct Outlets {
        Lumora_ScalableContainerView* containerView = nullptr;
        Lumora_ScalableContentView* contentView = nullptr;
        Platform::ImageView* backgroundImageVw = nullptr;
        Lumora_Ctrl_LampSelectorCntnr* selectorActive = nullptr;
        Lumora_Ctrl_LampSelectorCntnr* selectorStyle = nullptr;
        Lumora_Ctrl_LampSelectorCntnr* selectorOctave = nullptr;
        Lumora_Ctrl_LampSelectorCntnr* selectorRate = nullptr;
        Lumora_Ctrl_Switch* switchKeySync = nullptr;
        Lumora_Ctrl_RotaryKnob* knobStepLength = nullptr;
        Lumora_Ctrl_RotaryKnob* knobPatternLength = nullptr;
        Lumora_Ctrl_RotaryKnob* knobSwing = nullptr;
        Lumora_Ctrl_RotaryKnob* knobAccent = nullptr;
        Lumora_Ctrl_RotaryKnob* knobDuration = nullptr;
        Lumora_Ctrl_RotaryKnob* knobStaccato = nullptr;
        Platform::Label* labelStepLength = nullptr;
        Platform::Label* labelPatternLength = nullptr;
        Lumora_ArpKeyCntnrView* stepActive = nullptr;
        Lumora_ArpKeyCntnrView* stepPortamento = nullptr;
        Lumora_ArpKeyCntnrView* stepOctaveup = nullptr;
        Lumora_ArpKeyCntnrView* stepAccent = nullptr;
        Lumora_ArpKeyCntnrView* stepStaccato = nullptr;
        Lumora_ArpPgmCntnrVw* stepProgram = nullptr;
    };
    // The container and content views are held strongly, the others weakly.
    void connectOutlets(Outlets const& outlets);

    Lumora_ScalableContainerView* containerView() const { return containerView_.get(); }
    Lumora_ScalableContentView* contentView() const { return contentView_.get(); }
    Platform::ImageView* backgroundImageVw() const { return backgroundImageVw_.get(); }
    Lumora_Ctrl_LampSelectorCntnr* selectorActive() const { return selectorActive_.get(); }
    Lumora_Ctrl_LampSelectorCntnr* selectorStyle() const { return selectorStyle_.get(); }
    Lumora_Ctrl_LampSelectorCntnr* selectorOctave() const { return selectorOctave_.get(); }
    Lumora_Ctrl_LampSelectorCntnr* selectorRate() const { return selectorRate_.get(); }
    Lumora_Ctrl_Switch* switchKeySync() const { return switchKeySync_.get(); }
    Lumora_Ctrl_RotaryKnob* knobStepLength() const { return knobStepLength_.get(); }
    Lumora_Ctrl_RotaryKnob* knobPatternLength() const { return knobPatternLength_.get(); }
    Lumora_Ctrl_RotaryKnob* knobSwing() const { return knobSwing_.get(); }
    Lumora_Ctrl_RotaryKnob* knobAccent() const { return knobAccent_.get(); }
    Lumora_Ctrl_RotaryKnob* knobDuration() const { return knobDuration_.get(); }
    Lumora_Ctrl_RotaryKnob* knobStaccato() const { return knobStaccato_.get(); }
    Platform::Label* labelStepLength() const { return labelStepLength_.get(); }
    Platform::Label* labelPatternLength() const { return labelPatternLength_.get(); }
    Lumora_ArpKeyCntnrView* stepActive() const { return stepActive_.get(); }
    Lumora_ArpKeyCntnrView* stepPortamento() const { return stepPortamento_.get(); }
    Lumora_ArpKeyCntnrView* stepOctaveup() const { return stepOctaveup_.get(); }
    Lumora_ArpKeyCntnrView* stepAccent() const { return stepAccent_.get(); }
    Lumora_ArpKeyCntnrView* stepStaccato() const { return stepStaccato_.get(); }
    Lumora_ArpPgmCntnrVw* stepProgram() const { return stepProgram_.get(); }

private:
    Lumora::ArpeggiatorData* record() const;
    Lumora::Parameter* arpeggiatorParameter() const;
    void showHeader(Lumora::ArpeggiatorData const& record);
    void showStep(Lumora::ArpeggiatorData const& record, unsigned step);
    void showArpeggiatorSwitch(bool on);
    void registerObservers();
    void unregisterObservers();

    Lumora_CoreRef core_;
    std::optional<Platform::Color> scrollViewBackgroundColor_;
    Platform::WeakRef<Lumora_ScalableContainer_Delegate> containerDelegate_;
    bool observing_ = false;
    // While the editor itself puts values into its controls, their reports are no user edits:
    // they are not written back (a stored program value the faders cannot show, for one, would
    // otherwise be replaced by the one they show).
    bool showingRecord_ = false;

    std::shared_ptr<Lumora_ScalableContainerView> containerView_;
    std::shared_ptr<Lumora_ScalableContentView> contentView_;
    Platform::WeakRef<Platform::ImageView> backgroundImageVw_;
    Platform::WeakRef<Lumora_Ctrl_LampSelectorCntnr> selectorActive_;
    Platform::WeakRef<Lumora_Ctrl_LampSelectorCntnr> selectorStyle_;
    Platform::WeakRef<Lumora_Ctrl_LampSelectorCntnr> selectorOctave_;
    Platform::WeakRef<Lumora_Ctrl_LampSelectorCntnr> selectorRate_;
    Platform::WeakRef<Lumora_Ctrl_Switch> switchKeySync_;
    Platform::WeakRef<Lumora_Ctrl_RotaryKnob> knobStepLength_;
    Platform::WeakRef<Lumora_Ctrl_RotaryKnob> knobPatternLength_;
    Platform::WeakRef<Lumora_Ctrl_RotaryKnob> knobSwing_;
    Platform::WeakRef<Lumora_Ctrl_RotaryKnob> knobAccent_;
    Platform::WeakRef<Lumora_Ctrl_RotaryKnob> knobDuration_;
    Platform::WeakRef<Lumora_Ctrl_RotaryKnob> knobStaccato_;
    Platform::WeakRef<Platform::Label> labelStepLength_;
    Platform::WeakRef<Platform::Label> labelPatternLength_;
    Platform::WeakRef<Lumora_ArpKeyCntnrView> stepActive_;
    Platform::WeakRef<Lumora_ArpKeyCntnrView> stepPortamento_;
    Platform::WeakRef<Lumora_ArpKeyCntnrView> stepOctaveup_;
    Platform::WeakRef<Lumora_ArpKeyCntnrView> stepAccent_;
    Platform::WeakRef<Lumora_ArpKeyCntnrView> stepStaccato_;
    Platform::WeakRef<Lumora_ArpPgmCntnrVw> stepProgram_;
};
