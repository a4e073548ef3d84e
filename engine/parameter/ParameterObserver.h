#pragma once

#include <cstdint>

namespace Lumora {

class Parameter;

// Travels with every change; the plug-in turns it into the host's automation events.
enum class AutomationEventType : int32_t {
    None = 0,
    BeginGesture = 1,
    UpdateGesture = 2,
    EndGesture = 3,
    SetValue = 4,
};

class ParameterObserver {
public:
    // Who caused a change. An observer with a token of its own skips changes that carry it.
    enum class Token : int32_t {
        Mixed = 0,
        MidiMapper = 1,
        Document = 2,
        EngineReadback = 3,
        CollectionPicker = 4,
        Host = 5,
        SettingPanel = 7,
        ArpeggiatorEditor = 9,
        ViewController = 10,
        CommonParamPopup = 11,
    };

    virtual ~ParameterObserver() = default;
    // Runs on the changing thread inside the parameter's lock: queue or post, nothing more.
    virtual void didChangeParam(const Parameter* param, Token token, AutomationEventType event) = 0;
};

} // namespace Lumora
