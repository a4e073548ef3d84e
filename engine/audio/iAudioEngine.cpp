#include "engine/audio/iAudioEngine.h"

#include <algorithm>
#include <cmath>

#include "engine/audio/MasterParameters.h"
#include "engine/audio/iAudioEngineObservers.h"
#include "engine/audio/iAudioIO.h"
#include "engine/documents/PresetDocFileManager.h"
#include "engine/parameter/ParameterManager.h"

namespace Lumora {

namespace {

constexpr TimeSignature kFourFour{4, 4};
constexpr double kMinTempo = 20.0;
constexpr double kMaxTempo = 999.0;

// Answered by a render call that meets an attachment in progress.
const iAudioEngine::MidiDeque kNoMidi;
// The inputs of a gathered cycle: an engine with inputs never gathers.
const std::vector<const float*> kNoInputs;

bool followsTimeline(int state) {
    return state == static_cast<int>(SyncMethod::Host) || state == static_cast<int>(SyncMethod::Link);
}

} // namespace

iAudioEngine::iAudioEngine(unsigned numInputs, unsigned numOutputs,
                           const PresetDocFileManagerConfig& soundConfig,
                           const PresetDocFileManagerConfig& midiMappingConfig)
    : numInputs_(numInputs),
      numOutputs_(numOutputs),
      clock_(std::make_unique<Clock>()),
      mapper_(std::make_unique<MidiParamMapper>(this)),
      gatheringBuffer_(static_cast<size_t>(numOutputs) * kMaxGatheringSpan) {
    for (unsigned c = 0; c < numOutputs; ++c) {
        gatheringOutputs_.push_back(gatheringBuffer_.data() + static_cast<size_t>(c) * kMaxGatheringSpan);
    }
    // Only the sound manager's moves concern the engine (notification 1010).
    if (soundConfig) {
        soundManager_ = std::make_unique<PresetDocFileManager>(soundConfig, this);
    }
    if (midiMappingConfig) {
        midiMappingManager_ = std::make_unique<PresetDocFileManager>(midiMappingConfig, nullptr);
    }
}

iAudioEngine::~iAudioEngine() {
    if (audioIO_ != nullptr) {
        audioIO_->engineWillBeDestroyed();
        audioIO_ = nullptr;
    }
    // The master parameters refer to the product's parameter manager, which a subclass owns
    // and has already destroyed; that manager told them it was gone.
    masterParameters_.reset();
    midiMappingManager_.reset();
    soundManager_.reset();
}

// ---- audio I/O

void iAudioEngine::initialize_callFrom_AudioIO(iAudioIO* io) {
    // Waits for a running block to end; blocks that start meanwhile stay silent.
    std::lock_guard attaching(attachGate_);
    audioIO_ = io;
    // The old block leaves the manager before the new one enters it at its defaults.
    masterParameters_.reset();
    masterParameters_ = std::make_unique<CommonParameters::Master>(&parameterManager());
    onInitialize(io);
    // An engine with inputs never gathers: its inputs would go unheard.
    gatheringSpan_ = numInputs_ == 0 ? boundedGatheringSpan() : 0;
    recheckRest();
}

void iAudioEngine::reset() {
    recheckRest();
}

void iAudioEngine::audioIOWillBeDestroyed(iAudioIO* io) {
    if (audioIO_ == io) {
        audioIO_ = nullptr;
    }
}

// ---- channels and timing shift

void iAudioEngine::sendMidi(const MidiMessage& message) {
    std::lock_guard lock(uiMidiLock_);
    uiMidiQueue_.push_back(message);
    uiMidiPending_.store(true, std::memory_order_release);
}

int iAudioEngine::safeMidiChannel() const {
    const int channel = midiInChannel();
    return channel < 0 ? 0 : channel;
}

void iAudioEngine::setMidiInChannel(int channel) {
    midiInChannel_.store(std::clamp(channel, -1, 15), std::memory_order_relaxed);
}

void iAudioEngine::setMidiOutChannel(int channel) {
    midiOutChannel_.store(std::clamp(channel, 0, 15), std::memory_order_relaxed);
}

void iAudioEngine::setTimingShift(float shift) {
    if (std::isnan(shift)) {  // NaN keeps the current shift
        return;
    }
    timingShift_.store(std::clamp(shift, -1.0f, 1.0f), std::memory_order_relaxed);
}

// The master block holds the manager's only parameter of this number; the render thread asks
// every block, where a look-up in the manager's table cost more than the rest of the question.
unsigned iAudioEngine::engineVersion() const {
    const CommonParameters::Master* master = masterParameters_.get();
    return master == nullptr ? 0u : static_cast<unsigned>(master->audioEngineVersion.concreteValue());
}

int iAudioEngine::takeReceivedProgram() {
    if (!programChangeReceived_.exchange(false, std::memory_order_acquire)) {
        return -1;
    }
    // The number is read, not cleared: a program change arriving right now republishes its
    // own number, so clearing here could hand the next taker a 0 that nobody sent.
    return receivedProgram_.load(std::memory_order_relaxed) & 0x7F;
}

// ---- observers

void iAudioEngine::addMidiNoteObserver(MidiObserver* observer) {
    midiObservers_.insert(observer);
}

void iAudioEngine::addNotificationObserver(NotificationObserver* observer) {
    notificationObservers_.insert(observer);
}

void iAudioEngine::provideNotification(NotificationID id, int param) {
    for (NotificationObserver* observer : notificationObservers_) {
        observer->push(id, param);
    }
}

void iAudioEngine::didChangeMidiParamMapperStatus(NotificationID id, int param) {
    provideNotification(id, param);
}

// Almost every cycle has no MIDI: the observers' locks are then not taken at all.
void iAudioEngine::provideMidiMessage(const MidiDeque& midi) {
    if (midi.empty()) {
        return;
    }
    for (MidiObserver* observer : midiObservers_) {
        observer->push(midi);
    }
}

void iAudioEngine::didChangeDirectory(const PresetDocFileManager* manager, const std::string&) {
    if (manager != nullptr && manager == soundManager_.get()) {
        provideNotification(PresetDirectoryChanged, 0);
    }
}

// ---- the render cycle

const iAudioEngine::MidiDeque& iAudioEngine::midiProcess(unsigned, float, const Clock&,
                                                         const MidiDeque& midi) {
    return midi;
}

void iAudioEngine::audioProcess(const std::vector<const float*>&, const std::vector<float*>&,
                                unsigned, float, const Clock&, const MidiDeque&) {}

// Channel messages pass only on the selected input channel; system messages always pass. Into
// an empty cycleMidi_.
void iAudioEngine::filterInput(const MidiDeque& midi) {
    filterInto(midi);
}

void iAudioEngine::filterInput(const MidiMessageRing& midi) {
    filterInto(midi);
}

template <class Messages>
void iAudioEngine::filterInto(const Messages& midi) {
    const int channel = midiInChannel();
    for (const MidiMessage& m : midi) {
        if (channel < 0 || m.isSystem() || m.channel() == channel) {
            cycleMidi_.push_back(m);
        }
    }
}

// The screens' messages are not filtered. A try-lock keeps the render thread from waiting on
// the main thread: a queue that is busy now is drained whole in a later cycle.
void iAudioEngine::drainScreenMidi() {
    std::unique_lock lock(uiMidiLock_, std::try_to_lock);
    if (!lock.owns_lock()) {
        return;
    }
    for (const MidiMessage& m : uiMidiQueue_) {
        cycleMidi_.push_back(m);
    }
    uiMidiQueue_.clear();
    uiMidiPending_.store(false, std::memory_order_relaxed);
}

iAudioEngine::ScanResult iAudioEngine::scan() {
    ScanResult result;
    for (const MidiMessage& m : cycleMidi_) {
        switch (m.kind()) {
        case 0xF8:
            ++result.ticks;
            break;
        case 0xFA:
            result.start = true;
            break;
        case 0xB0:
            if (m.data1() == 120 || m.data1() == 123) {
                result.allNotesOff = true;
            }
            break;
        case 0xC0:
            // The number is published before the flag, so a reader that sees the flag sees it.
            receivedProgram_.store(m.data1() & 0x7F, std::memory_order_relaxed);
            programChangeReceived_.store(true, std::memory_order_release);
            break;
        default:
            break;
        }
    }
    return result;
}

void iAudioEngine::syncClockPre(const SyncInformation& sync, const ScanResult& scanned) {
    // A tempo that is not a number would pass the limits and leave the clock's position, and
    // every position after it, not a number: the clock keeps the tempo it has.
    const double tempo = std::isnan(sync.tempo) ? clock_->bpm()
                                                : std::clamp(sync.tempo, kMinTempo, kMaxTempo);
    const bool restart = scanned.start || followsTimeline(previousSyncState_);
    if (followsTimeline(sync.state)) {
        clock_->hostSync_pre(sync.timeSignature, tempo, sync.beatPosition, sync.barStartPosition);
    } else if (sync.state == static_cast<int>(SyncMethod::Midi)) {
        clock_->midiSync_pre(kFourFour, tempo, restart, scanned.ticks);
    } else {
        clock_->internalSync_pre(kFourFour, tempo, restart);
    }
    previousSyncState_ = sync.state;
}

void iAudioEngine::syncClockPost(int state, unsigned frames, float sampleRate) {
    if (followsTimeline(state)) {
        clock_->hostSync_post(frames, sampleRate);
    } else if (state == static_cast<int>(SyncMethod::Midi)) {
        clock_->midiSync_post(frames, sampleRate);
    } else {
        clock_->internalSync_post(frames, sampleRate);
    }
}

void iAudioEngine::notifyClock() {
    if (clock_->isTriggered_16()) {
        provideNotification(SixteenthTick, clock_->beat16());
    }
    if (clock_->isTempoChanged()) {
        provideNotification(TempoChanged, static_cast<int>(clock_->bpm() * 100.0));
    }
}

// An idle engine at short blocks would spend nearly all its time on the cycle's fixed work: the
// clock, the groove clock, the settings, the LFO steps. While nothing can sound until a message
// comes, short calls only clear their outputs and the cycle runs once per span of the clock's
// sample count, over the frames gathered, exactly as a host's call of that length would. A message,
// a change of sync or tempo, or anything else that ends the rest renders the gathered frames
// first, so the call after them starts at its own sample time.
template <class Messages>
const iAudioEngine::MidiDeque& iAudioEngine::renderCycle(
    const std::vector<const float*>& inputs, const std::vector<float*>& outputs, unsigned frames,
    float sampleRate, const Messages& midi, const SyncInformation& sync) {
    std::unique_lock attached(attachGate_, std::try_to_lock);
    if (!attached.owns_lock()) {
        clearOutputs(outputs, frames);
        return kNoMidi;
    }
    if (mayGather(frames, midi, sync)) {
        clearOutputs(outputs, frames);
        // Most gathered calls neither start a span nor end one.
        if (gatheredFrames_ != 0 && gatheredFrames_ + frames < gatheringEnd_) {
            gatheredFrames_ += frames;
        } else {
            gather(frames, sampleRate, sync);
        }
        return kNoMidi;
    }
    if (gatheredFrames_ != 0) {
        renderGathered(sampleRate);
    }
    // Clearing walks the messages' destructors even when there are none.
    if (!cycleMidi_.empty()) {
        cycleMidi_.clear();
    }
    if (!midi.empty()) {
        filterInput(midi);
    }
    // Most cycles find nothing sent: the flag spares them the lock.
    if (uiMidiPending_.load(std::memory_order_acquire)) {
        drainScreenMidi();
    }
    return runCycle(inputs, outputs, frames, sampleRate, sync);
}

const iAudioEngine::MidiDeque& iAudioEngine::runCycle(const std::vector<const float*>& inputs,
                                                      const std::vector<float*>& outputs, unsigned frames,
                                                      float sampleRate, const SyncInformation& sync) {
    const ScanResult scanned = scan();
    if (scanned.allNotesOff) {
        allNoteOff();
    }
    syncClockPre(sync, scanned);
    notifyClock();

    const MidiDeque& processed = midiProcess(frames, sampleRate, *clock_, cycleMidi_);
    mapper_->process(processed, &parameterManager());
    audioProcess(inputs, outputs, frames, sampleRate, *clock_, processed);
    if (isMuted()) {
        clearOutputs(outputs, frames);
    }
    provideMidiMessage(processed);
    syncClockPost(sync.state, frames, sampleRate);
    return processed;
}

// An idle call at 32 frames costs a few hundred instructions, of which asking every part of the
// engine whether it rests was a good part. A later call of a span asks only what another thread
// can change: nothing has rendered since the first, and the clock has stood still, so the tempo
// that call brought keeps it.
template <class Messages>
bool iAudioEngine::mayGather(unsigned frames, const Messages& midi, const SyncInformation& sync) const {
    constexpr auto internal = static_cast<int>(SyncMethod::Internal);
    if (!(frames < gatheringSpan_ && midi.empty() && sync.state == internal && previousSyncState_ == internal &&
          !uiMidiPending_.load(std::memory_order_acquire))) {
        return false;
    }
    if (gatheredFrames_ != 0 && !restRecheck_.load(std::memory_order_relaxed)) {
        return (sync.tempo == gatheredSync_.tempo || keepsTempo(sync.tempo)) && stillRestsUntilMidi();
    }
    return keepsTempo(sync.tempo) && restsUntilMidi();
}

// A tempo that is not a number keeps the clock's (syncClockPre).
bool iAudioEngine::keepsTempo(double tempo) const {
    return std::isnan(tempo) || std::clamp(tempo, kMinTempo, kMaxTempo) == clock_->bpm();
}

// The gathered frames never exceed a span: calls whose lengths do not divide it render what they
// gathered before they would overrun it. The sync information is the first call's: at internal sync
// and the clock's tempo, every gathered call would set the clock alike.
void iAudioEngine::gather(unsigned frames, float sampleRate, const SyncInformation& sync) {
    const unsigned span = gatheringSpan_;
    if (gatheredFrames_ + frames > span) {
        renderGathered(sampleRate);
    }
    if (gatheredFrames_ == 0) {
        gatheringEnd_ = span - static_cast<unsigned>(clock_->sampleTime() % span);
        gatheredSync_ = sync;
    }
    gatheredFrames_ += frames;
    if (gatheredFrames_ >= gatheringEnd_) {
        renderGathered(sampleRate);
    }
}

void iAudioEngine::renderGathered(float sampleRate) {
    restRecheck_.store(false, std::memory_order_relaxed);
    if (gatheredFrames_ == 0) {
        return;
    }
    const unsigned frames = gatheredFrames_;
    gatheredFrames_ = 0;
    if (!cycleMidi_.empty()) {
        cycleMidi_.clear();
    }
    runCycle(kNoInputs, gatheringOutputs_, frames, sampleRate, gatheredSync_);
}

const iAudioEngine::MidiDeque& iAudioEngine::renderBlock_callFrom_AudioIO(
    const std::vector<const float*>& inputs, const std::vector<float*>& outputs, unsigned frames,
    float sampleRate, const MidiDeque& midi, const SyncInformation& sync) {
    return renderCycle(inputs, outputs, frames, sampleRate, midi, sync);
}

const iAudioEngine::MidiDeque& iAudioEngine::renderBlock_callFrom_AudioIO(
    const std::vector<const float*>& inputs, const std::vector<float*>& outputs, unsigned frames,
    float sampleRate, const MidiMessageRing& midi, const SyncInformation& sync) {
    return renderCycle(inputs, outputs, frames, sampleRate, midi, sync);
}

} // namespace Lumora
