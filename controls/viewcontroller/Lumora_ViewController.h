#pragma once

#include "controls/midilearn/Lumora_ControlStatusView.h"
#include "controls/midilearn/Lumora_MidiMapperElmntVwCtrlr_delegate.h"
#include "controls/viewcontroller/Lumora_Basic_ViewController.h"
#include "model/core/Lumora_CoreObservers.h"
#include "model/core/Lumora_CoreRef.h"
#include "model/settings/Lumora_Setting_Observer.h"
#include "platform/ui/Control.h"

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

class Lumora_Core;

namespace Lumora {
class iAudioEngine;
class iAudioIO;
class Parameter;
} // namespace Lumora

// The base of every screen whose controls edit engine parameters. It binds each control below
// its views to the parameter whose id is the control's tag, writes the user's changes to that
// parameter with the screen's own observer token, and shows the changes made anywhere else when
// the model's timer delivers them. In MIDI-learn mode it covers its writable bound controls with
// overlays and talks to the engine's MIDI parameter mapper.
//
// Create it with initWithCore (or a subclass's initialiser that starts with it): the plain
// initialisers refuse. It registers with the model when its view loads and unregisters when it
// goes away.
class Lumora_ViewController : public Lumora_Basic_ViewController,
                              public Lumora_ControlStatusView_delegate,
                              public Lumora_MidiMapperElmntVwCtrlr_delegate,
                              public Lumora_ParamObserver,
                              public Lumora_AudioEngine_Observer,
                              public Lumora_Setting_Observer,
                              public Lumora_Midi_Observer {
public:
    using ControlSet = std::set<std::shared_ptr<Platform::Control>>;
    using ControlDictionary = std::map<int32_t, std::vector<std::shared_ptr<Platform::Control>>>;
    using StatusViews = std::vector<std::shared_ptr<Lumora_ControlStatusView>>;

    Lumora_ViewController();
    ~Lumora_ViewController() override;

    // A new controller of class T made with the model object; null when its initialiser refuses.
    template <class T = Lumora_ViewController>
    static std::shared_ptr<T> newWithCore(std::shared_ptr<Lumora_Core> core)
    {
        auto controller = std::make_shared<T>();
        if (!controller->initWithCore(std::move(core)))
            return nullptr;
        return controller;
    }

    // Without an interface file; screens override it to name theirs.
    virtual bool initWithCore(std::shared_ptr<Lumora_Core> core);
    bool initWithCore(std::shared_ptr<Lumora_Core> core, std::string nibName, std::shared_ptr<Platform::Bundle> bundle);
    // A controller exists only with a model object.
    bool init() override;
    bool initWithNibName(std::string nibName, std::shared_ptr<Platform::Bundle> bundle) override;

    Lumora_Core* core() const { return core_.get(); }
    Lumora::iAudioEngine* audioEngine() const;
    Lumora::iAudioIO* audioIO() const;
    Token parameterObserverToken() const override;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    // Shows a sub-screen the way the model asks for (subViewControllerStyle): modally for 1,
    // otherwise as a popover with the given anchor and decoration.
    void presentSubViewController(std::shared_ptr<Platform::ViewController> controller, Platform::Size contentSize,
                                  Platform::View* sourceView, std::vector<Platform::View*> passthroughViews,
                                  unsigned arrowDirection, std::optional<Platform::Color> backgroundColor);

    bool receivingMidi() const { return receivingMidi_; }
    // Registers with the model as MIDI observer (or unregisters), every time it is called.
    void setReceivingMidi(bool receiving);

    // Binding.
    void setupDescendantUiControlsWithView(Platform::View* view);
    void finalizeDescendantUiControlsWithView(Platform::View* view);
    void rebuildControlDictionaly();
    ControlSet const& setControls() const { return setControls_; }
    void setSetControls(ControlSet controls) { setControls_ = std::move(controls); }
    ControlDictionary const& dicControls() const { return dicControls_; }
    void setDicControls(ControlDictionary controls) { dicControls_ = std::move(controls); }
    StatusViews const& setControlStatusViews() const { return setControlStatusViews_; }
    void setSetControlStatusViews(StatusViews views) { setControlStatusViews_ = std::move(views); }

    // Control to parameter: the value-changed action of every bound control.
    void actionParamUiValueChanged(Platform::Control* sender);
    // The normalized value to write for a control's change; the given one here.
    virtual float parameterWillChangeByControl(Platform::Control* control, int32_t paramIndex, float normalizedValue);
    // After the change was written; nothing here.
    virtual void parameterDidChangeByControl(Platform::Control* control, int32_t paramIndex, float normalizedValue);

    // Parameter to controls.
    void didChangeParam(Lumora::Parameter const* param, Token token) override;
    void updateUIWithParam(Lumora::Parameter const* param);
    virtual void updateUI();
    // Writes the value into the controls bound to the tag that do not show it yet. The control
    // to avoid is not consulted: a control whose value a hook changed is corrected too.
    void setNormlizedValueToControls(float value, int32_t tag, Platform::Control* avoid);

    // Other observer operations. Screens that override the notification call this version too.
    void receiveAudioEngineNotificationWithID(int id, int param) override;
    void onChangeSettingWithKey(std::string const& key) override;
    void receiveMidi(Lumora::MidiMessage const* message) override;

    // MIDI learn.
    bool showControlStatusView() const { return showControlStatusView_; }
    // Shows or hides every overlay, all deselected; hiding also disarms the mapper.
    void setShowControlStatusView(bool show);
    void refreshControlStatusViews();
    void deselectAllStatusViews();
    void controlStatusView_didSelect(Lumora_ControlStatusView* view, bool selected) override;
    void controlStatusView_didLongPressed(Lumora_ControlStatusView* view, bool selected) override;
    void midiMapperElementViewController_didChangeMidiSourceWithParameterID(Lumora_MidiMapperElmntVwCtrlr* editor,
                                                                            int32_t parameterID) override;

protected:
    // Runs once the model object is kept and the collections exist; empty here.
    virtual void didInitWithCore(Lumora_Core* core);

private:
    void initInstanceWithCore(std::shared_ptr<Lumora_Core> core);
    static void setOverlayShown(Lumora_ControlStatusView& overlay, bool shown);
    void bindControl(Platform::Control* control, Lumora::ParameterManager& parameters,
                     Lumora::MidiParamMapper& mapper);

    Lumora_CoreRef core_;
    bool showControlStatusView_ = false;
    bool receivingMidi_ = false;
    ControlSet setControls_;
    ControlDictionary dicControls_;
    StatusViews setControlStatusViews_;
    bool observing_ = false;
};
