// The default theme's command-button colours and drawings: the interface palette for the
// buttons, the default style kit with its own palette for every figure.
#include "controls/painter/Lumora_PainterImplementation.h"

#include "controls/button/Lumora_CmndButton.h"
#include "controls/categories/UIColor_Lumora.h"
#include "drawing/Lumora_StyleKit.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/StringDrawing.h"

#include <string>

using Platform::Color;
using Platform::Rect;
using K = Lumora_StyleKit;

namespace {

// The overlay's title names the message a mapped control answers to; the channel is left out.
std::string controlStatusTitle(bool showDetailInfo, int32_t midiStatus, int32_t midiNumber)
{
    if (!showDetailInfo)
        return "";
    switch (midiStatus & 0xF0) {
    case 0xD0:
        return "After\nTouch";
    case 0xB0:
        return "CC:" + std::to_string(midiNumber);
    default:
        return "?";
    }
}

} // namespace

std::optional<Color> Lumora_PainterImplementation::commandButton_foregroundColorWithState(
    Lumora_CmndButton* commandButton, uint64_t state)
{
    bool const highlighted = state & Platform::ControlState::Highlighted;
    bool const selected = state & Platform::ControlState::Selected;
    if (state & Platform::ControlState::Disabled)
        return selected ? UIColor_Lumora::lumoraUltraLightGrayColor() : UIColor_Lumora::lumoraLightGrayColor();
    if (selected && !(commandButton && commandButton->isAltButton()))
        return highlighted ? UIColor_Lumora::lumoraOrangeColor() : UIColor_Lumora::lumoraRedColor();
    // A selected Alt button looks like an unselected one: its icon shows the selection itself.
    return highlighted ? UIColor_Lumora::lumoraUltraLightGrayColor() : UIColor_Lumora::lumoraDarkBlueColor();
}

std::optional<Color> Lumora_PainterImplementation::commandButton_backgroundColorWithState(Lumora_CmndButton*,
                                                                                         uint64_t state)
{
    if ((state & Platform::ControlState::Selected) && !(state & Platform::ControlState::Disabled))
        return UIColor_Lumora::lumoraLightGrayColor();
    return Color::clearColor();
}

namespace {

// The kit as the icon requests see it. Its MIDI icon can show a selection; command buttons never
// ask for it, so that request draws it unselected.
struct IconKit : Lumora_StyleKit {
    static void drawIconMIDIWithFrame(Rect const& frame, Color const& foreground, bool pressed)
    {
        Lumora_StyleKit::drawIconMIDIWithFrame(frame, foreground, false, pressed);
    }
};

} // namespace

#define LUMORA_DEFINE_ICON(name)                                                                           \
    void Lumora_PainterImplementation::drawIcon##name##WithFrame(Rect const& frame, Color const& foreground, \
                                                                 bool pressed)                           \
    {                                                                                                    \
        IconKit::drawIcon##name##WithFrame(frame, foreground, pressed);                                  \
    }
LUMORA_PAINTER_COMMAND_ICONS(LUMORA_DEFINE_ICON)
#undef LUMORA_DEFINE_ICON

void Lumora_PainterImplementation::drawIconAltWithFrame(Rect const& frame, Color const& foreground, bool selected,
                                                        bool pressed)
{
    K::drawIconAltWithFrame(frame, foreground, selected, pressed);
}

void Lumora_PainterImplementation::drawKnobWithFrame(Rect const& frame, float value, bool disabled, bool isBipole,
                                                     int32_t)
{
    K::drawKnobWithFrame(frame, K::baseColor_(), K::topColor_(), K::markColor_(), value, disabled, isBipole);
}

// A disabled slider looks like an enabled one.
void Lumora_PainterImplementation::drawSliderWithFrame(Rect const& frame, float value, bool, bool isBipole, int32_t)
{
    K::drawSliderWithFrame(frame, K::baseColor_(), K::topColor_(), K::topFrameColor_(), K::guageTopColor_(), value,
                           isBipole);
}

void Lumora_PainterImplementation::drawSwitchWithFrame(Rect const& frame, bool selected, bool pressed, bool, int32_t)
{
    K::drawPushSwitchWithFrame(frame, K::topColor_(), K::topColor_pressed_(), K::lampColor_on_(), K::lampColor_off_(),
                               selected, pressed);
}

// The selector's lamp is off at position 0, yellow-orange at 1 and red at any other position.
void Lumora_PainterImplementation::drawSwitchSelectorWithFrame(Rect const& frame, int32_t value, bool pressed, bool,
                                                               int32_t)
{
    Color const lampOn(1, value == 1 ? 0.8 : 0.0, 0, 1);
    K::drawPushSwitchWithFrame(frame, K::topColor_(), K::topColor_pressed_(), lampOn, K::lampColor_off_(), value != 0,
                               pressed);
}

void Lumora_PainterImplementation::drawLampWithFrame(Rect const& frame, float value, int32_t)
{
    K::drawLampWithFrame(frame, value);
}

void Lumora_PainterImplementation::drawButtonWithFrame(Rect const& frame, bool selected, bool pressed, bool, int32_t)
{
    K::drawButtonWithFrame(frame, K::topColor_(), K::topColor_pressed_(), K::topColor_selected_(), selected, pressed);
}

void Lumora_PainterImplementation::drawSideEdgeButtonWithFrame(Rect const& frame, bool pressed)
{
    K::drawSideEdgeButtonWithFrame(frame, pressed);
}

// The default theme has no pictures: it fills the frame with a grey that shows the flags and
// writes the request's numbers at the origin of the current coordinates.
void Lumora_PainterImplementation::drawImageWithFrame(Rect const& frame, int32_t value, bool, bool pressed,
                                                      bool disabled, int32_t badge, int32_t variation)
{
    Platform::GraphicsContext* context = Platform::GraphicsContext::current();
    if (!context)
        return;
    double const grey = disabled ? (pressed ? 0.2 : 0.4) : (pressed ? 0.6 : 0.8);
    context->setFillColor(Color(grey, grey, grey, 1));
    context->fillRect(frame);

    Color::blackColor().set();
    std::string const text =
        "img:" + std::to_string(value) + ":" + std::to_string(badge) + "," + std::to_string(variation);
    Platform::TextAttributes attributes;
    attributes.font = Platform::Font::systemFont(10);
    Platform::StringDrawing::drawAtPoint(text, Platform::Point{0, 0}, attributes);
}

void Lumora_PainterImplementation::drawStepButtonWithFrame(Rect const& frame, bool selected, bool pressed,
                                                           bool lighted, bool disabled, int32_t)
{
    K::drawStepButtonWithFrame(frame, K::baseColor_(), K::baseColor_pressed_(), K::topColor_(),
                               K::topColor_pressed_(), K::lampColor_on_(), K::lampColor_lighted_(), selected, pressed,
                               lighted, disabled);
}

void Lumora_PainterImplementation::drawArpPgSliderWithValue(float value, float switchPos, bool disabled)
{
    K::drawArpPgSliderWithBaseColor(K::baseColor_(), K::baseColor_disabled_(), K::topColor_(),
                                    K::topColor_selected_(), K::labelColor_(), K::labelColor_selected_(),
                                    K::lampColor_on_(), K::lampColor_off_(), K::markColor_(),
                                    K::markColor_disabled_(), value, switchPos, disabled);
}

namespace {

// Keys round their corners by a sixth of their width; a short key (less than twice as tall as
// wide) carries its held dot low. A zero-wide key has no finite ratio and keeps the dot high.
double keyRadius(Rect const& frame) { return frame.width() / 6; }
bool keyHeldLow(Rect const& frame) { return frame.height() / frame.width() < 2; }

} // namespace

void Lumora_PainterImplementation::drawKeyWhiteWithFrame(Rect const& frame, bool pressed, bool held)
{
    K::drawKeyWhiteWithFrame(frame, keyRadius(frame), pressed, held, keyHeldLow(frame));
}

void Lumora_PainterImplementation::drawKeyBlackWithFrame(Rect const& frame, bool pressed, bool held)
{
    K::drawKeyBlackWithFrame(frame, keyRadius(frame), pressed, held, keyHeldLow(frame));
}

void Lumora_PainterImplementation::drawControlStatusWithFrame(Rect const& frame, bool showDetailInfo, int32_t,
                                                              int32_t midiStatus, int32_t midiNumber, bool selected,
                                                              bool pressed)
{
    K::drawControlStatusWithFrame(frame, controlStatusTitle(showDetailInfo, midiStatus, midiNumber), selected,
                                  pressed);
}

void Lumora_PainterImplementation::drawShaperWithFrame(Rect const& frame, bool disabled, double lo, double mid,
                                                       double hi)
{
    K::drawShaperWithFrame(frame, disabled, lo, mid, hi);
}

void Lumora_PainterImplementation::drawIntShaperWithFrame(Rect const& frame, bool disabled, double lo, double hi,
                                                          double min, double max)
{
    K::drawIntShaperWithFrame(frame, disabled, lo, hi, min, max);
}
