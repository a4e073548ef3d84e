#pragma once

#include "controls/painter/Lumora_PainterImplementation.h"

// The product's theme: dark red containers with white text, background images from the shared
// framework's bundle, and the product style kit for knobs, buttons, switches, selectors, lamps,
// step buttons and the step program fader. Every request it leaves alone is the default theme's,
// including the colours that theme derives from the label and container colours, which thereby
// follow this theme's.
class Painter : public Lumora_PainterImplementation {
public:
    using Lumora_PainterImplementation::Lumora_PainterImplementation;

    // Registers with the model the installer that makes this theme for the model object and
    // installs it in the painter facade; the programs call it once at start, before the model.
    static void registerThemeInstaller();

    std::optional<Color> containerBackgroundColor() override;
    std::optional<Color> labelTextColor() override;
    std::optional<Color> headerColor() override;
    std::optional<Color> soundPresetButtonBackgroundColor() override;
    std::optional<Color> commonParmBackgroundColor() override;
    std::optional<Color> commonParmLabelColor() override;
    std::optional<Color> commonParmButtonTextColor() override;
    std::optional<Color> arpeggiatorContainerHeaderColor() override;

    // Images of the shared framework's bundle; none when the bundle lacks them.
    Platform::Image headerTitleImage() override;
    Platform::Image commonParmBackgroundImage() override;
    Platform::Image arpeggiatorBackgroundImage() override;

    std::optional<Color> commandButton_foregroundColorWithState(Lumora_CmndButton* commandButton,
                                                                uint64_t state) override;

    void drawKnobWithFrame(Rect const& frame, float value, bool disabled, bool isBipole, int32_t variation) override;
    void drawSwitchWithFrame(Rect const& frame, bool selected, bool pressed, bool disabled,
                             int32_t variation) override;
    void drawSwitchSelectorWithFrame(Rect const& frame, int32_t value, bool pressed, bool disabled,
                                     int32_t variation) override;
    void drawLampWithFrame(Rect const& frame, float value, int32_t variation) override;
    void drawButtonWithFrame(Rect const& frame, bool selected, bool pressed, bool disabled,
                             int32_t variation) override;
    void drawStepButtonWithFrame(Rect const& frame, bool selected, bool pressed, bool lighted, bool disabled,
                                 int32_t variation) override;
    void drawArpPgSliderWithValue(float value, float switchPos, bool disabled) override;
};
