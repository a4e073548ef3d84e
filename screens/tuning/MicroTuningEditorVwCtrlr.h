#pragma once

#include "model/core/Lumora_CoreRef.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/WeakRef.h"

#include <memory>

class Lumora_Core;

namespace Lumora {
class iSynthAudioEngine;
}

namespace Platform {
class Control;
class ScrollView;
} // namespace Platform

// The micro-tuning editor: twelve rows, C to B, each detuning its pitch class in cents, and a
// button that opens the document browser of micro-tuning documents. It is pushed on the settings
// screen's navigation stack and refreshes every row whenever it comes on screen, so a document
// loaded in the browser shows when the user comes back.
class MicroTuningEditorVwCtrlr : public Platform::ViewController {
public:
    static constexpr char const* nibName = "MicroTuningEditorVwCtrlr";

    // The editor of the model's table; owner is the settings screen whose stack holds it.
    static std::shared_ptr<MicroTuningEditorVwCtrlr> create(std::shared_ptr<Lumora_Core> core,
                                                            Platform::ViewController* owner);

    // The plain initialiser answers nil: the editor needs the model.
    bool init() override { return false; }
    // Loads the interface file "MicroTuningEditorVwCtrlr" and refers to the model weakly; keeps the owner.
    bool initWithCore(std::shared_ptr<Lumora_Core> core, Platform::ViewController* owner);

    std::shared_ptr<Lumora_Core> core() const { return core_.lock(); }
    Platform::ViewController* ownerSettingVwCtrlr() const { return owner_.get(); }
    // The model's engine when it is a synth engine.
    Lumora::iSynthAudioEngine* synthAudioEngine() const;

    void viewWillAppear(bool animated) override;
    // Pushes the micro-tuning document browser on the owner's navigation stack.
    void actionShowFileMng(Platform::Control* sender);

    // Outlets, connected by the interface file.
    struct Outlets {
        Platform::ScrollView* keyViewScrollVw = nullptr;
        Platform::View* keyViewContainerVw = nullptr;
    };
    void connectOutlets(Outlets const& outlets);
    Platform::ScrollView* keyViewScrollVw() const { return keyViewScrollVw_.get(); }
    Platform::View* keyViewContainerVw() const { return keyViewContainerVw_.get(); }

private:
    Lumora_CoreRef core_;
    Platform::WeakRef<Platform::ViewController> owner_;
    Platform::WeakRef<Platform::ScrollView> keyViewScrollVw_;
    Platform::WeakRef<Platform::View> keyViewContainerVw_;
};
