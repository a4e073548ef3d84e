#pragma once

#include "controls/painter/Lumora_PainterImplementation.h"

#include <memory>

// The one place where controls and screens ask for colours, images, metrics and drawings. It
// owns the installed theme and hands every request to it unchanged; with no theme installed,
// colour and image requests answer none, the metric 0, and drawings draw nothing. There is one
// facade per process, made with the default theme on first use and never destroyed.
class Lumora_Painter {
public:
    using Color = Platform::Color;
    using Rect = Platform::Rect;

    static Lumora_Painter* sharedInstance();
    // Installs a theme in the shared facade (made first if need be); the previous theme is
    // released. Installing is not synchronised: it happens once, on the main thread, before any
    // screen exists.
    static void setImplimatation(std::shared_ptr<Lumora_PainterImplementation> theme);

    std::shared_ptr<Lumora_PainterImplementation> const& impl() const { return impl_; }
    void setImpl(std::shared_ptr<Lumora_PainterImplementation> theme) { impl_ = std::move(theme); }

#define LUMORA_FORWARD_COLOR(name) \
    std::optional<Color> name() { return impl_ ? impl_->name() : std::nullopt; }
    LUMORA_PAINTER_COLORS(LUMORA_FORWARD_COLOR)
#undef LUMORA_FORWARD_COLOR
#define LUMORA_FORWARD_IMAGE(name) \
    Platform::Image name() { return impl_ ? impl_->name() : Platform::Image(); }
    LUMORA_PAINTER_IMAGES(LUMORA_FORWARD_IMAGE)
#undef LUMORA_FORWARD_IMAGE
    int32_t keyboardScrollBarHeight() { return impl_ ? impl_->keyboardScrollBarHeight() : 0; }

    std::optional<Color> commandButton_foregroundColorWithState(Lumora_CmndButton* button, uint64_t state)
    {
        return impl_ ? impl_->commandButton_foregroundColorWithState(button, state) : std::nullopt;
    }
    std::optional<Color> commandButton_backgroundColorWithState(Lumora_CmndButton* button, uint64_t state)
    {
        return impl_ ? impl_->commandButton_backgroundColorWithState(button, state) : std::nullopt;
    }

#define LUMORA_FORWARD_ICON(name)                                                        \
    void drawIcon##name##WithFrame(Rect const& frame, Color const& foreground, bool pressed) \
    {                                                                                    \
        if (impl_)                                                                       \
            impl_->drawIcon##name##WithFrame(frame, foreground, pressed);                \
    }
    LUMORA_PAINTER_COMMAND_ICONS(LUMORA_FORWARD_ICON)
#undef LUMORA_FORWARD_ICON
    void drawIconAltWithFrame(Rect const& frame, Color const& foreground, bool selected, bool pressed)
    {
        if (impl_)
            impl_->drawIconAltWithFrame(frame, foreground, selected, pressed);
    }

    void drawKnobWithFrame(Rect const& frame, float value, bool disabled, bool isBipole, int32_t variation)
    {
        if (impl_)
            impl_->drawKnobWithFrame(frame, value, disabled, isBipole, variation);
    }
    void drawSliderWithFrame(Rect const& frame, float value, bool disabled, bool isBipole, int32_t variation)
    {
        if (impl_)
            impl_->drawSliderWithFrame(frame, value, disabled, isBipole, variation);
    }
    void drawSwitchWithFrame(Rect const& frame, bool selected, bool pressed, bool disabled, int32_t variation)
    {
        if (impl_)
            impl_->drawSwitchWithFrame(frame, selected, pressed, disabled, variation);
    }
    void drawSwitchSelectorWithFrame(Rect const& frame, int32_t value, bool pressed, bool disabled, int32_t variation)
    {
        if (impl_)
            impl_->drawSwitchSelectorWithFrame(frame, value, pressed, disabled, variation);
    }
    void drawLampWithFrame(Rect const& frame, float value, int32_t variation)
    {
        if (impl_)
            impl_->drawLampWithFrame(frame, value, variation);
    }
    void drawButtonWithFrame(Rect const& frame, bool selected, bool pressed, bool disabled, int32_t variation)
    {
        if (impl_)
            impl_->drawButtonWithFrame(frame, selected, pressed, disabled, variation);
    }
    void drawSideEdgeButtonWithFrame(Rect const& frame, bool pressed)
    {
        if (impl_)
            impl_->drawSideEdgeButtonWithFrame(frame, pressed);
    }
    void drawImageWithFrame(Rect const& frame, int32_t value, bool selected, bool pressed, bool disabled,
                            int32_t badge, int32_t variation)
    {
        if (impl_)
            impl_->drawImageWithFrame(frame, value, selected, pressed, disabled, badge, variation);
    }
    void drawStepButtonWithFrame(Rect const& frame, bool selected, bool pressed, bool lighted, bool disabled,
                                 int32_t variation)
    {
        if (impl_)
            impl_->drawStepButtonWithFrame(frame, selected, pressed, lighted, disabled, variation);
    }
    void drawArpPgSliderWithValue(float value, float switchPos, bool disabled)
    {
        if (impl_)
            impl_->drawArpPgSliderWithValue(value, switchPos, disabled);
    }
    void drawKeyWhiteWithFrame(Rect const& frame, bool pressed, bool held)
    {
        if (impl_)
            impl_->drawKeyWhiteWithFrame(frame, pressed, held);
    }
    void drawKeyBlackWithFrame(Rect const& frame, bool pressed, bool held)
    {
        if (impl_)
            impl_->drawKeyBlackWithFrame(frame, pressed, held);
    }
    void drawControlStatusWithFrame(Rect const& frame, bool showDetailInfo, int32_t midiCh, int32_t midiStatus,
                                    int32_t midiNumber, bool selected, bool pressed)
    {
        if (impl_)
            impl_->drawControlStatusWithFrame(frame, showDetailInfo, midiCh, midiStatus, midiNumber, selected, pressed);
    }
    void drawShaperWithFrame(Rect const& frame, bool disabled, double lo, double mid, double hi)
    {
        if (impl_)
            impl_->drawShaperWithFrame(frame, disabled, lo, mid, hi);
    }
    void drawIntShaperWithFrame(Rect const& frame, bool disabled, double lo, double hi, double min, double max)
    {
        if (impl_)
            impl_->drawIntShaperWithFrame(frame, disabled, lo, hi, min, max);
    }

private:
    Lumora_Painter() = default;

    std::shared_ptr<Lumora_PainterImplementation> impl_;
};
