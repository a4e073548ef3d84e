#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "app/AudioIO_for_iOS_App.h"
#include "app/CoreMIDIClient.h"
#include "engine/audio/SyncInformation.h"
#include "engine/midi/MidiMessage.h"
#include "engine/midi/MidiMessageRing.h"
#include "platform/audio/AudioSession.h"
#include "platform/audio/HostCallbacksSlot.h"
#include "platform/audio/InterAppAudio.h"
#include "platform/audio/OutputUnit.h"

namespace Lumora {

class AudioSessionObserver;

// The state and the work of the app's audio I/O (see AudioIO_for_iOS_App).
//
// Threads: the render call and the inter-app audio MIDI procedure run on the render thread; the
// MIDI client's callbacks on its receive thread; everything else on the main thread or on the
// threads of audio-session notifications and unit property listeners. Those control operations
// are serialized by a lock that the render thread never takes. The render thread only tries the
// MIDI queue lock, which producers hold for one append.
class AudioIO_for_iOS_App_Impl : public CoreMIDI::Observer {
public:
    explicit AudioIO_for_iOS_App_Impl(AudioIO_for_iOS_App* owner);
    ~AudioIO_for_iOS_App_Impl() override;
    AudioIO_for_iOS_App_Impl(const AudioIO_for_iOS_App_Impl&) = delete;
    AudioIO_for_iOS_App_Impl& operator=(const AudioIO_for_iOS_App_Impl&) = delete;

    // ---- CoreMIDI::Observer
    void didChangeSources(int added) override;
    void didReceiveMidi(int status, int data1, int data2, int kind) override;

    // ---- life cycle and format
    bool open(unsigned bufferSize, float sampleRate);
    void close();
    bool start();
    bool stop();
    bool isOpen() const;
    bool isRunning() const;
    float sampleRate() const { return sampleRate_.load(std::memory_order_acquire); }
    unsigned bufferSize() const { return bufferSize_.load(std::memory_order_acquire); }
    bool setAudioFormat(unsigned bufferSize, float sampleRate);

    // ---- MIDI inputs
    iAudioIO_for_App::MidiSources midiSources() const;
    void enableMidiSource(std::int32_t uniqueID, bool enabled);
    void setCoreMidiDisabled(bool disabled);

    // ---- sync
    // Where host sync asks for the transport and tempo: a sound server's transport instead of an
    // inter-app host. Any time: a render call in progress finishes with the callbacks it took.
    void setHostCallbacks(const Platform::InterAppAudio::HostCallbackInfo& host);
    SyncMethod syncMethod() const;
    void setSyncMethod(SyncMethod method);
    bool canProposeBpm() const;
    void proposeBpm(double bpm);

    Platform::OutputUnit* audioUnit() const { return unit_.load(std::memory_order_acquire); }
    bool isInterAppAudioConnected() const;
    ABLLink* link() const { return link_.load(std::memory_order_acquire); }
    bool isLinkActive() const;

    // ---- render thread
    // The render callback of the output unit: false when the input bus could not be pulled (the
    // engine does not run and the queued MIDI waits for the next call). The call's own events
    // (a sound server's MIDI inputs, MidiEvent::port numbered as MidiPortSetting::Kind) split the
    // block at their frames.
    bool render(const Platform::OutputUnit::RenderCall& call);
    // What one render call hands the engine for the sync method in use, at the call's host time.
    // Hands a pending Link tempo to the Link session.
    SyncInformation makeSyncInformation(uint64_t hostTime);
    // The inter-app audio host's MIDI: queued as kind 2, the sample offset dropped.
    static void interAppMidiEvent(void* userData, uint32_t status, uint32_t data1, uint32_t data2,
                                  uint32_t offsetSampleFrame);

    // ---- audio-session notifications (the session observer) and unit property listeners
    void audioSessionInterruption(int type);
    void audioSessionRouteChanged(const Platform::AudioSession::RouteDescription& previous);
    void interAppConnectionChanged();
    void streamFormatChanged();

    // The messages waiting for the next render call.
    std::size_t queuedMidiCount() const;
    // How many messages each queue holds at most: one render call's worth of the MIDI client's
    // and the inter-app host's messages, and one piece's worth of all of them.
    static constexpr std::size_t kMidiQueueCapacity = 1024;
    // Messages dropped because a queue was full, since the start; the count not yet reported is
    // logged in one line (a control operation or the live player's poll calls it, never the render
    // thread).
    std::uint64_t droppedMidiCount() const;
    void reportDroppedMidi();

private:
    // Each returns false after writing its log line.
    bool setUpUnit(bool onMac, unsigned bufferSize, float sampleRate);
    bool fail(const char* call, int status);
    bool closeAndFail();
    void closeLocked();
    bool stopLocked();
    bool startLocked();
    bool setAudioFormatLocked(unsigned bufferSize, float sampleRate);
    // Allocates the engine's render resources unless they were last allocated for this rate.
    void allocateRenderResourcesFor(float sampleRate);
    void followSyncMethodWithLink(SyncMethod method);
    // The Link object while it is activated and the user has enabled it; null otherwise.
    ABLLink* activeLink() const;
    void reportRenderErrors();
    static unsigned offsetOf(const Platform::OutputUnit::RenderCall& call, const Platform::MidiEvent& e);
    // Render thread: a message for the piece being rendered, counted as dropped when it is full.
    void keepForPiece(const MidiMessage& message);
    void renderPiece(const Platform::OutputUnit::RenderCall& call, unsigned offset, unsigned frames, float rate);
    void queue(int status, int data1, int data2);
    bool hostIsPlaying(const Platform::InterAppAudio::HostCallbackInfo& host) const;
    void fillFromHost(const Platform::InterAppAudio::HostCallbackInfo& host, SyncInformation& sync) const;
    void fillFromLink(ABLLink* link, uint64_t hostTime, double pendingTempo, SyncInformation& sync);

    AudioIO_for_iOS_App* owner_;
    std::atomic<Platform::OutputUnit*> unit_{nullptr};
    std::atomic<bool> running_{false};
    // Published under the control lock (at open, close and by setHostCallbacks, also while the
    // unit renders); read by the render thread without a lock.
    Platform::InterAppAudio::HostCallbacksSlot hostCallbacks_;
    // Both take their storage once, so a render call never allocates or frees.
    MidiMessageRing midiQueue_{kMidiQueueCapacity};
    // Render thread only: the messages of the piece being rendered.
    MidiMessageRing blockMidi_{kMidiQueueCapacity};
    std::atomic<std::uint64_t> droppedMidi_{0};
    std::uint64_t reportedDroppedMidi_ = 0;   // under controlLock_
    mutable std::recursive_mutex queueLock_;
    CoreMIDI::Client midiClient_;
    std::atomic<bool> coreMidiDisabled_{false};
    std::shared_ptr<AudioSessionObserver> sessionObserver_;
    std::atomic<int32_t> syncMethod_{0};
    std::atomic<double> tempo_{120.0};
    std::atomic<float> sampleRate_{0.0f};
    std::atomic<unsigned> bufferSize_{0};
    std::atomic<ABLLink*> link_{nullptr};
    std::atomic<bool> linkActive_{false};
    std::atomic<double> pendingLinkTempo_{0.0};

    // Serializes the control operations across the main thread and the notification threads.
    mutable std::recursive_mutex controlLock_;
    // The sample rate the engine's render resources were last allocated for (0: never).
    float allocatedSampleRate_ = 0.0f;
    // The render thread's channel lists, sized once so that a render call allocates nothing.
    std::vector<const float*> inputs_;
    std::vector<float*> outputs_;
    // A failed input-bus pull, left by the render thread for the next control operation to log.
    std::atomic<int32_t> renderError_{0};
};

} // namespace Lumora
