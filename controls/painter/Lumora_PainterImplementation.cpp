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

// The command-button colours, the command icons and every drawing are the default style kit's
// look; they are defined with the themes, in controls/painter/themes/.
