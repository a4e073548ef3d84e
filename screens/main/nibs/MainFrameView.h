#pragma once

#include "platform/ui/View.h"

// The root view of the synth main files: the editor frame container on top, and below it the
// side-edge button, the common-parameter strip container (its width following the strip's
// ratio) and the keyboard container, each where the file has one. The frame container's height
// constraint, while active, gives the frame its height as a share of the main view's height or
// width (plus a constant); switched off, the keyboard keeps a low row only.
class MainFrameView : public Platform::View {
public:
    static constexpr double sideEdgeWidth = 18;
    static constexpr double lowKeyboardHeight = 72;

    explicit MainFrameView(Platform::Rect frame = {}) : Platform::View(frame) {}
    void layoutSubviews() override;
};
