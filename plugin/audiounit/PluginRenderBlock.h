#pragma once

#include <deque>
#include <vector>

#include "engine/audio/SyncInformation.h"
#include "engine/midi/MidiMessage.h"
#include "platform/audiounit/AudioUnitTypes.h"

class HostMusicalContextInfo;
class HostTransportStateInfo;

namespace Lumora {

class AudioIO_for_iOS_Plugin;

namespace PluginRender {

// What one render call needs besides its buffers, sized when render resources are allocated
// so that the render thread does not allocate for them.
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

// One engine cycle for frames frames of a render call, starting offset frames into the call's
// buffers; input may be null.
void renderBlock(AudioIO_for_iOS_Plugin* audioIO, Platform::AudioBufferList const* input,
                 Platform::AudioBufferList const& output, unsigned frames, unsigned offset, float sampleRate,
                 std::deque<MidiMessage> const& midi, SyncInformation const& sync, Scratch& scratch);

} // namespace PluginRender
} // namespace Lumora
