#pragma once

// A theme for the tests of lamps and buttons: it draws lamps, buttons, the side-edge tab and
// the command icons with the default style kit, answers the command-button colours of the
// default look, and records every request it gets as one line of text.

#include "controls/button/Lumora_CmndButton.h"
#include "controls/categories/UIColor_Lumora.h"
#include "controls/painter/Lumora_Painter.h"
#include "drawing/Lumora_StyleKit.h"

#include <memory>
#include <string>
#include <vector>

namespace LampsTesting {

// The kit's icons, all with (frame, foreground, pressed): the MIDI icon of the kit takes a
// selected flag too, which the default look never sets.
struct Kit : Lumora_StyleKit {
    using Lumora_StyleKit::drawIconMIDIWithFrame;
    static void drawIconMIDIWithFrame(Platform::Rect const& f, Platform::Color const& c, bool pressed)
    {
        Lumora_StyleKit::drawIconMIDIWithFrame(f, c, false, pressed);
    }
};

class StyleKitRecordingTheme : public Lumora_PainterImplementation {
public:
    std::vector<std::string> log;

    std::optional<Color> commandButton_foregroundColorWithState(Lumora_CmndButton* button, uint64_t state) override
    {
        bool const highlighted = state & 1, disabled = state & 2, selected = state & 4;
        bool const alt = button && button->imageName() && *button->imageName() == "Alt";
        if (disabled)
            return selected ? UIColor_Lumora::lumoraUltraLightGrayColor() : UIColor_Lumora::lumoraLightGrayColor();
        if (selected && !alt)
            return highlighted ? UIColor_Lumora::lumoraOrangeColor() : UIColor_Lumora::lumoraRedColor();
        return highlighted ? UIColor_Lumora::lumoraUltraLightGrayColor() : UIColor_Lumora::lumoraDarkBlueColor();
    }

#define LAMPS_TESTING_ICON(name)                                                                   \
    void drawIcon##name##WithFrame(Rect const& frame, Color const& foreground, bool pressed) override \
    {                                                                                              \
        log.push_back(std::string(#name) + (pressed ? " pressed" : ""));                           \
        Kit::drawIcon##name##WithFrame(frame, foreground, pressed);                                \
    }
    LUMORA_PAINTER_COMMAND_ICONS(LAMPS_TESTING_ICON)
#undef LAMPS_TESTING_ICON

    void drawIconAltWithFrame(Rect const& frame, Color const& foreground, bool selected, bool pressed) override
    {
        log.push_back(std::string("Alt") + (selected ? " selected" : "") + (pressed ? " pressed" : ""));
        Lumora_StyleKit::drawIconAltWithFrame(frame, foreground, selected, pressed);
    }

    void drawLampWithFrame(Rect const& frame, float value, int32_t variation) override
    {
        log.push_back("lamp " + std::to_string(value) + " " + std::to_string(variation));
        Lumora_StyleKit::drawLampWithFrame(frame, value);
    }

    void drawButtonWithFrame(Rect const& frame, bool selected, bool pressed, bool disabled, int32_t variation) override
    {
        log.push_back(std::string("button") + (selected ? " selected" : "") + (pressed ? " pressed" : "")
                      + (disabled ? " disabled" : "") + " " + std::to_string(variation));
        Lumora_StyleKit::drawButtonWithFrame(frame, Lumora_StyleKit::topColor_(), Lumora_StyleKit::topColor_pressed_(),
                                             Lumora_StyleKit::topColor_selected_(), selected, pressed);
    }

    void drawSideEdgeButtonWithFrame(Rect const& frame, bool pressed) override
    {
        log.push_back(std::string("side edge") + (pressed ? " pressed" : ""));
        Lumora_StyleKit::drawSideEdgeButtonWithFrame(frame, pressed);
    }

};

// Installs the theme in the painter for the life of the object, and the previous one after.
class ScopedTheme {
public:
    ScopedTheme() : previous_(Lumora_Painter::sharedInstance()->impl())
    {
        Lumora_Painter::sharedInstance()->setImpl(theme);
    }
    ~ScopedTheme() { Lumora_Painter::sharedInstance()->setImpl(previous_); }
    ScopedTheme(ScopedTheme const&) = delete;
    ScopedTheme& operator=(ScopedTheme const&) = delete;

    std::shared_ptr<StyleKitRecordingTheme> const theme = std::make_shared<StyleKitRecordingTheme>();

private:
    std::shared_ptr<Lumora_PainterImplementation> previous_;
};

} // namespace LampsTesting
