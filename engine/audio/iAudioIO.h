#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include <boost/noncopyable.hpp>

#include "engine/audio/SyncInformation.h"
#include "engine/midi/MidiMessage.h"
#include "engine/midi/MidiMessageRing.h"
#include "engine/parameter/ParameterObserver.h"

namespace Lumora {

class iAudioEngine;

// What a shell attaches to an engine to drive its render cycle. It observes every parameter
// change of the engine and answers the model's questions about synchronisation.
class iAudioIO : public ParameterObserver, private boost::noncopyable {
public:
    // Registers this object as an observer of the engine's parameters.
    explicit iAudioIO(iAudioEngine* engine);
    // Unregisters and detaches itself, unless the engine is already gone.
    ~iAudioIO() override;

    void didChangeParam(const Parameter* param, Token token, AutomationEventType event) override = 0;
    virtual bool isPlugin() const = 0;
    virtual SyncMethod syncMethod() const = 0;
    virtual void setSyncMethod(SyncMethod method) = 0;
    virtual bool canProposeBpm() const = 0;
    virtual void proposeBpm(double bpm) = 0;

    // One render cycle of the engine; answers its processed MIDI, valid until the next call.
    const std::deque<MidiMessage>& renderBlock(const std::vector<const float*>& inputs,
                                               const std::vector<float*>& outputs,
                                               unsigned frames, float sampleRate,
                                               const std::deque<MidiMessage>& midi,
                                               const SyncInformation& sync);
    // The same over a ring's messages (what a shell's render thread fills without allocating).
    const std::deque<MidiMessage>& renderBlock(const std::vector<const float*>& inputs,
                                               const std::vector<float*>& outputs,
                                               unsigned frames, float sampleRate,
                                               const MidiMessageRing& midi,
                                               const SyncInformation& sync);

    iAudioEngine* audioEngine() const { return engine; }

protected:
    // The last step of a concrete class's constructor: attaches the complete object to the
    // engine, which then creates its master parameters.
    void didConstructSubClass(iAudioIO* self);

    iAudioEngine* engine;

private:
    friend class iAudioEngine;
    void engineWillBeDestroyed() { engine = nullptr; }
};

// The plug-in's audio I/O interface; it adds nothing.
class iAudioIO_for_Plugin : public iAudioIO {
public:
    explicit iAudioIO_for_Plugin(iAudioEngine* engine) : iAudioIO(engine) {}
};

} // namespace Lumora
