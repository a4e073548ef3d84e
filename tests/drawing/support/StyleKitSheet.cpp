#include "drawing/support/StyleKitSheet.h"

#include "drawing/Lumora_StyleKit.h"
#include "drawing/StyleKit.h"
#include "platform/graphics/GraphicsContext.h"

namespace StyleKitTesting {

using K = Lumora_StyleKit;

std::vector<IconEntry> const& allIcons()
{
    static std::vector<IconEntry> const icons = {
        {"NewFile", K::drawIconNewFileWithFrame},
        {"SaveFile", K::drawIconSaveFileWithFrame},
        {"NewFolder", K::drawIconNewFolderWithFrame},
        {"Rename", K::drawIconRenameWithFrame},
        {"GoBack", K::drawIconGoBackWithFrame},
        {"GoForward", K::drawIconGoForwardWithFrame},
        {"Settings", K::drawIconSettingsWithFrame},
        {"MIDI", [](Rect const& f, Color const& c, bool p) { K::drawIconMIDIWithFrame(f, c, false, p); }},
        {"Arpeggio", K::drawIconArpeggioWithFrame},
        {"Close", K::drawIconCloseWithFrame},
        {"Tempo", K::drawIconTempoWithFrame},
        {"Send", K::drawIconSendWithFrame},
        {"Delete", K::drawIconDeleteWithFrame},
        {"Alt", [](Rect const& f, Color const& c, bool p) { K::drawIconAltWithFrame(f, c, false, p); }},
        {"Home", K::drawIconHomeWithFrame},
        {"Tune", K::drawIconTuneWithFrame},
        {"Copy", K::drawIconCopyWithFrame},
        {"Paste", K::drawIconPasteWithFrame},
        {"Recall", K::drawIconRecallWithFrame},
        {"Shaper", K::drawIconShaperWithFrame},
        {"SoundOff", K::drawIconSoundOffWithFrame},
        {"SoundOn", K::drawIconSoundOnWithFrame},
        {"Duplicate", K::drawIconDuplicateWithFrame},
        {"Move", K::drawIconMoveWithFrame},
        {"CommonParam", K::drawIconCommonParamWithFrame},
    };
    return icons;
}

void drawSheet()
{
    Platform::GraphicsContext* context = Platform::GraphicsContext::current();
    Color::whiteColor().setFill();
    context->fillRect(Rect(0, 0, sheetWidth, sheetHeight));

    // Knobs: plain values, bipolar values, disabled.
    double const values[] = {0, 0.25, 0.5, 0.75, 1};
    double x = 10;
    for (double v : values) {
        K::drawKnobWithFrame(Rect(x, 10, 100, 100), K::baseColor_(), K::topColor_(), K::markColor_(), v, false, false);
        K::drawKnobWithFrame(Rect(x, 120, 100, 100), K::baseColor_(), K::topColor_(), K::markColor_(), v, false, true);
        x += 110;
    }
    K::drawKnobWithFrame(Rect(x, 10, 100, 100), K::baseColor_(), K::topColor_(), K::markColor_(), 0.6, true, false);
    K::drawKnobWithFrame(Rect(x, 120, 200, 100), K::baseColor_(), K::topColor_(), K::markColor_(), 0.3, false, false);

    // Sliders.
    x = 10;
    for (double v : values) {
        K::drawSliderWithFrame(Rect(x, 230, 50, 200), K::baseColor_(), K::topColor_(), K::topFrameColor_(),
                               K::guageTopColor_(), v, false);
        K::drawSliderWithFrame(Rect(x + 55, 230, 50, 200), K::baseColor_(), K::topColor_(), K::topFrameColor_(),
                               K::guageTopColor_(), v, true);
        x += 110;
    }

    // Switches and buttons, every state.
    double y = 230;
    x = 570;
    for (int state = 0; state < 4; ++state) {
        bool const selected = state & 1, pressed = state & 2;
        K::drawPushSwitchWithFrame(Rect(x, y, 150, 60), K::topColor_(), K::topColor_pressed_(), K::lampColor_on_(),
                                   K::lampColor_off_(), selected, pressed);
        K::drawButtonWithFrame(Rect(x + 160, y, 150, 60), K::topColor_(), K::topColor_pressed_(),
                               K::topColor_selected_(), selected, pressed);
        y += 65;
    }
    // Lamps.
    x = 900;
    for (double v : values) {
        K::drawLampWithFrame(Rect(x, 230, 40, 40), v);
        x += 45;
    }
    // Side-edge buttons.
    K::drawSideEdgeButtonWithFrame(Rect(1130, 230, 60, 200), false);
    K::drawSideEdgeButtonWithFrame(Rect(1200, 230, 60, 200), true);

    // Keys: white and black, plain, pressed, held, held low.
    x = 10;
    y = 450;
    for (int state = 0; state < 4; ++state) {
        bool const pressed = state & 1, held = state & 2;
        K::drawKeyWhiteWithFrame(Rect(x, y, 40, 150), 5, pressed, held, false);
        K::drawKeyBlackWithFrame(Rect(x + 45, y, 26, 100), 4, pressed, held, state == 3);
        x += 80;
    }
    // MIDI-learn overlays.
    x = 340;
    struct Status {
        char const* title;
        bool selected, pressed;
    };
    Status const statuses[] = {{"", false, false}, {"", true, false}, {"", false, true}, {"CC:7", true, true},
                               {"CC:74", false, false}};
    for (Status const& s : statuses) {
        Color(0.85, 0.85, 0.85).setFill();
        context->fillRect(Rect(x, y, 90, 90));
        K::drawControlStatusWithFrame(Rect(x, y, 90, 90), s.title, s.selected, s.pressed);
        x += 100;
    }
    // Step program faders and step buttons.
    x = 850;
    double const positions[] = {0, 2, 5};
    for (double s : positions) {
        context->saveGState();
        context->translate(x, y);
        K::drawArpPgSliderWithBaseColor(K::baseColor_(), K::baseColor_disabled_(), K::topColor_(),
                                        K::topColor_selected_(), K::labelColor_(), K::labelColor_selected_(),
                                        K::lampColor_on_(), K::lampColor_off_(), K::markColor_(),
                                        K::markColor_disabled_(), s / 5, s, s == 5);
        context->restoreGState();
        x += 40;
    }
    x = 980;
    for (int state = 0; state < 5; ++state) {
        K::drawStepButtonWithFrame(Rect(x, y, 60, 60), K::baseColor_(), K::baseColor_pressed_(), K::topColor_(),
                                   K::topColor_pressed_(), K::lampColor_on_(), K::lampColor_lighted_(), state == 1,
                                   state == 2, state == 3, state == 4);
        x += 65;
    }
    // Fader marks at their canvas size.
    context->saveGState();
    context->translate(1290, 230);
    K::drawArpPgSdMarkWithTopColor(K::topColor_(), K::topColor_selected_(), K::labelColor_(), K::labelColor_selected_(),
                                   true, "5");
    context->translate(0, 110);
    K::drawArpPgSdMarkWithTopColor(K::topColor_(), K::topColor_selected_(), K::labelColor_(), K::labelColor_selected_(),
                                   false, "2");
    context->restoreGState();

    // Shaper graphs.
    y = 620;
    K::drawShaperWithFrame(Rect(10, y, 340, 115), false, 0, 0.5, 1);
    K::drawShaperWithFrame(Rect(360, y, 340, 115), true, 0.2, 0.9, 0.4);
    K::drawIntShaperWithFrame(Rect(710, y, 340, 115), false, 0.1, 0.8, 0.25, 0.75);
    K::drawIntShaperWithFrame(Rect(1060, y, 340, 115), true, 1, 0, 0, 1);

    // Icons: plain, pressed, and in a wide frame; MIDI and Alt selected shapes at the end.
    y = 750;
    x = 10;
    int column = 0;
    for (IconEntry const& icon : allIcons()) {
        icon.draw(Rect(x, y, 50, 50), Color::blackColor(), false);
        icon.draw(Rect(x, y + 55, 50, 50), Color::blackColor(), true);
        icon.draw(Rect(x, y + 110, 50, 25), Color(0, 0.3, 0.8), false);
        x += 55;
        if (++column == 25)
            break;
    }
    y = 900;
    K::drawIconMIDIWithFrame(Rect(10, y, 100, 100), Color::blackColor(), true, false);
    K::drawIconMIDIWithFrame(Rect(120, y, 100, 100), Color::blackColor(), false, true);
    K::drawIconAltWithFrame(Rect(230, y, 100, 100), Color::blackColor(), true, false);
    K::drawIconAltWithFrame(Rect(340, y, 100, 100), Color::blackColor(), true, true);
    context->saveGState();
    context->translate(450, y);
    K::draw_iconMoveCanvas();
    context->restoreGState();
    x = 530;
    for (IconEntry const& icon : allIcons()) {
        if (x + 100 > sheetWidth) {
            x = 10;
            y += 110;
        }
        icon.draw(Rect(x, y, 100, 100), Color::blackColor(), false);
        x += 110;
        if (y > 1010 && x > 1300)
            break;
    }

    // The product kit on its dark background.
    y = 1250;
    StyleKit::backgroundColor().setFill();
    context->fillRect(Rect(0, y - 10, sheetWidth, sheetHeight - y + 10));
    x = 10;
    for (double variation : {0.0, 1.0, 2.0}) {
        for (double v : {0.0, 0.5, 1.0}) {
            StyleKit::drawKnobWithFrame(Rect(x, y, 70, 70), v, false, false, variation);
            x += 75;
        }
    }
    StyleKit::drawKnobWithFrame(Rect(x, y, 70, 70), 0.25, false, true, 0);
    StyleKit::drawKnobWithFrame(Rect(x + 75, y, 70, 70), 0.75, false, true, 0);
    StyleKit::drawKnobWithFrame(Rect(x + 150, y, 70, 70), 0.7, true, false, 0);
    x = 10;
    y += 85;
    for (int state = 0; state < 3; ++state) {
        StyleKit::drawDefaultButtonWithFrame(Rect(x, y, 150, 60), state == 1, state == 2);
        StyleKit::drawLedButtonWithFrame(Rect(x, y + 70, 150, 60), state == 1, state == 2);
        x += 160;
    }
    for (double selector : {0.0, 1.0, 2.0}) {
        StyleKit::drawSelectorButtonWithFrame(Rect(x, y, 150, 60), false, selector);
        x += 160;
    }
    x = 980;
    for (int state = 0; state < 5; ++state) {
        StyleKit::drawStepButtonWithFrame(Rect(x, y + 70, 60, 60), state == 1, state == 2, state == 3, state == 4);
        x += 65;
    }
    x = 980;
    for (double s : {0.0, 2.0, 5.0}) {
        context->saveGState();
        context->translate(x + 280, y - 85);
        StyleKit::drawArpPgSliderWithValue(s / 5, s, s == 5);
        context->restoreGState();
        x += 40;
    }
    for (double v : {0.0, 0.5, 1.0}) {
        StyleKit::drawLampWithFrame(Rect(x - 120 + v * 90, y, 40, 40), v);
    }
}

} // namespace StyleKitTesting
