#pragma once

#include "model/core/Lumora_CoreRef.h"
#include "platform/ui/View.h"
#include "platform/ui/WeakRef.h"

#include <memory>

class Lumora_Core;

namespace Lumora {
class MicroTuning;
}

namespace Platform {
class Control;
class Label;
class Slider;
class Stepper;
} // namespace Platform

// One row of the micro-tuning editor: the note name of a pitch class and its detune in cents,
// with a slider and a stepper that change it. The row reads and writes the instrument's table
// directly; it does not observe the engine and shows the table only when asked to refresh.
class _MicroTuningEditorKeyVw : public Platform::View {
public:
    static constexpr char const* nibName = "MicroTuningEditorKeyVw";

    explicit _MicroTuningEditorKeyVw(Platform::Rect frame = {});

    int keyNumberOfOctave() const { return keyNumberOfOctave_; }
    // Stores the pitch class (C = 0) and shows its row.
    void setKeyNumberOfOctave(int key);

    std::shared_ptr<Lumora_Core> core() const { return core_.lock(); }
    void setCore(std::shared_ptr<Lumora_Core> const& core) { core_ = core; }

    // The instrument's table when the engine is a synth engine, otherwise none.
    Lumora::MicroTuning* microTuning() const;

    // Note name and the colours of a white or a black key.
    void setupAppearanceIsWhiteKey(bool white, char const* name);
    void updateUI();
    // From the slider or the stepper: the value in cents, rounded, written to the table.
    void actionValueChanged(Platform::Control* sender);

    // Outlets, connected by the interface file.
    struct Outlets {
        Platform::Label* name = nullptr;
        Platform::Label* label = nullptr;
        Platform::Slider* slider = nullptr;
        Platform::Stepper* stepper = nullptr;
    };
    void connectOutlets(Outlets const& outlets);
    Platform::Label* name() const { return name_.get(); }
    Platform::Label* label() const { return label_.get(); }
    Platform::Slider* slider() const { return slider_.get(); }
    Platform::Stepper* stepper() const { return stepper_.get(); }

private:
    int keyNumberOfOctave_ = 0;
    Lumora_CoreRef core_;
    Platform::WeakRef<Platform::Label> name_;
    Platform::WeakRef<Platform::Label> label_;
    Platform::WeakRef<Platform::Slider> slider_;
    Platform::WeakRef<Platform::Stepper> stepper_;
};
