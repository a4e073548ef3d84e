#pragma once

#include <string>

#include "platform/audiobus/AudiobusTypes.h"
#include "platform/foundation/Object.h"

namespace Platform::Audiobus {

// A port the app offers to Audiobus sessions: a name (unique within the app), a title that users
// see, the audio component it stands for and the app's output unit whose audio it carries. The
// unit is only referred to, never driven: audio stays in the process.
class Port : public Object {
public:
    // False for an empty name.
    bool initWithName(std::string name, std::string title, ComponentDescription const& description,
                      OutputUnit* audioUnit);

    std::string const& name() const { return name_; }
    std::string const& title() const { return title_; }
    ComponentDescription const& audioComponentDescription() const { return description_; }
    OutputUnit* audioUnit() const { return audioUnit_; }

protected:
    Port() = default;

private:
    std::string name_;
    std::string title_;
    ComponentDescription description_;
    OutputUnit* audioUnit_ = nullptr;
};

// Sends the app's audio into a session (generators and instruments).
class AudioSenderPort : public Port {
public:
    AudioSenderPort() = default;
};

// Takes audio from a session, processes it and sends it on (effects).
class AudioFilterPort : public Port {
public:
    AudioFilterPort() = default;
};

} // namespace Platform::Audiobus
