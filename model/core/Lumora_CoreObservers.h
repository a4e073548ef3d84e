#pragma once

#include "engine/midi/MidiMessage.h"
#include "engine/parameter/ParameterObserver.h"
#include "model/settings/Lumora_Setting_Observer.h"

namespace Lumora {
class Parameter;
}

// What a screen adopts to learn from the model object (Lumora_Core) about engine state. The
// model holds its observers unretained: an observer removes itself before it goes away. All of
// these are called on the main thread.

// Parameter changes, at most one per parameter and timer tick.
class Lumora_ParamObserver {
public:
    using Token = Lumora::ParameterObserver::Token;

    virtual ~Lumora_ParamObserver() = default;
    // token is the originator of the change, or Mixed (0) when several made it within one tick.
    virtual void didChangeParam(Lumora::Parameter const* param, Token token) = 0;
    // The token this observer passes with its own changes.
    virtual Token parameterObserverToken() const = 0;

    // A change that carries this observer's own non-zero token was made by it and is not shown
    // again; a mixed change is shown by everyone.
    bool isOwnChange(Token token) const { return token != Token::Mixed && token == parameterObserverToken(); }
};

// The engine's notifications (iAudioEngine::NotificationID) with their argument.
class Lumora_AudioEngine_Observer {
public:
    virtual ~Lumora_AudioEngine_Observer() = default;
    virtual void receiveAudioEngineNotificationWithID(int id, int param) = 0;
};

// The MIDI the engine processed; the message is valid only during the call.
class Lumora_Midi_Observer {
public:
    virtual ~Lumora_Midi_Observer() = default;
    virtual void receiveMidi(Lumora::MidiMessage const* message) = 0;
};
