#pragma once

#include "platform/graphics/Geometry.h"
#include "screens/keyboard/Lumora_KeyView.h"

#include <cstdint>
#include <functional>
#include <memory>

// One key of the on-screen keyboard. Its tag is its MIDI note number; inside an octave view it
// lays itself out as a piano key (seven white keys, five black keys in front) or as one of
// twelve equal keys, and draws through the painter.
class Lumora_MusicalKeyView : public Lumora_KeyView {
public:
    explicit Lumora_MusicalKeyView(Platform::Rect frame = {});

    // Held by the engine's keyboard-hold function.
    bool isHeld() const { return isHeld_; }
    void setIsHeld(bool held);
    bool isPianoLayout() const { return isPianoLayout_; }
    void setIsPianoLayout(bool piano) { isPianoLayout_ = piano; }

    std::int32_t keyNumber() const { return tag(); }
    bool isBlackKey() const;
    bool isWhiteKey() const { return !isBlackKey(); }
    bool isInOctaveView() const;

    // A black key's size in white-key widths and octave heights.
    static Platform::Size blackKeySizeRatio();
    // The horizontal place of black key 0..4 (C#, D#, F#, G#, A#) right of the white key below
    // it, in white-key widths (the width); the height is 0.
    static Platform::Size blackKeyPositionRatio(std::int32_t blackIndex);

    void layoutSubviews() override;
    void drawRect(Platform::Rect const& rect) override;
    void drawKey(std::int32_t note, bool isWhiteKey, bool isPressed, bool isHeld, Platform::Rect const& rect);

private:
    bool isHeld_ = false;
    bool isPianoLayout_ = true;
};

// Makes the keys of a keyboard; an empty factory makes plain Lumora_MusicalKeyViews.
using CreateMusicalKeyViewBlock = std::function<std::shared_ptr<Lumora_MusicalKeyView>()>;
std::shared_ptr<Lumora_MusicalKeyView> makeMusicalKeyView(CreateMusicalKeyViewBlock const& block);
