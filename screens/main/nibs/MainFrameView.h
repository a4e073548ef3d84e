#pragma once

#include "platform/ui/View.h"

// The root view of the synth main files: the editor frame container on top, and below it the
// side-edge button, the common-parameter strip container (its width following the strip's
// ratio) and the keyboard container, each where the file has one. The frame container's height
// constraint, while active, gives the frame its height as a share of the main view's height or
// width (plus a constant); switched off, the keyboard keeps a low row only.
//
// The strip grows with the row's height only up to its largest size, and never takes the room
// the keyboard needs to stay playable: a taller row (a pad held upright) leaves the strip at the
// top of its column, at its ratio, with the main view's backdrop below it. A row lower than the
// strip's design height (a plug-in in a low host view or on a phone) shows no strip and no
// side-edge button; the keyboard takes the row and the header's strip button opens the strip.
class MainFrameView : public Platform::View {
public:
    static constexpr double sideEdgeWidth = 18;
    static constexpr double lowKeyboardHeight = 72;
    // The row of the pad's 1024 x 768 layout: the largest the strip's controls are drawn for.
    static constexpr double maxStripHeight = 390;
    // Seven white keys of 48 points: an octave to play on beside any strip.
    static constexpr double minKeyboardWidth = 336;

    explicit MainFrameView(Platform::Rect frame = {}) : Platform::View(frame) {}
    void layoutSubviews() override;
};
