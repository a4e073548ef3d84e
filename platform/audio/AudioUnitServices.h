#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/audio/OutputUnit.h"

namespace Platform {

// The result of an audio service call: 0 for success, a negative code otherwise. The codes are
// this stand-in's own; callers only log them.
using AudioStatus = int32_t;

namespace AudioErr {
constexpr AudioStatus None = 0;
constexpr AudioStatus InvalidParameter = -42001;    // a null unit, a zero code, an unusable value
constexpr AudioStatus FormatNotSupported = -42002;  // a sample rate that is not finite and positive
constexpr AudioStatus Uninitialized = -42003;       // starting a unit that was not initialized
constexpr AudioStatus PropertyNotWritable = -42004; // changing what a running unit fixes
constexpr AudioStatus AlreadyPublished = -42005;    // another unit is published under the description
constexpr AudioStatus NoConnection = -42006;        // asking a host that is not connected
constexpr AudioStatus RenderFailed = -42007;        // pulling the input bus failed
constexpr AudioStatus Injected = -42099;            // the default code of an injected failure
} // namespace AudioErr

// Builds a four-character code, first character most significant.
constexpr uint32_t fourCharCode(const char (&code)[5]) {
    return (uint32_t(uint8_t(code[0])) << 24) | (uint32_t(uint8_t(code[1])) << 16) |
           (uint32_t(uint8_t(code[2])) << 8) | uint32_t(uint8_t(code[3]));
}

// Names an audio component: type, subtype and manufacturer, each a four-character code.
struct AudioComponentDescription {
    uint32_t componentType = 0;
    uint32_t componentSubType = 0;
    uint32_t componentManufacturer = 0;
    uint32_t componentFlags = 0;
    uint32_t componentFlagsMask = 0;

    friend bool operator==(const AudioComponentDescription&, const AudioComponentDescription&) = default;
};

// The one component the system offers: the device's output unit.
namespace AudioComponents {
constexpr uint32_t kOutputType = fourCharCode("auou");
constexpr uint32_t kDeviceOutputSubType = fourCharCode("dvio");
constexpr uint32_t kSystemManufacturer = fourCharCode("lnxa");
constexpr AudioComponentDescription kDeviceOutput{kOutputType, kDeviceOutputSubType, kSystemManufacturer, 0, 0};
} // namespace AudioComponents

// The calls whose failure a test can inject (AudioUnitServices::failNextCall).
enum class AudioUnitCall : int {
    FindComponent,
    InstanceNew,
    Publish,
    AddPropertyListener,
    SetClientFormat,
    EnableInput,
    SetRenderCallback,
    GetHostCallbacks,
    SetMidiCallbacks,
    Initialize,
    Start,
    Stop,
    RenderInput,
    RemoteControlToHost,
    Count
};

// The component-manager and unit calls through which a shell makes and drives the device output
// unit, as status-returning functions over OutputUnit. Configuration calls run on one
// controlling thread; renderInput runs on the render thread and allocates nothing.
namespace AudioUnitServices {

// The first component matching the description (zero fields of a description match anything
// but its type); null when there is none.
const AudioComponentDescription* findNext(const AudioComponentDescription& description);
// A new instance of the component; the caller owns it until dispose.
AudioStatus instanceNew(const AudioComponentDescription* component, OutputUnit** unit);
// Also withdraws a published unit. A null unit is ignored.
AudioStatus dispose(OutputUnit* unit);

AudioStatus addPropertyListener(OutputUnit* unit, OutputUnit::Property property,
                                OutputUnit::PropertyListener listener);
// The format of the audio the render callback produces; a running unit takes it at its next block.
// Before initialization the unit's device rate follows it (the unit converts no rates).
AudioStatus setClientSampleRate(OutputUnit* unit, double sampleRate);
// The device has no input: an enabled input bus delivers silence.
AudioStatus enableInput(OutputUnit* unit, bool enable);
bool isInputEnabled(const OutputUnit* unit);
AudioStatus setRenderCallback(OutputUnit* unit, OutputUnit::RenderCallback callback);
// Sizes the unit for blocks of up to maximumFrames (kept at least at the unit's default).
AudioStatus initialize(OutputUnit* unit, unsigned maximumFrames);
AudioStatus uninitialize(OutputUnit* unit);
AudioStatus start(OutputUnit* unit);
AudioStatus stop(OutputUnit* unit);
// Render thread: the input bus's block into channels (silence, the device has no input).
AudioStatus renderInput(OutputUnit* unit, float* const* channels, unsigned channelCount, unsigned frames);

// Makes the next call of that kind fail with the status (tests of failure paths); a status of 0
// cancels a pending failure.
void failNextCall(AudioUnitCall call, AudioStatus status = AudioErr::Injected);
// The pending injected failure of the call, consumed (0 when none): the stand-in's calls ask it.
AudioStatus takeInjectedFailure(AudioUnitCall call);

} // namespace AudioUnitServices

} // namespace Platform
