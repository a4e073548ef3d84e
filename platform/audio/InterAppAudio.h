#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "platform/audio/AudioUnitServices.h"
#include "platform/audio/OutputUnit.h"

namespace Platform {

// Inter-app audio inside one process: an output unit publishes itself as a node under a component
// description, name and version; a host (InterAppAudioHost) connects to a published node, sends it
// MIDI and answers its questions about the host's transport and tempo. Nothing leaves the process.
namespace InterAppAudio {

// The host's answers, as the node calls them. Each returns 0, or AudioErr::NoConnection (leaving
// every result untouched) while no host is connected; a null result pointer is not written.
using BeatAndTempoProc = AudioStatus (*)(void* hostUserData, double* currentBeat, double* currentTempo);
using MusicalTimeLocationProc = AudioStatus (*)(void* hostUserData, uint32_t* deltaSampleOffsetToNextBeat,
                                                float* timeSignatureNumerator,
                                                uint32_t* timeSignatureDenominator,
                                                double* currentMeasureDownbeat);
using TransportStateProc = AudioStatus (*)(void* hostUserData, bool* isPlaying, bool* transportStateChanged,
                                           double* currentSampleInTimeLine, bool* isCycling,
                                           double* cycleStartBeat, double* cycleEndBeat);
using TransportStateProc2 = AudioStatus (*)(void* hostUserData, bool* isPlaying, bool* isRecording,
                                            bool* transportStateChanged, double* currentSampleInTimeLine,
                                            bool* isCycling, double* cycleStartBeat, double* cycleEndBeat);

// What a node reads once to ask its host: the procedures answer for whichever host is connected
// at the time of the call.
struct HostCallbackInfo {
    void* hostUserData = nullptr;
    BeatAndTempoProc beatAndTempoProc = nullptr;
    MusicalTimeLocationProc musicalTimeLocationProc = nullptr;
    TransportStateProc transportStateProc = nullptr;
    TransportStateProc2 transportStateProc2 = nullptr;
};

// How a host's MIDI reaches the node (called on the thread the host sends from).
using MidiEventProc = void (*)(void* userData, uint32_t status, uint32_t data1, uint32_t data2,
                               uint32_t offsetSampleFrame);
using MidiSysExProc = void (*)(void* userData, const uint8_t* data, uint32_t length);
struct MidiCallbacks {
    void* userData = nullptr;
    MidiEventProc midiEventProc = nullptr;
    MidiSysExProc midiSysExProc = nullptr;
};

// Publishes the unit as a node. Fails for a null unit or a zero type, subtype or manufacturer,
// and when another unit is published under the same description.
AudioStatus publish(OutputUnit* unit, const AudioComponentDescription& description,
                    const std::string& name, uint32_t version);
// Withdraws the unit's node (AudioUnitServices::dispose does it); a connected host is dropped.
void withdraw(OutputUnit* unit);

AudioStatus getHostCallbacks(OutputUnit* unit, HostCallbackInfo* info);
AudioStatus setMidiCallbacks(OutputUnit* unit, const MidiCallbacks& callbacks);
// Whether a host is connected to the unit's node (0 for a unit that is not published).
AudioStatus isInterAppConnected(OutputUnit* unit, uint32_t* connected);

// The transport commands a node sends to its host, numbered as the platform does.
enum RemoteControlEvent : uint32_t { TogglePlayPause = 1, ToggleRecord = 2, Rewind = 3 };
// Sends one command to the host connected to the unit's node: InvalidParameter for an unknown
// event or an unpublished unit, NoConnection while no host is connected. The unit is only
// looked up, never used, so a unit that was disposed meanwhile is answered safely.
AudioStatus sendRemoteControlToHost(OutputUnit* unit, uint32_t event);
// The address through which the app switches to the connected host (NoConnection without one).
AudioStatus getPeerURL(OutputUnit* unit, std::string* url);

} // namespace InterAppAudio

// A host app inside the process: connects to a published node, plays it MIDI and answers its
// transport and tempo questions from values a test or demo sets. The values are read by the
// node's render thread without a lock.
class InterAppAudioHost {
public:
    InterAppAudioHost() = default;
    ~InterAppAudioHost();
    InterAppAudioHost(const InterAppAudioHost&) = delete;
    InterAppAudioHost& operator=(const InterAppAudioHost&) = delete;

    // Connects to the node published under the description (replacing any other host); the
    // node's unit hears IsInterAppConnected on this thread. False when no node is published so.
    bool connect(const AudioComponentDescription& description);
    void disconnect();
    bool isConnected() const;
    // The connected node's name and version ("" and 0 while not connected).
    std::string nodeName() const;
    uint32_t nodeVersion() const;

    // Sends one message to the connected node's MIDI procedure; false when none is installed.
    bool sendMidi(uint32_t status, uint32_t data1, uint32_t data2, uint32_t offsetSampleFrame = 0);

    void setPlaying(bool playing) { playing_.store(playing); }
    void setRecording(bool recording) { recording_.store(recording); }
    void setTempo(double bpm) { tempo_.store(bpm); }
    void setBeat(double beat) { beat_.store(beat); }
    void setTimeSignature(float numerator, uint32_t denominator) {
        numerator_.store(numerator);
        denominator_.store(denominator);
    }
    void setMeasureDownbeat(double beat) { downbeat_.store(beat); }
    void setSampleInTimeLine(double sample) { sampleInTimeLine_.store(sample); }
    // A host without a musical-time-location answer leaves those results untouched.
    void setAnswersMusicalTimeLocation(bool answers) { answersTimeLocation_.store(answers); }

    // The host's address, which the node reads to switch to it.
    void setPeerURL(std::string url);
    std::string peerURL() const;
    // The transport commands the node sent, in order. Each one also acts on the host's transport
    // as a host app does (play and record toggle, rewind returns to sample 0) and tells the node.
    std::vector<uint32_t> remoteControlEvents() const;
    void handleRemoteControlEvent(uint32_t event);
    // Tells the connected node's unit that the transport changed (after setPlaying and the like).
    void notifyTransportStateChanged();

    // The answers, as the node's procedures give them.
    AudioStatus beatAndTempo(double* beat, double* tempo) const;
    AudioStatus musicalTimeLocation(uint32_t* offsetToNextBeat, float* numerator, uint32_t* denominator,
                                    double* downbeat) const;
    AudioStatus transportState(bool* playing, bool* recording, bool* changed, double* sampleInTimeLine,
                               bool* cycling, double* cycleStart, double* cycleEnd);

private:
    struct Node;
    Node* node_ = nullptr;   // guarded by the registry's lock
    std::atomic<bool> playing_{false};
    std::atomic<bool> recording_{false};
    std::atomic<bool> lastPlaying_{false};
    std::atomic<double> tempo_{120.0};
    std::atomic<double> beat_{0.0};
    std::atomic<float> numerator_{4.0f};
    std::atomic<uint32_t> denominator_{4};
    std::atomic<double> downbeat_{0.0};
    std::atomic<double> sampleInTimeLine_{0.0};
    std::atomic<bool> answersTimeLocation_{true};
    mutable std::mutex remoteLock_;
    std::string peerURL_;
    std::vector<uint32_t> remoteEvents_;

    friend struct InterAppAudioRegistry;
};

} // namespace Platform
