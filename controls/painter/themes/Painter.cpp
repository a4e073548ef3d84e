#include "controls/painter/themes/Painter.h"

#include "controls/button/Lumora_CmndButton.h"
#include "controls/categories/UIColor_Lumora.h"
#include "controls/painter/Lumora_Painter.h"
#include "drawing/StyleKit.h"
#include "model/core/ScreenServices.h"
#include "model/framework/Shared_Information.h"
#include "platform/ui/ImageNamed.h"

using Platform::Color;
using Platform::Rect;

namespace {

constexpr Color productDarkRed(0.68359375, 0.09375, 0.11328125, 1);
constexpr Color commonParmTextColor(0.85, 0.7, 0.7, 1);

// Looked up anew on each request, so that a bundle folder chosen after start is followed; a
// missing image is a null one.
Platform::Image frameworkImage(char const* name)
{
    auto bundle = Shared_Information::frameworkBundle();
    return Platform::imageNamed(name, bundle.get());
}

} // namespace

void Painter::registerThemeInstaller()
{
    Lumora::ScreenServices::setThemeInstaller([](std::shared_ptr<Lumora_Core> const& core) {
        Lumora_Painter::setImplimatation(std::make_shared<Painter>(core));
    });
}

std::optional<Color> Painter::containerBackgroundColor() { return productDarkRed; }
std::optional<Color> Painter::labelTextColor() { return Color::whiteColor(); }
std::optional<Color> Painter::headerColor() { return Color::blackColor(); }
std::optional<Color> Painter::soundPresetButtonBackgroundColor() { return Color(0.36, 0.36, 0.38, 1); }
std::optional<Color> Painter::commonParmBackgroundColor() { return Color(0.1921569, 0, 0.0039216, 1); }
std::optional<Color> Painter::commonParmLabelColor() { return commonParmTextColor; }
std::optional<Color> Painter::commonParmButtonTextColor() { return commonParmTextColor; }
std::optional<Color> Painter::arpeggiatorContainerHeaderColor() { return Color(0.515625, 0.5, 0.5, 1); }

Platform::Image Painter::headerTitleImage() { return frameworkImage("headerTitle"); }
Platform::Image Painter::commonParmBackgroundImage() { return frameworkImage("commonParam_background"); }
Platform::Image Painter::arpeggiatorBackgroundImage() { return frameworkImage("arpeggiator_background"); }

// Buttons of variation 0 keep the default look; the others are drawn in greys on the dark
// surfaces, with the interface's red and orange for a selection.
std::optional<Color> Painter::commandButton_foregroundColorWithState(Lumora_CmndButton* commandButton,
                                                                     uint64_t state)
{
    if (!commandButton || commandButton->variation() == 0)
        return Lumora_PainterImplementation::commandButton_foregroundColorWithState(commandButton, state);
    bool const highlighted = state & Platform::ControlState::Highlighted;
    bool const selected = state & Platform::ControlState::Selected;
    if (state & Platform::ControlState::Disabled)
        return selected ? UIColor_Lumora::lumoraLightGrayColor() : UIColor_Lumora::lumoraDarkGrayColor();
    if (selected && !commandButton->isAltButton())
        return highlighted ? UIColor_Lumora::lumoraOrangeColor() : UIColor_Lumora::lumoraRedColor();
    return highlighted ? Color::darkGrayColor() : Color::lightGrayColor();
}

void Painter::drawKnobWithFrame(Rect const& frame, float value, bool disabled, bool isBipole, int32_t variation)
{
    StyleKit::drawKnobWithFrame(frame, value, disabled, isBipole, variation);
}

void Painter::drawSwitchWithFrame(Rect const& frame, bool selected, bool pressed, bool, int32_t)
{
    StyleKit::drawLedButtonWithFrame(frame, selected, pressed);
}

void Painter::drawSwitchSelectorWithFrame(Rect const& frame, int32_t value, bool pressed, bool, int32_t)
{
    StyleKit::drawSelectorButtonWithFrame(frame, pressed, value);
}

void Painter::drawLampWithFrame(Rect const& frame, float value, int32_t)
{
    StyleKit::drawLampWithFrame(frame, value);
}

void Painter::drawButtonWithFrame(Rect const& frame, bool selected, bool pressed, bool, int32_t)
{
    StyleKit::drawDefaultButtonWithFrame(frame, selected, pressed);
}

void Painter::drawStepButtonWithFrame(Rect const& frame, bool selected, bool pressed, bool lighted, bool disabled,
                                      int32_t)
{
    StyleKit::drawStepButtonWithFrame(frame, selected, pressed, lighted, disabled);
}

void Painter::drawArpPgSliderWithValue(float value, float switchPos, bool disabled)
{
    StyleKit::drawArpPgSliderWithValue(value, switchPos, disabled);
}
