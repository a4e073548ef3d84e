#pragma once

#include <cstring>
#include <deque>
#include <vector>

#include "engine/audio/SyncInformation.h"
#include "engine/audio/iAudioIO.h"
#include "engine/midi/MidiMessage.h"
#include "platform/audiounit/AudioUnitTypes.h"

class HostMusicalContextInfo;
class HostTransportStateInfo;

namespace Lumora {
namespace PluginRender {

// What one render call needs besides its buffers, sized when render resources are allocated
// (one channel pointer per bus channel) so that the render thread does not allocate for them.
struct Scratch {
    std::deque<MidiMessage> midi;
    std::vector<const float*> inputs;
    std::vector<float*> outputs;

    void reserve(unsigned inputChannels, unsigned outputChannels);
};

// The sync information of a render call from the host's answers of its start: no musical
// context follows the internal tempo in 4/4 (state 0); a moving transport follows the host's
// timeline (state 2); a standing one, or a timeline whose positions are not finite or lie beyond
// 1e7 beats, keeps the host's tempo and signature at zero positions.
SyncInformation makeSyncInformation(HostMusicalContextInfo const& context, HostTransportStateInfo const& transport,
                                    double bpmForInternalSync);

// The sync information of the part of a call that starts frames later: a timeline that the
// host follows has moved on by frames at the tempo, so that every engine call is told where
// its own first frame stands (a bar line crossed inside the call moves the bar start along).
// Tempo and positions are in beats of the signature's note value (eighths in 6/8, halves in
// 3/2), so a bar is numerator beats long.
SyncInformation advancedSyncInformation(SyncInformation const& sync, unsigned frames, float sampleRate);

// Only for a list of another channel count than render resources were allocated for.
template <typename T>
[[gnu::noinline, gnu::cold]] void resizePointers(std::vector<T*>& pointers, std::size_t count) {
    pointers.resize(count);
}

// The channel pointers of a list, offset frames in; the vector already has the list's size when
// render resources were allocated for it, so this writes in place.
template <typename T>
[[gnu::always_inline]] inline void pointInto(std::vector<T*>& into, Platform::AudioBufferList const& list,
                                             unsigned offset) {
    if (into.size() != list.numberBuffers) [[unlikely]]
        resizePointers(into, list.numberBuffers);
    T** const pointers = into.data();
    for (std::uint32_t i = 0; i < list.numberBuffers; ++i)
        pointers[i] = static_cast<T*>(list.buffers[i].data) + offset;
}

// One engine cycle for frames frames of a render call, starting offset frames into the call's
// buffers; input may be null. Always inline: it runs for every engine cycle of every call, and a
// call of its own costs about as much as its work.
[[gnu::always_inline]] inline void renderBlock(iAudioIO* audioIO, Platform::AudioBufferList const* input,
                        Platform::AudioBufferList const& output, unsigned frames, unsigned offset, float sampleRate,
                        std::deque<MidiMessage> const& midi, SyncInformation const& sync, Scratch& scratch) {
    if (input != nullptr)
        pointInto(scratch.inputs, *input, offset);
    else
        scratch.inputs.clear();
    pointInto(scratch.outputs, output, offset);
    audioIO->renderBlock(scratch.inputs, scratch.outputs, frames, sampleRate, midi, sync);
}

// After a render into a list over the caller's channels: a unit may have pointed a buffer at its
// own memory, which is copied into the caller's channel (a null channel is left to the unit).
inline void copyBackInto(float* const* channels, unsigned count, Platform::AudioBufferList const& list,
                         unsigned frames) {
    for (unsigned c = 0; c < count && c < list.numberBuffers; ++c) {
        if (channels[c] != nullptr && list.buffers[c].data != channels[c] && list.buffers[c].data != nullptr)
            std::memcpy(channels[c], list.buffers[c].data, frames * sizeof(float));
    }
}

// One engine cycle for frames frames straight into a stereo pair of channels, without input.
[[gnu::always_inline]] inline void renderChannels(iAudioIO* audioIO, float* left, float* right, unsigned frames,
                                                  float sampleRate, std::deque<MidiMessage> const& midi,
                                                  SyncInformation const& sync, Scratch& scratch) {
    scratch.inputs.clear();
    if (scratch.outputs.size() != 2) [[unlikely]]
        resizePointers(scratch.outputs, 2);
    scratch.outputs[0] = left;
    scratch.outputs[1] = right;
    audioIO->renderBlock(scratch.inputs, scratch.outputs, frames, sampleRate, midi, sync);
}

} // namespace PluginRender
} // namespace Lumora
