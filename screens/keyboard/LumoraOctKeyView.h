#pragma once

#include "platform/ui/View.h"
#include "screens/keyboard/Lumora_MusicalKeyView.h"

#include <cstdint>

// One octave of the on-screen keyboard: its twelve keys, tagged octave x 12 + 0 .. 11, the
// seven white keys added first so that the black keys lie in front of them.
class LumoraOctKeyView : public Platform::View {
public:
    explicit LumoraOctKeyView(Platform::Rect frame = {});

    bool isPianoLayout() const { return isPianoLayout_; }
    void setIsPianoLayout(bool piano);
    std::int32_t octave() const { return octave_; }

    void createSubviewsWithOctave(std::int32_t octave, CreateMusicalKeyViewBlock const& block);
    void removeSubKeyViews();
    void setupWithOctave(std::int32_t octave, CreateMusicalKeyViewBlock const& block);

    // Every key lays itself out again within the octave's new bounds.
    void layoutSubviews() override;

    // Engine notes shown on the key of that note; the velocity is not used.
    void noteOn(std::int32_t note, std::int32_t velocity);
    void noteOff(std::int32_t note, std::int32_t velocity);
    void hold(std::int32_t note, bool isHeld);

    Lumora_MusicalKeyView* keyWithNote(std::int32_t note) const;

private:
    template <class F>
    void forEachKey(F&& f) const;

    bool isPianoLayout_ = true;
    std::int32_t octave_ = 0;
};
