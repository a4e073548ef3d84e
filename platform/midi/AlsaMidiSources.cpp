#include "platform/midi/AlsaMidiSources.h"

#include <algorithm>

#include "platform/audio/AlsaDriver.h"
#include "platform/foundation/RunLoop.h"

namespace Platform {

AlsaMidiSources::AlsaMidiSources(AlsaSequencer& sequencer, AlsaDriver& driver)
    : sequencer_(sequencer), published_([&driver] { driver.releaseAllNotes(); }) {
    std::weak_ptr<bool> alive = alive_;
    sequencer_.setPortsChangedHandler([this, alive] {
        RunLoop::main().post([this, alive] {
            if (alive.lock()) refresh();
        });
    });
    refresh();
}

AlsaMidiSources::~AlsaMidiSources() {
    sequencer_.setPortsChangedHandler(nullptr);
    alive_.reset();
}

void AlsaMidiSources::refresh() {
    const std::vector<AlsaSequencer::SourcePort> present = sequencer_.sources();
    // A port that came back under another address (a device plugged in again) is a new source
    // object under the same name, and so the same id.
    published_.removeLeft([&](const RoutedMidiSource& source) {
        const auto address = static_cast<const AlsaMidiSource&>(source).address();
        return std::any_of(present.begin(), present.end(), [&](const auto& port) {
            return port.name == source.portName() && port.address == address;
        });
    });
    for (const auto& port : present) {
        if (!published_.contains(port.name)) published_.publish(AlsaMidiSource::create(sequencer_, port));
    }
}

std::vector<std::string> AlsaMidiSources::portNames() const { return published_.portNames(); }

std::shared_ptr<AlsaMidiSource> AlsaMidiSources::source(const std::string& portName) const {
    return std::static_pointer_cast<AlsaMidiSource>(published_.find(portName));
}

} // namespace Platform
