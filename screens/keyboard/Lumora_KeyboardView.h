#pragma once

#include "platform/ui/WeakRef.h"
#include "screens/keyboard/Lumora_KeyContainerView.h"
#include "screens/keyboard/Lumora_KeybordDelegate.h"
#include "screens/keyboard/Lumora_MusicalKeyView.h"

#include <cstdint>

class LumoraOctKeyView;

// The row of octaves of the on-screen keyboard: a key container that is its own key delegate
// and reports each press and release to its keyboard delegate as a note and a velocity.
class Lumora_KeyboardView : public Lumora_KeyContainerView, public Lumora_KeyViewDelegate {
public:
    explicit Lumora_KeyboardView(Platform::Rect frame = {});

    bool createdSubViews() const { return createdSubViews_; }
    // Whether a keyboard loaded from an interface file builds two octaves from octave 4.
    bool createDefaultWithNib() const { return createDefaultWithNib_; }
    void setCreateDefaultWithNib(bool create) { createDefaultWithNib_ = create; }
    bool isPianoLayout() const { return isPianoLayout_; }
    void setIsPianoLayout(bool piano);
    std::int32_t octaves() const { return octaves_; }
    std::int32_t lowestOctave() const { return lowestOctave_; }
    Lumora_KeybordDelegate* keybordDelegate() const { return keybordDelegate_.get(); }
    void setKeybordDelegate(Lumora_KeybordDelegate* delegate) { keybordDelegate_.reset(delegate); }

    void createSubviewsWithOctaves(std::int32_t octaves, std::int32_t lowestOctave, CreateMusicalKeyViewBlock const& block);
    void removeSubOctViews();
    void setupOtaves(std::int32_t octaves, std::int32_t lowestOctave, CreateMusicalKeyViewBlock const& block);

    void awakeFromNib() override;
    // Octaves side by side, each an equal share of the width, full height.
    void layoutSubviews() override;

    void keyDown(Lumora_KeyView* key, Lumora_KeyContainerView* container) override;
    void keyUp(Lumora_KeyView* key, Lumora_KeyContainerView* container) override;

    bool isMyNoteNumber(std::int32_t note) const;
    // Engine notes shown on the keys; notes outside the keyboard are ignored.
    void noteOn(std::int32_t note, std::int32_t velocity);
    void noteOff(std::int32_t note, std::int32_t velocity);
    void hold(std::int32_t note, bool isHeld);

    LumoraOctKeyView* octaveView(std::int32_t octave);

private:
    bool createdSubViews_ = false;
    bool createDefaultWithNib_ = false;
    bool isPianoLayout_ = true;
    std::int32_t octaves_ = 0;
    std::int32_t lowestOctave_ = 0;
    Platform::WeakRef<Lumora_KeybordDelegate> keybordDelegate_;
};

// The velocity of a key's last press or release: the touch's height on the key, 0 at its top
// edge to 127 at its bottom edge.
std::int32_t velocity(Lumora_KeyView const& key);
