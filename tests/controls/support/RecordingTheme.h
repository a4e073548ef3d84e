#pragma once

// A theme for the tests of lamps and buttons: the default theme, which also records every
// lamp, button and command-icon request it gets as one line of text.

#include "controls/painter/Lumora_Painter.h"

#include <memory>
#include <string>
#include <vector>

namespace LampsTesting {

class RecordingTheme : public Lumora_PainterImplementation {
public:
    using Base = Lumora_PainterImplementation;
    std::vector<std::string> log;

#define LAMPS_TESTING_ICON(name)                                                                   \
    void drawIcon##name##WithFrame(Rect const& frame, Color const& foreground, bool pressed) override \
    {                                                                                              \
        log.push_back(std::string(#name) + (pressed ? " pressed" : ""));                           \
        Base::drawIcon##name##WithFrame(frame, foreground, pressed);                               \
    }
    LUMORA_PAINTER_COMMAND_ICONS(LAMPS_TESTING_ICON)
#undef LAMPS_TESTING_ICON

    void drawIconAltWithFrame(Rect const& frame, Color const& foreground, bool selected, bool pressed) override
    {
        log.push_back(std::string("Alt") + (selected ? " selected" : "") + (pressed ? " pressed" : ""));
        Base::drawIconAltWithFrame(frame, foreground, selected, pressed);
    }

    void drawLampWithFrame(Rect const& frame, float value, int32_t variation) override
    {
        log.push_back("lamp " + std::to_string(value) + " " + std::to_string(variation));
        Base::drawLampWithFrame(frame, value, variation);
    }

    void drawButtonWithFrame(Rect const& frame, bool selected, bool pressed, bool disabled, int32_t variation) override
    {
        log.push_back(std::string("button") + (selected ? " selected" : "") + (pressed ? " pressed" : "")
                      + (disabled ? " disabled" : "") + " " + std::to_string(variation));
        Base::drawButtonWithFrame(frame, selected, pressed, disabled, variation);
    }

    void drawSideEdgeButtonWithFrame(Rect const& frame, bool pressed) override
    {
        log.push_back(std::string("side edge") + (pressed ? " pressed" : ""));
        Base::drawSideEdgeButtonWithFrame(frame, pressed);
    }
};

// Installs a recording theme in the painter for the life of the object, and the previous one
// after.
class ScopedTheme {
public:
    ScopedTheme() : previous_(Lumora_Painter::sharedInstance()->impl())
    {
        Lumora_Painter::sharedInstance()->setImpl(theme);
    }
    ~ScopedTheme() { Lumora_Painter::sharedInstance()->setImpl(previous_); }
    ScopedTheme(ScopedTheme const&) = delete;
    ScopedTheme& operator=(ScopedTheme const&) = delete;

    std::shared_ptr<RecordingTheme> const theme = std::make_shared<RecordingTheme>();

private:
    std::shared_ptr<Lumora_PainterImplementation> previous_;
};

} // namespace LampsTesting
