#include "platform/audiobus/AudiobusPort.h"

namespace Platform::Audiobus {

bool Port::initWithName(std::string name, std::string title, ComponentDescription const& description,
                        OutputUnit* audioUnit) {
    if (name.empty())
        return false;
    name_ = std::move(name);
    title_ = std::move(title);
    description_ = description;
    audioUnit_ = audioUnit;
    return true;
}

} // namespace Platform::Audiobus
