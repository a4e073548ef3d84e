#pragma once

#include <atomic>
#include <memory>
#include <vector>

#include "platform/audiounit/AudioUnitTypes.h"

namespace Platform {

// One input or output bus of an audio unit: its format, which the host may change while the
// unit's render resources are not allocated.
class AudioUnitBus {
public:
    // Nothing for a format that is not valid.
    static std::shared_ptr<AudioUnitBus> make(AudioFormat const& format);

    explicit AudioUnitBus(AudioFormat const& format) : format_(format) {}

    AudioFormat format() const { return format_; }
    // Refused while the owning unit's render resources are allocated, and for invalid formats.
    bool setFormat(AudioFormat const& format);

    // Set by the owning unit around its allocation.
    void setFormatLocked(bool locked) { formatLocked_ = locked; }

private:
    AudioFormat format_;
    bool formatLocked_ = false;
};

class AudioUnitBusArray {
public:
    enum class Type { Input = 1, Output = 2 };

    AudioUnitBusArray(Type type, std::vector<std::shared_ptr<AudioUnitBus>> busses)
        : type_(type), busses_(std::move(busses)) {}

    Type busType() const { return type_; }
    std::size_t count() const { return busses_.size(); }
    std::shared_ptr<AudioUnitBus> const& operator[](std::size_t index) const { return busses_[index]; }
    std::vector<std::shared_ptr<AudioUnitBus>> const& busses() const { return busses_; }

private:
    Type type_;
    std::vector<std::shared_ptr<AudioUnitBus>> busses_;
};

// A buffer of samples in one format for up to a frame capacity, with two views of it as a
// buffer list: a read-only one that always points at the buffer's own storage, and a mutable
// one that a render call may redirect.
class PCMBuffer {
public:
    // Nothing for an invalid format or a capacity of 0.
    static std::shared_ptr<PCMBuffer> make(AudioFormat const& format, unsigned frameCapacity);

    PCMBuffer(AudioFormat const& format, unsigned frameCapacity);
    PCMBuffer(PCMBuffer const&) = delete;
    PCMBuffer& operator=(PCMBuffer const&) = delete;

    AudioFormat const& format() const { return format_; }
    unsigned frameCapacity() const { return frameCapacity_; }
    float* channel(unsigned index) { return storage_[index].data(); }

    AudioBufferList const* audioBufferList() const { return &readOnly_; }
    AudioBufferList* mutableAudioBufferList() { return &mutable_; }

private:
    AudioFormat format_;
    unsigned frameCapacity_;
    std::vector<std::vector<float>> storage_;
    AudioBufferList readOnly_;
    AudioBufferList mutable_;
};

} // namespace Platform
