#pragma once

#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"

#include <string>

// The library's default style kit: stateless drawing routines for the controls, the command
// icons and the pressed plate, painting into the current graphics context, on a fixed palette of
// sixteen colours. A class of class methods only; nothing is ever instantiated.
//
// Routines come in two forms. A symbol routine draws its figure on a fixed canvas with its corner
// at (0, 0), and its frame routine maps that canvas onto a frame (clip, move, stretch). A
// frame-relative routine computes every point from the frame and draws in the caller's
// coordinates, leaving the fill and stroke colours it set last.
class Lumora_StyleKit {
public:
    using Color = Platform::Color;
    using Rect = Platform::Rect;

    Lumora_StyleKit() = delete;

    // Creates the palette; runs once, before the first use of any getter.
    static void initialize();

    // The palette. Each getter answers the same colour object on every call; colours with equal
    // components are still distinct objects.
    static Color const& baseColor_();
    static Color const& baseColor_pressed_();
    static Color const& baseColor_disabled_();
    static Color const& topColor_();
    static Color const& topColor_pressed_();
    static Color const& topColor_selected_();
    static Color const& topFrameColor_();
    static Color const& labelColor_();
    static Color const& labelColor_selected_();
    static Color const& markColor_();
    static Color const& markColor_disabled_();
    static Color const& lampColor_on_();
    static Color const& lampColor_off_();
    static Color const& lampColor_lighted_();
    static Color const& gaugeBaseColor_();
    static Color const& guageTopColor_();

    // The light grey plate behind a pressed command icon, on a 60 x 60 canvas.
    static void drawIconPressed();

    // Rotary knob, canvas 100 x 100.
    static void drawKnobSymbolWithBaseColor(Color const& baseColor, Color const& topColor, Color const& markColor,
                                            double value, bool disabled, bool isBipole);
    static void drawKnobWithFrame(Rect const& frame, Color const& baseColor, Color const& topColor,
                                  Color const& markColor, double value, bool disabled, bool isBipole);

    // Vertical slider, canvas 50 x 200; the symbol lays the slider out in the container rectangle.
    static void drawSliderSymbolWithBaseColor(Color const& baseColor, Color const& topColor,
                                              Color const& topFrameColor, Color const& guageTopColor,
                                              double value, bool isBipole, Rect const& sliderContainerRect);
    static void drawSliderWithFrame(Rect const& frame, Color const& baseColor, Color const& topColor,
                                    Color const& topFrameColor, Color const& guageTopColor, double value,
                                    bool isBipole);

    // Push switch with its lamp, canvas 150 x 60.
    static void drawPushSwitchSymbolWithTopColor(Color const& topColor, Color const& topColor_pressed,
                                                 Color const& lampColor_on, Color const& lampColor_off,
                                                 bool selected, bool pressed);
    static void drawPushSwitchWithFrame(Rect const& frame, Color const& topColor, Color const& topColor_pressed,
                                        Color const& lampColor_on, Color const& lampColor_off, bool selected,
                                        bool pressed);

    // Button, canvas 150 x 60.
    static void drawButtonSymbolWithTopColor(Color const& topColor, Color const& topColor_pressed,
                                             Color const& topColor_selected, bool selected, bool pressed);
    static void drawButtonWithFrame(Rect const& frame, Color const& topColor, Color const& topColor_pressed,
                                    Color const& topColor_selected, bool selected, bool pressed);

    // Lamp, canvas 100 x 100: brightness by value.
    static void drawLampSymbolWithValue(double value);
    static void drawLampWithFrame(Rect const& frame, double value);

    // Piano keys, frame-relative.
    static void drawKeyBlackWithFrame(Rect const& frame, double keyboardRadius, bool pressed, bool held,
                                      bool heldLowPos);
    static void drawKeyWhiteWithFrame(Rect const& frame, double keyboardRadius, bool pressed, bool held,
                                      bool heldLowPos);

    // The MIDI-learn overlay of a control, frame-relative.
    static void drawControlStatusWithFrame(Rect const& frame, std::string const& title, bool selected, bool pressed);

    // Side-edge tab button, canvas 60 x 200.
    static void drawSideEdgeButtonSymbolWithPressed(bool pressed);
    static void drawSideEdgeButtonWithFrame(Rect const& frame, bool pressed);

    // A numbered mark of the step program fader, canvas 100 x 100 (no frame routine).
    static void drawArpPgSdMarkWithTopColor(Color const& topColor, Color const& topColor_selected,
                                            Color const& labelColor, Color const& labelColor_selected,
                                            bool selected, std::string const& arpPgFdMrkTxt);

    // The arpeggiator's step program fader, in the caller's coordinates (about 32 x 130).
    static void drawArpPgSliderWithBaseColor(Color const& baseColor, Color const& baseColor_disabled,
                                             Color const& topColor, Color const& topColor_selected,
                                             Color const& labelColor, Color const& labelColor_selected,
                                             Color const& lampColor_on, Color const& lampColor_off,
                                             Color const& markColor, Color const& markColor_disabled, double value,
                                             double switchPos, bool disabled);

    // The arpeggiator's step button, frame-relative.
    static void drawStepButtonWithFrame(Rect const& frame, Color const& baseColor, Color const& baseColor_pressed,
                                        Color const& topColor, Color const& topColor_pressed,
                                        Color const& lampColor_on, Color const& lampColor_lighted, bool selected,
                                        bool pressed, bool lighted, bool disabled);

    // Response graph of a MIDI mapping with three outputs, canvas 340 x 115.
    static void drawShaperSymbolWithDisabled(bool disabled, double shaper_lo, double shaper_mid, double shaper_hi);
    static void drawShaperWithFrame(Rect const& frame, bool disabled, double shaper_lo, double shaper_mid,
                                    double shaper_hi);

    // Response graph of an integer parameter's mapping with its range, canvas 340 x 115.
    static void drawIntShaperSymbolWithDisabled(bool disabled, double shaper_lo, double shaper_hi,
                                                double shaper_min, double shaper_max);
    static void drawIntShaperWithFrame(Rect const& frame, bool disabled, double shaper_lo, double shaper_hi,
                                       double shaper_min, double shaper_max);

    // Command icons, frame-relative, in one colour; pressed lays the plate under the figure.
    static void drawIconNewFileWithFrame(Rect const& frame, Color const& foreground, bool pressed);
    static void drawIconSaveFileWithFrame(Rect const& frame, Color const& foreground, bool pressed);
    static void drawIconNewFolderWithFrame(Rect const& frame, Color const& foreground, bool pressed);
    static void drawIconRenameWithFrame(Rect const& frame, Color const& foreground, bool pressed);
    static void drawIconGoBackWithFrame(Rect const& frame, Color const& foreground, bool pressed);
    static void drawIconGoForwardWithFrame(Rect const& frame, Color const& foreground, bool pressed);
    static void drawIconSettingsWithFrame(Rect const& frame, Color const& foreground, bool pressed);
    static void drawIconMIDIWithFrame(Rect const& frame, Color const& foreground, bool selected, bool pressed);
    static void drawIconArpeggioWithFrame(Rect const& frame, Color const& foreground, bool pressed);
    static void drawIconCloseWithFrame(Rect const& frame, Color const& foreground, bool pressed);
    static void drawIconTempoWithFrame(Rect const& frame, Color const& foreground, bool pressed);
    static void drawIconSendWithFrame(Rect const& frame, Color const& foreground, bool pressed);
    static void drawIconDeleteWithFrame(Rect const& frame, Color const& foreground, bool pressed);
    static void drawIconAltWithFrame(Rect const& frame, Color const& foreground, bool selected, bool pressed);
    static void drawIconHomeWithFrame(Rect const& frame, Color const& foreground, bool pressed);
    static void drawIconTuneWithFrame(Rect const& frame, Color const& foreground, bool pressed);
    static void drawIconCopyWithFrame(Rect const& frame, Color const& foreground, bool pressed);
    static void drawIconPasteWithFrame(Rect const& frame, Color const& foreground, bool pressed);
    static void drawIconRecallWithFrame(Rect const& frame, Color const& foreground, bool pressed);
    static void drawIconShaperWithFrame(Rect const& frame, Color const& foreground, bool pressed);
    static void drawIconSoundOffWithFrame(Rect const& frame, Color const& foreground, bool pressed);
    static void drawIconSoundOnWithFrame(Rect const& frame, Color const& foreground, bool pressed);
    static void drawIconDuplicateWithFrame(Rect const& frame, Color const& foreground, bool pressed);
    static void drawIconMoveWithFrame(Rect const& frame, Color const& foreground, bool pressed);
    static void drawIconCommonParamWithFrame(Rect const& frame, Color const& foreground, bool pressed);

    // The Move icon's figure at fixed canvas coordinates (the square at (1, 1) of side 57), in blue,
    // without plate, clip or transformation.
    static void draw_iconMoveCanvas();
};
