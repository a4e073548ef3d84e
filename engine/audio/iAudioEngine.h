#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <boost/filesystem/path.hpp>
#include <boost/noncopyable.hpp>

#include "engine/audio/AttachGate.h"
#include "engine/audio/SyncInformation.h"
#include "engine/clock/Clock.h"
#include "engine/documents/PresetDocFileManagerConfig.h"
#include "engine/mapping/MidiParamMapper.h"
#include "engine/midi/MidiMessage.h"
#include "engine/midi/MidiMessageRing.h"
#include "engine/parameter/Serializer.h"

namespace Lumora {

class iAudioIO;
class MultiPartText;
class ParameterManager;
class PresetDocFileManager;

// The engine every audio I/O object talks to and every product engine derives from. It owns
// what does not depend on what is synthesized: master parameters, clock, MIDI mapping, the
// on-screen MIDI queue, document managers, and the observer channels through which the
// render thread reports MIDI and events to the screens.
class iAudioEngine : public Serializer,
                     public PresetDocFileManagerObserver,
                     private boost::noncopyable {
public:
    using MidiDeque = std::deque<MidiMessage>;

    enum NotificationID : int32_t {
        MidiSourcesChanged = 1001,
        MidiLearnStarted = 1002,
        MidiLearnAssigned = 1003,
        MidiLearnStopped = 1004,
        TempoChanged = 1005,
        SixteenthTick = 1006,
        GrooveSixteenthTick = 1007,
        Serialized = 1008,
        Deserialized = 1009,
        PresetDirectoryChanged = 1010,
        NoteHeld = 1011,
        NoteReleased = 1012,
    };

    class MidiObserver;
    class NotificationObserver;
    struct CommonParameters {
        struct Master;
    };

    iAudioEngine(unsigned numInputs, unsigned numOutputs,
                 const PresetDocFileManagerConfig& soundConfig,
                 const PresetDocFileManagerConfig& midiMappingConfig);
    ~iAudioEngine() override;

    // ---- state text: one multi-part text whose parts the owning pieces write and read
    // (engine/state/iAudioEngineState.cpp)
    using GlobalPairs = std::vector<std::pair<std::string, std::string>>;

    std::string serialize(SerializeWhat what, SerializeWhere where) override;
    // False for an empty text or one without parts; a text with parts applies what it can.
    bool deserialize(SerializeWhat what, const std::string& text, SerializeWhere where) override;
    void initialize(SerializeWhat what, SerializeWhere where) override;
    // The "Global" part: key, tab, value and a line feed per pair.
    std::string serializeAudioEngine(SerializeWhat what, SerializeWhere where) const;
    // False for an empty text; otherwise hands every line of two fields or more to the hook.
    bool deserializeAudioEngine(SerializeWhat what, const std::string& text, SerializeWhere where);
    // Main thread, after a render call: loads a received program change from the program list.
    void loadrecievedProgram();
    // Unpacks a dropped pack file into the User tree of the kind whose pack type matches its
    // extension; false when no kind matches or the unpacking fails.
    virtual bool unpackPresetFile(const boost::filesystem::path& path);

    // ---- attaching an audio I/O object
    void initialize_callFrom_AudioIO(iAudioIO* io);
    iAudioIO* audioIO() const { return audioIO_; }

    // ---- capabilities the settings screen asks for
    virtual bool hasMasterVolume() const { return true; }
    virtual bool supportsClockSync() const { return true; }
    virtual bool supportsTimingShift() const { return false; }
    virtual bool supportsMidiInput() const { return true; }
    virtual bool reservedCapability() const { return false; }
    virtual bool supportsMidiMapping() const { return true; }
    virtual bool supportsNoteInput() const { return false; }
    virtual bool supportsTuning() const { return false; }
    virtual bool hasArpeggiator() const { return false; }
    virtual unsigned numOfAudioEngineVersions() const { return 1; }
    virtual unsigned numOfAudioQualitySelections() const { return 3; }

    virtual ParameterManager& parameterManager() = 0;
    virtual const ParameterManager& parameterManager() const = 0;

    virtual void allocateRenderResources(float /*sampleRate*/) {}
    virtual void deallocateRenderResources() {}
    // Not while rendering. A subclass's reset calls this one.
    virtual void reset();

    virtual bool isMuted() const { return muted_.load(std::memory_order_relaxed); }
    virtual void setMute(bool mute) { muted_.store(mute, std::memory_order_relaxed); }

    virtual void allNoteOff() {}

    // ---- the render cycle
    const MidiDeque& renderBlock_callFrom_AudioIO(const std::vector<const float*>& inputs,
                                                  const std::vector<float*>& outputs,
                                                  unsigned frames, float sampleRate,
                                                  const MidiDeque& midi,
                                                  const SyncInformation& sync);
    // The same cycle over a ring's messages, which a shell fills without allocating.
    const MidiDeque& renderBlock_callFrom_AudioIO(const std::vector<const float*>& inputs,
                                                  const std::vector<float*>& outputs,
                                                  unsigned frames, float sampleRate,
                                                  const MidiMessageRing& midi,
                                                  const SyncInformation& sync);

    // ---- MIDI from the screens, channels, timing shift
    void sendMidi(const MidiMessage& message);
    int safeMidiChannel() const;
    int midiInChannel() const { return midiInChannel_.load(std::memory_order_relaxed); }
    void setMidiInChannel(int channel);
    int midiOutChannel() const { return midiOutChannel_.load(std::memory_order_relaxed); }
    void setMidiOutChannel(int channel);
    float timingShift() const { return timingShift_.load(std::memory_order_relaxed); }
    void setTimingShift(float shift);

    unsigned numOfInputChannels() const { return numInputs_; }
    unsigned numOfOutputChannels() const { return numOutputs_; }
    unsigned engineVersion() const;

    // ---- program change received by the render thread, loaded later on the main thread
    bool isProgramChangeReceived() const {
        return programChangeReceived_.load(std::memory_order_acquire);
    }
    int receivedProgram() const { return receivedProgram_.load(std::memory_order_relaxed); }

    // ---- observers (never removed; they must outlive the engine's last cycle)
    void addMidiNoteObserver(MidiObserver* observer);
    void addNotificationObserver(NotificationObserver* observer);
    void provideNotification(NotificationID id, int param);
    void didChangeMidiParamMapperStatus(NotificationID id, int param);
    void provideMidiMessage(const MidiDeque& midi);

    MidiParamMapper& midiParamMapper() { return *mapper_; }
    const Clock& clock() const { return *clock_; }
    PresetDocFileManager* soundPresetFileManager() { return soundManager_.get(); }
    const PresetDocFileManager* soundPresetFileManager() const { return soundManager_.get(); }
    PresetDocFileManager* midiMappingFileManager() { return midiMappingManager_.get(); }

    // Sound manager's change of place: notification 1010.
    void didChangeDirectory(const PresetDocFileManager* manager,
                            const std::string& currentDirectory) override;

protected:
    virtual void onInitialize(iAudioIO* /*io*/) {}

    // ---- part hooks of the state text, for the parts a subclass owns
    virtual void serialize(SerializeWhat /*what*/, MultiPartText& /*text*/,
                           SerializeWhere /*where*/) const {}
    virtual bool deserialize(SerializeWhat /*what*/, const MultiPartText& /*text*/,
                             SerializeWhere /*where*/) {
        return true;
    }
    virtual void onFinishedSerialize(SerializeWhat /*what*/, SerializeWhere /*where*/) {}
    virtual void onFinishedDeserialize(SerializeWhat /*what*/, const MultiPartText& /*text*/,
                                       SerializeWhere /*where*/) {}
    virtual void onFinishedInitialize(SerializeWhat /*what*/, SerializeWhere /*where*/) {}
    // The keys of the "Global" part.
    virtual void serializeAudioEngine(SerializeWhat what, GlobalPairs& pairs,
                                      SerializeWhere where) const;
    virtual void deserializeAudioEngine(SerializeWhat what, const std::string& key,
                                        const std::string& value, SerializeWhere where);

    enum class PackUnpacking { NotThisKind, Unpacked, Failed };
    // Unpacks path with manager when its extension (without the dot) is exactly the manager's
    // pack type; a null manager is no kind.
    static PackUnpacking unpackIfPackOf(const boost::filesystem::path& path,
                                        PresetDocFileManager* manager);

    const CommonParameters::Master* masterParameters() const { return masterParameters_.get(); }

    // Runs the MIDI effects of a product; the base passes the cycle's MIDI through.
    virtual const MidiDeque& midiProcess(unsigned frames, float sampleRate, const Clock& clock,
                                         const MidiDeque& midi);
    virtual void audioProcess(const std::vector<const float*>& inputs,
                              const std::vector<float*>& outputs, unsigned frames,
                              float sampleRate, const Clock& clock, const MidiDeque& midi);

    // Hands over a received program change once: clears the flag and answers the program, or
    // -1 when none is waiting.
    int takeReceivedProgram();

    // The longest span, in frames, a resting engine gathers short render calls into.
    static constexpr unsigned kMaxGatheringSpan = 256;
    // Render calls shorter than this span (at most kMaxGatheringSpan; 0: never) may be gathered
    // into spans of the clock's sample count while the engine rests (restsUntilMidi).
    virtual unsigned gatheringSpan() const { return 0; }
    // The subclass's span within what the gathering buffer holds.
    unsigned boundedGatheringSpan() const { return std::min(gatheringSpan(), kMaxGatheringSpan); }
    // Render thread: a cycle without MIDI would give exact silence and change nothing a later
    // cycle could hear, except through time passing.
    virtual bool restsUntilMidi() const { return false; }
    // Render thread, for a call gathered into a span after another one: whether the rest that
    // restsUntilMidi found for that call holds still. Nothing has rendered since, so only what
    // another thread changes can end it; the default asks everything again.
    virtual bool stillRestsUntilMidi() const { return restsUntilMidi(); }
    // Not while rendering: the state restsUntilMidi reads was changed outside a cycle (a reset,
    // new render resources), so the next gathered call asks it again.
    void recheckRest() { restRecheck_.store(true, std::memory_order_relaxed); }

private:
    friend class iAudioIO;
    void audioIOWillBeDestroyed(iAudioIO* io);

    struct ScanResult {
        unsigned ticks = 0;
        bool start = false;
        bool allNotesOff = false;
    };
    template <class Messages>
    const MidiDeque& renderCycle(const std::vector<const float*>& inputs, const std::vector<float*>& outputs,
                                 unsigned frames, float sampleRate, const Messages& midi,
                                 const SyncInformation& sync);
    // The cycle after the MIDI is gathered into cycleMidi_.
    const MidiDeque& runCycle(const std::vector<const float*>& inputs, const std::vector<float*>& outputs,
                              unsigned frames, float sampleRate, const SyncInformation& sync);
    // A render call that may be gathered: short, without MIDI or inputs, on the internal clock at
    // its tempo, the engine resting.
    template <class Messages>
    bool mayGather(unsigned frames, const Messages& midi, const SyncInformation& sync) const;
    // Whether a call at this tempo leaves the clock's tempo as it is (syncClockPre).
    bool keepsTempo(double tempo) const;
    // Counts the frames of a gathered call and renders the gathered frames once their span ends.
    void gather(unsigned frames, float sampleRate, const SyncInformation& sync);
    // Renders the gathered frames, with no MIDI and the sync information they were gathered
    // under, into buffers nobody hears: they are silence.
    void renderGathered(float sampleRate);
    // Not templates: kept out of the render call's own frame, which a gathered call runs alone.
    void filterInput(const MidiDeque& midi);
    void filterInput(const MidiMessageRing& midi);
    template <class Messages>
    void filterInto(const Messages& midi);
    // After uiMidiPending_ was found set.
    void drainScreenMidi();
    ScanResult scan();
    void syncClockPre(const SyncInformation& sync, const ScanResult& scan);
    void syncClockPost(int state, unsigned frames, float sampleRate);
    void notifyClock();
    // A fill with a constant zero becomes a plain memset: the call a gathered block mostly consists
    // of. Inline, so that such a call does not pay for a call around it as well.
    static void clearOutputs(const std::vector<float*>& outputs, unsigned frames) {
        for (float* channel : outputs) {
            if (channel != nullptr) {
                std::fill_n(channel, frames, 0.0f);
            }
        }
    }

    std::set<MidiObserver*> midiObservers_;
    std::set<NotificationObserver*> notificationObservers_;
    std::atomic<bool> programChangeReceived_{false};
    std::atomic<int32_t> receivedProgram_{0};
    const unsigned numInputs_;
    const unsigned numOutputs_;
    std::atomic<int32_t> midiInChannel_{-1};
    std::atomic<int32_t> midiOutChannel_{0};
    iAudioIO* audioIO_ = nullptr;
    MidiDeque uiMidiQueue_;
    std::recursive_mutex uiMidiLock_;
    // Set with a message queued, cleared (under the lock) when the render thread takes them.
    std::atomic<bool> uiMidiPending_{false};
    std::unique_ptr<Clock> clock_;
    int32_t previousSyncState_ = 0;
    std::atomic<float> timingShift_{0.0f};
    std::unique_ptr<MidiParamMapper> mapper_;
    // Made only from usable configurations (ones that name a serializer); may be null.
    std::unique_ptr<PresetDocFileManager> soundManager_;
    std::unique_ptr<PresetDocFileManager> midiMappingManager_;
    std::atomic<bool> muted_{false};
    std::unique_ptr<CommonParameters::Master> masterParameters_;
    MidiDeque cycleMidi_;
    // The span gathered calls are rendered in, fixed once an audio I/O attaches: 0 (never) for an
    // engine with inputs or before the attachment.
    unsigned gatheringSpan_ = 0;
    // Frames of gathered render calls not yet rendered, the count at which the clock's span ends
    // (the clock stands still while calls are gathered), and the buffers they render into.
    unsigned gatheredFrames_ = 0;
    unsigned gatheringEnd_ = 0;
    SyncInformation gatheredSync_;
    // Set outside the render thread (recheckRest), cleared once the gathered frames render.
    std::atomic<bool> restRecheck_{false};
    std::vector<float> gatheringBuffer_;
    std::vector<float*> gatheringOutputs_;
    // Held by an attachment while it replaces the parameter blocks, and tried by every render
    // call: a block that finds it taken renders silence instead of reading blocks being freed,
    // so the render thread never waits and never sees a dangling parameter.
    AttachGate attachGate_;
};

} // namespace Lumora
