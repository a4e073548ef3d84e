#pragma once

#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"

#include <string>

// The product's own style kit: dark reds, warm greys and an orange-yellow light. Class methods
// only, drawing into the current graphics context in the forms of the default kit; unlike that
// kit its routines take no colour arguments, every colour is fixed in the routine.
class StyleKit {
public:
    using Color = Platform::Color;
    using Rect = Platform::Rect;

    StyleKit() = delete;

    // Creates the palette; runs once, before the first use of any getter.
    static void initialize();
    // The kit's three palette colours; no drawing routine reads them.
    static Color const& backgroundColor();
    static Color const& displayBoxColor();
    static Color const& switchTopColor();

    // Knob, canvas 50 x 50: a dashed ring whose dash length sets the arc, a centre disc that grows
    // with the value, colours by variation (0 red, 1 warm grey, any other gold).
    static void drawKnobWithFrame(Rect const& frame, double value, bool disabled, bool isBipole, double variation);
    static void drawKnobSymbolWithValue(double value, bool disabled, bool isBipole, double knobDashMax,
                                        double variation);

    // Buttons, frame-relative: plain, with a sliding light, and the switch selector's with a
    // three-colour light.
    static void drawDefaultButtonWithFrame(Rect const& frame, bool selected, bool pressed);
    static void drawLedButtonWithFrame(Rect const& frame, bool selected, bool pressed);
    static void drawSelectorButtonWithFrame(Rect const& frame, bool pressed, double selector);
    static void drawStepButtonWithFrame(Rect const& frame, bool selected, bool pressed, bool lighted, bool disabled);

    // Lamp, canvas 100 x 100.
    static void drawLampWithFrame(Rect const& frame, double value);
    static void drawLampSymbolWithValue(double value);

    // The arpeggiator's step program fader in the caller's coordinates, and its marks (canvas 100 x 100).
    static void drawArpPgSliderWithValue(double value, double switchPos, bool disabled);
    static void drawArpPgSdMarkWithSelected(bool selected, std::string const& arpPgFdMrkTxt);

    // Side-edge tab button, canvas 60 x 200: the default kit's figure.
    static void drawSideEdgeButtonWithFrame(Rect const& frame, bool pressed);
    static void drawSideEdgeButtonSymbolWithPressed(bool pressed);
};
