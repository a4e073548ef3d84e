#include "platform/audio/AudioUnitServices.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <mutex>
#include <set>
#include <utility>

#include "platform/audio/InterAppAudio.h"

namespace Platform::AudioUnitServices {

namespace {

std::array<std::atomic<AudioStatus>, static_cast<size_t>(AudioUnitCall::Count)> injected{};

// Units whose input bus is enabled (configuration thread only).
std::mutex inputLock;
std::set<const OutputUnit*> inputEnabled;

bool matches(const AudioComponentDescription& wanted, const AudioComponentDescription& offered) {
    return wanted.componentType == offered.componentType &&
           (wanted.componentSubType == 0 || wanted.componentSubType == offered.componentSubType) &&
           (wanted.componentManufacturer == 0 ||
            wanted.componentManufacturer == offered.componentManufacturer);
}

} // namespace

AudioStatus takeInjectedFailure(AudioUnitCall call) {
    return injected[static_cast<size_t>(call)].exchange(AudioErr::None);
}

void failNextCall(AudioUnitCall call, AudioStatus status) {
    injected[static_cast<size_t>(call)].store(status);
}

const AudioComponentDescription* findNext(const AudioComponentDescription& description) {
    if (takeInjectedFailure(AudioUnitCall::FindComponent) != AudioErr::None) {
        return nullptr;
    }
    static const AudioComponentDescription deviceOutput = AudioComponents::kDeviceOutput;
    return matches(description, deviceOutput) ? &deviceOutput : nullptr;
}

AudioStatus instanceNew(const AudioComponentDescription* component, OutputUnit** unit) {
    if (unit == nullptr || component == nullptr) {
        return AudioErr::InvalidParameter;
    }
    *unit = nullptr;
    if (const AudioStatus status = takeInjectedFailure(AudioUnitCall::InstanceNew)) {
        return status;
    }
    *unit = new OutputUnit();
    return AudioErr::None;
}

AudioStatus dispose(OutputUnit* unit) {
    if (unit == nullptr) {
        return AudioErr::None;
    }
    InterAppAudio::withdraw(unit);
    {
        std::lock_guard lock(inputLock);
        inputEnabled.erase(unit);
    }
    unit->removePropertyListeners();
    unit->uninitialize();
    delete unit;
    return AudioErr::None;
}

AudioStatus addPropertyListener(OutputUnit* unit, OutputUnit::Property property,
                                OutputUnit::PropertyListener listener) {
    if (unit == nullptr || !listener) {
        return AudioErr::InvalidParameter;
    }
    if (const AudioStatus status = takeInjectedFailure(AudioUnitCall::AddPropertyListener)) {
        return status;
    }
    unit->addPropertyListener(property, std::move(listener));
    return AudioErr::None;
}

AudioStatus setClientSampleRate(OutputUnit* unit, double sampleRate) {
    if (unit == nullptr) {
        return AudioErr::InvalidParameter;
    }
    if (const AudioStatus status = takeInjectedFailure(AudioUnitCall::SetClientFormat)) {
        return status;
    }
    if (!unit->setClientSampleRate(sampleRate)) {
        return AudioErr::FormatNotSupported;
    }
    // The unit converts no rates: until a driver runs it, the device takes the client's rate.
    if (!unit->isInitialized()) {
        unit->setSampleRate(sampleRate);
    }
    return AudioErr::None;
}

AudioStatus enableInput(OutputUnit* unit, bool enable) {
    if (unit == nullptr) {
        return AudioErr::InvalidParameter;
    }
    if (const AudioStatus status = takeInjectedFailure(AudioUnitCall::EnableInput)) {
        return status;
    }
    std::lock_guard lock(inputLock);
    if (enable) {
        inputEnabled.insert(unit);
    } else {
        inputEnabled.erase(unit);
    }
    return AudioErr::None;
}

bool isInputEnabled(const OutputUnit* unit) {
    std::lock_guard lock(inputLock);
    return inputEnabled.count(unit) != 0;
}

AudioStatus setRenderCallback(OutputUnit* unit, OutputUnit::RenderCallback callback) {
    if (unit == nullptr) {
        return AudioErr::InvalidParameter;
    }
    if (const AudioStatus status = takeInjectedFailure(AudioUnitCall::SetRenderCallback)) {
        return status;
    }
    return unit->setRenderCallback(std::move(callback)) ? AudioErr::None : AudioErr::PropertyNotWritable;
}

AudioStatus initialize(OutputUnit* unit, unsigned maximumFrames) {
    if (unit == nullptr) {
        return AudioErr::InvalidParameter;
    }
    if (const AudioStatus status = takeInjectedFailure(AudioUnitCall::Initialize)) {
        return status;
    }
    if (!unit->isInitialized() &&
        !unit->setMaximumFramesPerSlice(std::max(maximumFrames, OutputUnit::kDefaultMaximumFrames))) {
        return AudioErr::InvalidParameter;
    }
    return unit->initialize() ? AudioErr::None : AudioErr::InvalidParameter;
}

AudioStatus uninitialize(OutputUnit* unit) {
    if (unit == nullptr) {
        return AudioErr::InvalidParameter;
    }
    unit->uninitialize();
    return AudioErr::None;
}

AudioStatus start(OutputUnit* unit) {
    if (unit == nullptr) {
        return AudioErr::InvalidParameter;
    }
    if (const AudioStatus status = takeInjectedFailure(AudioUnitCall::Start)) {
        return status;
    }
    return unit->start() ? AudioErr::None : AudioErr::Uninitialized;
}

AudioStatus stop(OutputUnit* unit) {
    if (unit == nullptr) {
        return AudioErr::InvalidParameter;
    }
    if (const AudioStatus status = takeInjectedFailure(AudioUnitCall::Stop)) {
        return status;
    }
    unit->stop();
    return AudioErr::None;
}

AudioStatus renderInput(OutputUnit* unit, float* const* channels, unsigned channelCount, unsigned frames) {
    if (unit == nullptr) {
        return AudioErr::InvalidParameter;
    }
    if (const AudioStatus status = takeInjectedFailure(AudioUnitCall::RenderInput)) {
        return status;
    }
    for (unsigned c = 0; c < channelCount; ++c) {
        if (channels[c] != nullptr) {
            std::fill_n(channels[c], frames, 0.0f);
        }
    }
    return AudioErr::None;
}

} // namespace Platform::AudioUnitServices
