#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "engine/audio/iAudioIO.h"

namespace Lumora {

// One MIDI input as the port selector lists it.
struct MidiPortSetting {
    enum Kind : std::uint8_t { ExternalSource = 0, VirtualDestination = 1 };

    std::uint8_t kind = ExternalSource;
    std::int32_t uniqueID = 0;   // the endpoint's unique id; 0 for the virtual destination
    std::string displayName;
    bool enabled = true;         // messages of this input reach the engine only while set
};

// What the standalone app's audio I/O offers beyond the engine's audio I/O: the device output,
// its format and the MIDI inputs. The model and the settings screens find it with a dynamic
// cast of the engine's audioIO(); the plug-in's audio I/O does not implement it, so there the
// app-only settings do nothing. Every operation is called on the main thread.
class iAudioIO_for_App : public iAudioIO {
public:
    using MidiSources = std::map<std::int32_t, MidiPortSetting>;

    explicit iAudioIO_for_App(iAudioEngine* engine) : iAudioIO(engine) {}

    // Makes the output, the MIDI client and the Link object ready without starting the output;
    // false, with nothing left open, when any of it fails.
    virtual bool open(unsigned bufferSize, float sampleRate) = 0;
    // Releases what open made; the object can be opened again.
    virtual void close() = 0;
    virtual bool start() = 0;   // true when the output runs
    virtual bool stop() = 0;    // true when it no longer runs
    virtual bool isOpen() const = 0;
    virtual bool isRunning() const = 0;
    virtual float sampleRate() const = 0;      // 0 while closed
    virtual unsigned bufferSize() const = 0;   // 0 while closed
    // False when the format or buffer size is refused, which closes the object.
    virtual bool setAudioFormat(unsigned bufferSize, float sampleRate) = 0;
    virtual bool setSampleRate(float sampleRate) = 0;
    virtual bool setBufferSize(unsigned bufferSize) = 0;

    // The known MIDI inputs by unique id.
    virtual MidiSources midiSources() const = 0;
    // Unknown ids are ignored.
    virtual void enableMidiSource(std::int32_t uniqueID, bool enabled) = 0;
};

} // namespace Lumora
