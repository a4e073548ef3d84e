#pragma once

#include "controls/painter/Lumora_PainterRequests.h"
#include "model/core/Lumora_CoreRef.h"
#include "platform/foundation/Object.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/Image.h"

#include <cstdint>
#include <memory>
#include <optional>

class Lumora_CmndButton;
class Lumora_Core;

// A theme: the answers to every request of the painter facade. This class is the library's
// default theme and the base of every other; a theme overrides any subset of the requests.
// Drawing requests draw into the current graphics context and are made from within a view's
// redraw; `frame` is in that context's current coordinates.
class Lumora_PainterImplementation : public Platform::Object {
public:
    using Color = Platform::Color;
    using Rect = Platform::Rect;

    Lumora_PainterImplementation() = default;
    // A theme made for a model object, which it refers to weakly; no request reads it.
    explicit Lumora_PainterImplementation(std::shared_ptr<Lumora_Core> const& core) : core_(core) {}
    ~Lumora_PainterImplementation() override = default;

    std::shared_ptr<Lumora_Core> core() const { return core_.lock(); }

    // Colours, images and the one metric.
#define LUMORA_DECLARE_COLOR(name) virtual std::optional<Color> name();
    LUMORA_PAINTER_COLORS(LUMORA_DECLARE_COLOR)
#undef LUMORA_DECLARE_COLOR
#define LUMORA_DECLARE_IMAGE(name) virtual Platform::Image name();
    LUMORA_PAINTER_IMAGES(LUMORA_DECLARE_IMAGE)
#undef LUMORA_DECLARE_IMAGE
    // Height of the keyboard's own scroll bar, in points.
    virtual int32_t keyboardScrollBarHeight();

    // Command buttons: `state` is the control-state bit set (1 highlighted, 2 disabled,
    // 4 selected).
    virtual std::optional<Color> commandButton_foregroundColorWithState(Lumora_CmndButton* commandButton, uint64_t state);
    virtual std::optional<Color> commandButton_backgroundColorWithState(Lumora_CmndButton* commandButton, uint64_t state);

    // Command icons.
#define LUMORA_DECLARE_ICON(name) virtual void drawIcon##name##WithFrame(Rect const& frame, Color const& foreground, bool pressed);
    LUMORA_PAINTER_COMMAND_ICONS(LUMORA_DECLARE_ICON)
#undef LUMORA_DECLARE_ICON
    virtual void drawIconAltWithFrame(Rect const& frame, Color const& foreground, bool selected, bool pressed);

    // Controls.
    virtual void drawKnobWithFrame(Rect const& frame, float value, bool disabled, bool isBipole, int32_t variation);
    virtual void drawSliderWithFrame(Rect const& frame, float value, bool disabled, bool isBipole, int32_t variation);
    virtual void drawSwitchWithFrame(Rect const& frame, bool selected, bool pressed, bool disabled, int32_t variation);
    virtual void drawSwitchSelectorWithFrame(Rect const& frame, int32_t value, bool pressed, bool disabled,
                                             int32_t variation);
    virtual void drawLampWithFrame(Rect const& frame, float value, int32_t variation);
    virtual void drawButtonWithFrame(Rect const& frame, bool selected, bool pressed, bool disabled, int32_t variation);
    virtual void drawSideEdgeButtonWithFrame(Rect const& frame, bool pressed);
    virtual void drawImageWithFrame(Rect const& frame, int32_t value, bool selected, bool pressed, bool disabled,
                                    int32_t badge, int32_t variation);
    virtual void drawStepButtonWithFrame(Rect const& frame, bool selected, bool pressed, bool lighted, bool disabled,
                                         int32_t variation);
    // Drawn in the view's own coordinates, without a frame.
    virtual void drawArpPgSliderWithValue(float value, float switchPos, bool disabled);

    // Piano keys, the MIDI-learn overlay and the response graphs.
    virtual void drawKeyWhiteWithFrame(Rect const& frame, bool pressed, bool held);
    virtual void drawKeyBlackWithFrame(Rect const& frame, bool pressed, bool held);
    virtual void drawControlStatusWithFrame(Rect const& frame, bool showDetailInfo, int32_t midiCh, int32_t midiStatus,
                                            int32_t midiNumber, bool selected, bool pressed);
    virtual void drawShaperWithFrame(Rect const& frame, bool disabled, double lo, double mid, double hi);
    virtual void drawIntShaperWithFrame(Rect const& frame, bool disabled, double lo, double hi, double min, double max);

private:
    Lumora_CoreRef core_;
};
