#pragma once

#include <array>
#include <cstdint>
#include <functional>

namespace Platform {

// Status codes of audio unit calls; 0 is success.
using AudioStatus = std::int32_t;
namespace AudioUnitStatus {
inline constexpr AudioStatus NoError = 0;
inline constexpr AudioStatus ParameterError = -50;
inline constexpr AudioStatus InvalidParameter = -10878;
inline constexpr AudioStatus NoConnection = -10876;
inline constexpr AudioStatus TooManyFramesToProcess = -10874;
inline constexpr AudioStatus FormatNotSupported = -10868;
inline constexpr AudioStatus Uninitialized = -10867;
inline constexpr AudioStatus InvalidPropertyValue = -10851;
} // namespace AudioUnitStatus

// What kind of component an audio unit is and who made it: four-character codes.
struct ComponentDescription {
    std::uint32_t componentType = 0;
    std::uint32_t componentSubType = 0;
    std::uint32_t componentManufacturer = 0;
    std::uint32_t componentFlags = 0;
    std::uint32_t componentFlagsMask = 0;
};

constexpr std::uint32_t fourCharCode(char const (&code)[5]) {
    return (static_cast<std::uint32_t>(static_cast<unsigned char>(code[0])) << 24) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(code[1])) << 16) |
           (static_cast<std::uint32_t>(static_cast<unsigned char>(code[2])) << 8) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(code[3]));
}

// The standard format of a bus: non-interleaved 32-bit float channels at a sample rate.
struct AudioFormat {
    double sampleRate = 44100.0;
    unsigned channelCount = 2;

    static constexpr unsigned kMaximumChannels = 16;
    // A rate that is finite and positive and 1 to kMaximumChannels channels.
    bool isValid() const;
    friend bool operator==(AudioFormat const&, AudioFormat const&) = default;
};

// One buffer of a buffer list: with the standard format, one channel of samples.
struct AudioBuffer {
    std::uint32_t numberChannels = 1;
    std::uint32_t dataByteSize = 0;
    void* data = nullptr;
};

// A fixed-capacity list of buffers, so that a render call can rewrite one without allocating.
struct AudioBufferList {
    std::uint32_t numberBuffers = 0;
    std::array<AudioBuffer, AudioFormat::kMaximumChannels> buffers{};
};

// Where a render call stands on the host's timelines.
struct AudioTimeStamp {
    double sampleTime = 0.0; // the call's first frame on the host's sample timeline
    std::uint64_t hostTime = 0;
};

using RenderActionFlags = std::uint32_t;

// One event of a render call, at an absolute sample time on the host's sample timeline. The
// host links the events of one call in ascending time order.
enum class RenderEventType : std::uint8_t {
    Parameter = 1,
    ParameterRamp = 2,
    MIDI = 8,
    MIDISysEx = 9,
};

using ParameterAddress = std::uint64_t;

struct RenderEvent {
    RenderEvent const* next = nullptr;
    std::int64_t eventSampleTime = 0;
    RenderEventType eventType = RenderEventType::MIDI;
    // Parameter and ramp events: the parameter's address and its (end) value.
    ParameterAddress parameterAddress = 0;
    float value = 0.0f;
    std::uint32_t rampDurationSampleFrames = 0;
    // MIDI events: up to three bytes of one message.
    std::uint8_t cable = 0;
    std::uint16_t length = 0;
    std::array<std::uint8_t, 3> data{};
};

// Pulls the input of a bus into a buffer list (which the puller may point at its own buffers).
using RenderPullInputBlock = std::function<AudioStatus(RenderActionFlags& flags, AudioTimeStamp const& timestamp,
                                                       std::uint32_t frameCount, std::int64_t inputBusNumber,
                                                       AudioBufferList& inputData)>;

// The unit's render entry: renders frameCount frames into outputData, applying the events.
// A buffer of outputData without a data pointer asks the unit to supply its own buffer.
using RenderBlock = std::function<AudioStatus(RenderActionFlags& flags, AudioTimeStamp const& timestamp,
                                              std::uint32_t frameCount, std::int64_t outputBusNumber,
                                              AudioBufferList& outputData, RenderEvent const* realtimeEventListHead,
                                              RenderPullInputBlock const* pullInputBlock)>;

// The host's musical context at the start of a render call; false when it has none.
using MusicalContextBlock = std::function<bool(double* currentTempo, double* timeSignatureNumerator,
                                               std::int64_t* timeSignatureDenominator, double* currentBeatPosition,
                                               std::int64_t* sampleOffsetToNextBeat,
                                               double* currentMeasureDownbeatPosition)>;

namespace TransportStateFlags {
inline constexpr std::uint64_t Changed = 1;
inline constexpr std::uint64_t Moving = 2;
inline constexpr std::uint64_t Recording = 4;
inline constexpr std::uint64_t Cycling = 8;
} // namespace TransportStateFlags

// The host's transport at the start of a render call; false when it has none.
using TransportStateBlock = std::function<bool(std::uint64_t* transportStateFlags, double* currentSamplePosition,
                                               double* cycleStartBeatPosition, double* cycleEndBeatPosition)>;

} // namespace Platform
