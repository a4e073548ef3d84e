#pragma once

// What the settings screen asks the model's main screen to choose its default panels: whether
// the main screen has knobs (the knob-mode panel) and a keyboard (the keyboard panels). The main
// screen class adopts it; a model without a main screen, or with one that does not adopt it,
// shows neither kind of panel.
class Lumora_SettingsMainScreenInfo {
public:
    virtual ~Lumora_SettingsMainScreenInfo() = default;
    virtual bool hasKnob() const = 0;
    virtual bool hasKeyboard() const = 0;
};
