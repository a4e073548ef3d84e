#include "platform/midi/JackMidiSources.h"

#include <algorithm>

#include <jack/jack.h>

#include "platform/audio/JackDriver.h"
#include "platform/foundation/RunLoop.h"

namespace Platform {

JackMidiSources::JackMidiSources(JackDriver& driver)
    : driver_(driver), published_([&driver] { driver.releaseAllNotes(); }) {
    std::weak_ptr<bool> alive = alive_;
    driver_.setPortsChangedHandler([this, alive] {
        RunLoop::main().post([this, alive] {
            if (alive.lock()) refresh();
        });
    });
    refresh();
}

JackMidiSources::~JackMidiSources() {
    driver_.setPortsChangedHandler(nullptr);
    alive_.reset();
}

void JackMidiSources::refresh() {
    const std::string own = driver_.clientName() + ":";
    std::vector<std::string> present;
    if (driver_.isOpen()) {
        for (auto& name : driver_.ports(true, JackPortIsOutput))
            if (name.compare(0, own.size(), own) != 0) present.push_back(std::move(name));
    }
    published_.removeLeft([&](const RoutedMidiSource& source) {
        return std::find(present.begin(), present.end(), source.portName()) != present.end();
    });
    published_.routeAll();
    for (const auto& name : present) {
        if (!published_.contains(name)) published_.publish(JackMidiSource::create(driver_, name));
    }
}

std::vector<std::string> JackMidiSources::portNames() const { return published_.portNames(); }

std::shared_ptr<JackMidiSource> JackMidiSources::source(const std::string& portName) const {
    return std::static_pointer_cast<JackMidiSource>(published_.find(portName));
}

} // namespace Platform
