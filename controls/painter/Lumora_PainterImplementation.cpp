#include "controls/painter/Lumora_PainterImplementation.h"

#include "controls/categories/UIColor_Lumora.h"

using Platform::Color;
using Platform::Rect;

// The plain look: grey containers, black text, the interface palette for the header and tint.
// Answers marked "own" ask this theme again, so a subclass that changes the label or container
// colour changes them too.
std::optional<Color> Lumora_PainterImplementation::containerBackgroundColor() { return Color::lightGrayColor(); }
std::optional<Color> Lumora_PainterImplementation::labelTextColor() { return Color::blackColor(); }
std::optional<Color> Lumora_PainterImplementation::headerColor() { return UIColor_Lumora::lumoraUltraLightGrayColor(); }
std::optional<Color> Lumora_PainterImplementation::soundPresetButtonBackgroundColor() { return Color::lightGrayColor(); }
std::optional<Color> Lumora_PainterImplementation::soundPresetButtonForegroundColor() { return labelTextColor(); }
std::optional<Color> Lumora_PainterImplementation::editorContainerBackgroundColor() { return containerBackgroundColor(); }
std::optional<Color> Lumora_PainterImplementation::keyboardBackgroundColor() { return Color::blackColor(); }
std::optional<Color> Lumora_PainterImplementation::popoverBackgroundColor() { return containerBackgroundColor(); }
std::optional<Color> Lumora_PainterImplementation::popoverHeaderColor() { return Color(0.9019608, 0.9019608, 0.9019608, 1); }
std::optional<Color> Lumora_PainterImplementation::commonParmBackgroundColor() { return Color::clearColor(); }
std::optional<Color> Lumora_PainterImplementation::commonParmLabelColor() { return labelTextColor(); }
std::optional<Color> Lumora_PainterImplementation::commonParmButtonTextColor() { return labelTextColor(); }
std::optional<Color> Lumora_PainterImplementation::arpeggiatorContainerBackgroundColor() { return containerBackgroundColor(); }
std::optional<Color> Lumora_PainterImplementation::arpeggiatorContainerHeaderColor() { return containerBackgroundColor(); }
std::optional<Color> Lumora_PainterImplementation::arpeggiatorNumericIndicatorColor() { return labelTextColor(); }
std::optional<Color> Lumora_PainterImplementation::tintColor() { return UIColor_Lumora::lumoraBlueColor(); }

// The default theme has no images of its own.
Platform::Image Lumora_PainterImplementation::headerTitleImage() { return {}; }
Platform::Image Lumora_PainterImplementation::commonParmBackgroundImage() { return {}; }
Platform::Image Lumora_PainterImplementation::arpeggiatorBackgroundImage() { return {}; }

int32_t Lumora_PainterImplementation::keyboardScrollBarHeight() { return 15; }

// The command-button colours and every drawing below are the default look's, drawn with the
// default style kit; until a theme supplies them they answer none and draw nothing.
std::optional<Color> Lumora_PainterImplementation::commandButton_foregroundColorWithState(Lumora_CmndButton*, uint64_t)
{
    return std::nullopt;
}

std::optional<Color> Lumora_PainterImplementation::commandButton_backgroundColorWithState(Lumora_CmndButton*, uint64_t)
{
    return std::nullopt;
}

#define LUMORA_DEFINE_ICON(name) \
    void Lumora_PainterImplementation::drawIcon##name##WithFrame(Rect const&, Color const&, bool) {}
LUMORA_PAINTER_COMMAND_ICONS(LUMORA_DEFINE_ICON)
#undef LUMORA_DEFINE_ICON

void Lumora_PainterImplementation::drawIconAltWithFrame(Rect const&, Color const&, bool, bool) {}
void Lumora_PainterImplementation::drawKnobWithFrame(Rect const&, float, bool, bool, int32_t) {}
void Lumora_PainterImplementation::drawSliderWithFrame(Rect const&, float, bool, bool, int32_t) {}
void Lumora_PainterImplementation::drawSwitchWithFrame(Rect const&, bool, bool, bool, int32_t) {}
void Lumora_PainterImplementation::drawSwitchSelectorWithFrame(Rect const&, int32_t, bool, bool, int32_t) {}
void Lumora_PainterImplementation::drawLampWithFrame(Rect const&, float, int32_t) {}
void Lumora_PainterImplementation::drawButtonWithFrame(Rect const&, bool, bool, bool, int32_t) {}
void Lumora_PainterImplementation::drawSideEdgeButtonWithFrame(Rect const&, bool) {}
void Lumora_PainterImplementation::drawImageWithFrame(Rect const&, int32_t, bool, bool, bool, int32_t, int32_t) {}
void Lumora_PainterImplementation::drawStepButtonWithFrame(Rect const&, bool, bool, bool, bool, int32_t) {}
void Lumora_PainterImplementation::drawArpPgSliderWithValue(float, float, bool) {}
void Lumora_PainterImplementation::drawKeyWhiteWithFrame(Rect const&, bool, bool) {}
void Lumora_PainterImplementation::drawKeyBlackWithFrame(Rect const&, bool, bool) {}
void Lumora_PainterImplementation::drawControlStatusWithFrame(Rect const&, bool, int32_t, int32_t, int32_t, bool, bool) {}
void Lumora_PainterImplementation::drawShaperWithFrame(Rect const&, bool, double, double, double) {}
void Lumora_PainterImplementation::drawIntShaperWithFrame(Rect const&, bool, double, double, double, double) {}
