#include "app/AudioIO_for_iOS_App_Impl.h"

#include <cmath>
#include <cstdio>
#include <string>

#include "app/AudioSessionObserver.h"
#include "engine/audio/iAudioEngine.h"
#include "linkkit/ABLLink.h"
#include "model/product/isDevice_Mac.h"
#include "platform/audio/AudioUnitServices.h"
#include "platform/foundation/Log.h"
#include "platform/midi/MidiSystem.h"
#include "platform/midi/RoutedMidiSource.h"

namespace Lumora {

namespace {

using Platform::AudioErr::None;
using Platform::AudioStatus;
namespace Services = Platform::AudioUnitServices;
namespace IAA = Platform::InterAppAudio;

constexpr double kNewLinkTempo = 120.0;
constexpr double kLinkQuantum = 4.0;
constexpr double kLowestLinkTempo = 20.0;
constexpr double kHighestLinkTempo = 999.0;

void logSessionFailure(const char* call, const Platform::Error& error) {
    Platform::log(std::string("ERROR: ") + call + " [" + error.localizedDescription() + "]");
}

} // namespace

AudioIO_for_iOS_App_Impl::AudioIO_for_iOS_App_Impl(AudioIO_for_iOS_App* owner)
    : owner_(owner), midiClient_(this) {
    inputs_.reserve(Platform::OutputUnit::kChannelCount);
    outputs_.reserve(Platform::OutputUnit::kChannelCount);
}

AudioIO_for_iOS_App_Impl::~AudioIO_for_iOS_App_Impl() {
    // The owner closes first; a unit still open here would keep calling into a freed object.
    if (isOpen()) {
        close();
    }
    if (sessionObserver_) {
        sessionObserver_->dealloc();
    }
}

// ---- MIDI

void AudioIO_for_iOS_App_Impl::didChangeSources(int added) {
    if (iAudioEngine* engine = owner_->audioEngine()) {
        engine->provideNotification(iAudioEngine::MidiSourcesChanged, added);
    }
}

void AudioIO_for_iOS_App_Impl::didReceiveMidi(int status, int data1, int data2, int kind) {
    if (kind == MidiPortSetting::ExternalSource && coreMidiDisabled_.load(std::memory_order_relaxed)) {
        return;
    }
    queue(status, data1, data2);
}

void AudioIO_for_iOS_App_Impl::interAppMidiEvent(void* userData, uint32_t status, uint32_t data1,
                                                 uint32_t data2, uint32_t /*offsetSampleFrame*/) {
    auto* self = static_cast<AudioIO_for_iOS_App_Impl*>(userData);
    self->queue(static_cast<int>(status & 0xFF), static_cast<int>(data1 & 0xFF), static_cast<int>(data2 & 0xFF));
}

void AudioIO_for_iOS_App_Impl::queue(int status, int data1, int data2) {
    std::lock_guard lock(queueLock_);
    if (!midiQueue_.push_back(MidiMessage(status, data1, data2))) {
        droppedMidi_.fetch_add(1, std::memory_order_relaxed);
    }
}

std::uint64_t AudioIO_for_iOS_App_Impl::droppedMidiCount() const {
    return droppedMidi_.load(std::memory_order_relaxed);
}

void AudioIO_for_iOS_App_Impl::reportDroppedMidi() {
    std::lock_guard lock(controlLock_);
    const std::uint64_t dropped = droppedMidiCount();
    if (dropped != reportedDroppedMidi_) {
        Platform::log("MIDI: " + std::to_string(dropped - reportedDroppedMidi_) +
                      " messages dropped, more than a render call holds");
        reportedDroppedMidi_ = dropped;
    }
}

std::size_t AudioIO_for_iOS_App_Impl::queuedMidiCount() const {
    std::lock_guard lock(queueLock_);
    return midiQueue_.size();
}

iAudioIO_for_App::MidiSources AudioIO_for_iOS_App_Impl::midiSources() const {
    return midiClient_.sources();
}

void AudioIO_for_iOS_App_Impl::enableMidiSource(std::int32_t uniqueID, bool enabled) {
    midiClient_.enableSource(uniqueID, enabled);
    // A sound server's or the sequencer's port delivers past the client's read procedure, straight
    // into the render call: an unused one is disconnected there.
    auto endpoint = Platform::MidiSystem::shared().findEndpoint(uniqueID);
    if (auto routed = std::dynamic_pointer_cast<Platform::RoutedMidiSource>(endpoint)) routed->setEnabled(enabled);
}

void AudioIO_for_iOS_App_Impl::setHostCallbacks(const Platform::InterAppAudio::HostCallbackInfo& host) {
    std::lock_guard lock(controlLock_);
    hostCallbacks_.publish(host);
}

void AudioIO_for_iOS_App_Impl::setCoreMidiDisabled(bool disabled) {
    coreMidiDisabled_.store(disabled);
    std::fprintf(stderr, "disableCoreMIDI(%d)\n", disabled ? 1 : 0);
}

// ---- opening and closing

bool AudioIO_for_iOS_App_Impl::fail(const char* call, int status) {
    Platform::log(std::string("ERROR: ") + call + " (" + std::to_string(status) + ")");
    return closeAndFail();
}

bool AudioIO_for_iOS_App_Impl::closeAndFail() {
    closeLocked();
    return false;
}

bool AudioIO_for_iOS_App_Impl::open(unsigned bufferSize, float sampleRate) {
    std::lock_guard lock(controlLock_);
    reportRenderErrors();
    const bool onMac = isDevice_Mac();
    if (audioUnit() != nullptr) {
        closeLocked();
    }

    auto observer = Platform::newObject<AudioSessionObserver>();
    if (!observer || !observer->initWithEngineImpl(this)) {
        return closeAndFail();
    }
    if (sessionObserver_) {
        sessionObserver_->dealloc();
    }
    sessionObserver_ = observer;

    iAudioEngine* engine = owner_->audioEngine();
    const bool hasInput = engine != nullptr && engine->numOfInputChannels() != 0;
    Platform::Error error;
    auto& session = Platform::AudioSession::sharedInstance();
    const auto category = hasInput ? Platform::AudioSession::Category::PlayAndRecord
                                   : Platform::AudioSession::Category::Playback;
    if (!session.setCategory(category, Platform::AudioSession::MixWithOthers, &error)) {
        logSessionFailure("-[AVAudioSession setCategory:withOptions:]", error);
        return closeAndFail();
    }

    if (!setUpUnit(onMac, bufferSize, sampleRate)) {
        return false;
    }

    if (!midiClient_.open(owner_->config().name)) {
        Platform::log("ERROR: open CoreMIDI");
        return closeAndFail();
    }

    ABLLink* link = link_.load();
    if (link == nullptr) {
        link = ABLLinkNew(kNewLinkTempo);
        link_.store(link);
    }
    if (linkActive_.load()) {
        ABLLinkActivate(link, false);
        linkActive_.store(false);
    }

    // Voices and effect buffers are made here, before the unit runs, not by the first render call.
    allocateRenderResourcesFor(sampleRate);
    return true;
}

void AudioIO_for_iOS_App_Impl::allocateRenderResourcesFor(float sampleRate) {
    iAudioEngine* engine = owner_->audioEngine();
    if (engine != nullptr && allocatedSampleRate_ != sampleRate) {
        engine->allocateRenderResources(sampleRate);
        allocatedSampleRate_ = sampleRate;
    }
}

bool AudioIO_for_iOS_App_Impl::setUpUnit(bool onMac, unsigned bufferSize, float sampleRate) {
    const Platform::AudioComponentDescription wanted{Platform::AudioComponents::kOutputType,
                                                     Platform::AudioComponents::kDeviceOutputSubType,
                                                     Platform::AudioComponents::kSystemManufacturer, 0, 0};
    const Platform::AudioComponentDescription* component = Services::findNext(wanted);
    if (component == nullptr) {
        Platform::log("ERROR: AudioComponentFindNext");
        return closeAndFail();
    }
    Platform::OutputUnit* unit = nullptr;
    if (const AudioStatus status = Services::instanceNew(component, &unit)) {
        return fail("AudioComponentInstanceNew", status);
    }
    unit_.store(unit);

    const AudioIO_for_iOS_App::Config& config = owner_->config();
    if (!onMac) {
        const Platform::AudioComponentDescription published{config.type, config.subtype, config.manufacturer, 0, 0};
        if (const AudioStatus status = IAA::publish(unit, published, config.name, config.version)) {
            return fail("AudioOutputUnitPublish", status);
        }
        if (const AudioStatus status = Services::addPropertyListener(
                unit, Platform::OutputUnit::Property::IsInterAppConnected,
                [this](Platform::OutputUnit::Property) { interAppConnectionChanged(); })) {
            return fail("AudioUnitAddPropertyListener > kAudioUnitProperty_IsInterAppConnected", status);
        }
    }

    if (!setAudioFormatLocked(bufferSize, sampleRate)) {
        return false;
    }

    if (const AudioStatus status = Services::addPropertyListener(
            unit, Platform::OutputUnit::Property::StreamFormat,
            [this](Platform::OutputUnit::Property) { streamFormatChanged(); })) {
        return fail("AudioUnitAddPropertyListener > kAudioUnitProperty_StreamFormat", status);
    }

    iAudioEngine* engine = owner_->audioEngine();
    if (engine != nullptr && engine->numOfInputChannels() != 0) {
        if (const AudioStatus status = Services::enableInput(unit, true)) {
            return fail("AudioUnitSetProperty > couldn't enable input on the remote I/O unit", status);
        }
    }

    if (const AudioStatus status = Services::setRenderCallback(
            unit, [this](const Platform::OutputUnit::RenderCall& call) { return render(call); })) {
        return fail("AudioUnitSetProperty > kAudioUnitProperty_SetRenderCallback", status);
    }

    if (!onMac) {
        IAA::HostCallbackInfo host;
        if (const AudioStatus status = IAA::getHostCallbacks(unit, &host)) {
            return fail("AudioUnitGetProperty > kAudioUnitProperty_HostCallbacks", status);
        }
        hostCallbacks_.publish(host);
        const IAA::MidiCallbacks midi{this, &AudioIO_for_iOS_App_Impl::interAppMidiEvent, nullptr};
        if (const AudioStatus status = IAA::setMidiCallbacks(unit, midi)) {
            return fail("AudioUnitSetProperty > kAudioOutputUnitProperty_MIDICallbacks", status);
        }
    }

    if (const AudioStatus status = Services::initialize(unit, bufferSize)) {
        return fail("AudioUnitInitialize", status);
    }
    return true;
}

void AudioIO_for_iOS_App_Impl::close() {
    std::lock_guard lock(controlLock_);
    reportRenderErrors();
    closeLocked();
}

void AudioIO_for_iOS_App_Impl::closeLocked() {
    if (Platform::OutputUnit* unit = audioUnit()) {
        stopLocked();
        Services::uninitialize(unit);
        unit_.store(nullptr);
        Services::dispose(unit);
    }
    // Also after an open that failed before the unit existed: nothing it made stays behind.
    if (sessionObserver_) {
        sessionObserver_->dealloc();
        sessionObserver_.reset();
    }
    hostCallbacks_.publish({});
    sampleRate_.store(0.0f);
    bufferSize_.store(0);
    running_.store(false);
    midiClient_.close();
    if (ABLLink* link = link_.exchange(nullptr)) {
        ABLLinkDelete(link);
    }
    linkActive_.store(false);
}

bool AudioIO_for_iOS_App_Impl::isOpen() const { return audioUnit() != nullptr; }

bool AudioIO_for_iOS_App_Impl::isRunning() const { return audioUnit() != nullptr && running_.load(); }

// ---- starting and stopping

bool AudioIO_for_iOS_App_Impl::start() {
    std::lock_guard lock(controlLock_);
    reportRenderErrors();
    return startLocked();
}

bool AudioIO_for_iOS_App_Impl::startLocked() {
    Platform::Error error;
    if (!Platform::AudioSession::sharedInstance().setActive(true, &error)) {
        logSessionFailure("-[AVAudioSession setActive:error:]", error);
    }
    Platform::OutputUnit* unit = audioUnit();
    bool started = false;
    if (unit != nullptr) {
        // A rate that changed while the unit stood still gets its render resources before it runs;
        // while it runs, the engine renders at the new rate with the resources it has.
        const float rate = sampleRate_.load();
        if (!running_.load() && rate > 0.0f) {
            allocateRenderResourcesFor(rate);
        }
        if (const AudioStatus status = Services::start(unit)) {
            Platform::log("ERROR: AudioOutputUnitStart (" + std::to_string(status) + ")");
        } else {
            started = true;
        }
    }
    running_.store(started);
    followSyncMethodWithLink(syncMethod());
    return started;
}

bool AudioIO_for_iOS_App_Impl::stop() {
    std::lock_guard lock(controlLock_);
    reportRenderErrors();
    return stopLocked();
}

bool AudioIO_for_iOS_App_Impl::stopLocked() {
    if (linkActive_.load()) {
        if (ABLLink* link = link_.load()) {
            ABLLinkActivate(link, false);
        }
        linkActive_.store(false);
    }
    bool stillRunning = false;
    if (Platform::OutputUnit* unit = audioUnit()) {
        if (const AudioStatus status = Services::stop(unit)) {
            Platform::log("ERROR: AudioOutputUnitStop (" + std::to_string(status) + ")");
            stillRunning = true;
        }
    }
    running_.store(stillRunning);
    return !stillRunning;
}

// ---- format

bool AudioIO_for_iOS_App_Impl::setAudioFormat(unsigned bufferSize, float sampleRate) {
    std::lock_guard lock(controlLock_);
    reportRenderErrors();
    return setAudioFormatLocked(bufferSize, sampleRate);
}

bool AudioIO_for_iOS_App_Impl::setAudioFormatLocked(unsigned bufferSize, float sampleRate) {
    if (sampleRate != sampleRate_.load()) {
        Platform::OutputUnit* unit = audioUnit();
        if (const AudioStatus status = Services::setClientSampleRate(unit, sampleRate)) {
            return fail("AudioUnitSetProperty > couldn't set the remote I/O unit's output client format", status);
        }
        iAudioEngine* engine = owner_->audioEngine();
        if (engine != nullptr && engine->numOfInputChannels() != 0) {
            // The input bus shares the unit's client rate.
            if (const AudioStatus status = Services::setClientSampleRate(unit, sampleRate)) {
                return fail("AudioUnitSetProperty > couldn't set the remote I/O unit's input client format", status);
            }
        }
        // The render thread takes the new rate at its next call.
        sampleRate_.store(sampleRate, std::memory_order_release);
    } else if (bufferSize == bufferSize_.load()) {
        return true;
    }

    Platform::Error error;
    const double duration = static_cast<double>(bufferSize) / static_cast<double>(sampleRate);
    if (!Platform::AudioSession::sharedInstance().setPreferredIOBufferDuration(duration, &error)) {
        logSessionFailure("-[AVAudioSession setPreferredIOBufferDuration:error:]", error);
        return closeAndFail();
    }
    bufferSize_.store(bufferSize, std::memory_order_release);
    return true;
}

// ---- sync

SyncMethod AudioIO_for_iOS_App_Impl::syncMethod() const {
    return static_cast<SyncMethod>(syncMethod_.load(std::memory_order_relaxed));
}

void AudioIO_for_iOS_App_Impl::setSyncMethod(SyncMethod method) {
    std::lock_guard lock(controlLock_);
    syncMethod_.store(static_cast<int32_t>(method));
    followSyncMethodWithLink(method);
}

void AudioIO_for_iOS_App_Impl::followSyncMethodWithLink(SyncMethod method) {
    ABLLink* link = link_.load();
    if (link == nullptr) {
        linkActive_.store(false);
        return;
    }
    const bool wanted = method == SyncMethod::Link;
    if (wanted != linkActive_.load()) {
        ABLLinkActivate(link, wanted);
        linkActive_.store(wanted);
    }
}

bool AudioIO_for_iOS_App_Impl::canProposeBpm() const {
    if (syncMethod() != SyncMethod::Host) {
        return true;
    }
    return !hostIsPlaying(hostCallbacks_.current());
}

void AudioIO_for_iOS_App_Impl::proposeBpm(double bpm) {
    tempo_.store(bpm);
    if (isLinkActive()) {
        pendingLinkTempo_.store(bpm);
    }
}

bool AudioIO_for_iOS_App_Impl::isInterAppAudioConnected() const {
    Platform::OutputUnit* unit = audioUnit();
    uint32_t connected = 0;
    return unit != nullptr && IAA::isInterAppConnected(unit, &connected) == None && connected != 0;
}

bool AudioIO_for_iOS_App_Impl::isLinkActive() const {
    return syncMethod() == SyncMethod::Link && activeLink() != nullptr;
}

ABLLink* AudioIO_for_iOS_App_Impl::activeLink() const {
    ABLLink* link = link_.load(std::memory_order_acquire);
    return link != nullptr && linkActive_.load() && ABLLinkUserEnabled(link) ? link : nullptr;
}

bool AudioIO_for_iOS_App_Impl::hostIsPlaying(const IAA::HostCallbackInfo& host) const {
    if (host.hostUserData == nullptr || host.transportStateProc == nullptr || host.beatAndTempoProc == nullptr) {
        return false;
    }
    bool playing = false;
    bool changed = false;
    host.transportStateProc(host.hostUserData, &playing, &changed, nullptr, nullptr, nullptr, nullptr);
    return playing;
}

void AudioIO_for_iOS_App_Impl::fillFromHost(const IAA::HostCallbackInfo& host, SyncInformation& sync) const {
    float numerator = 4.0f;
    uint32_t denominator = 4;
    double downbeat = 0.0;
    if (host.musicalTimeLocationProc != nullptr) {
        host.musicalTimeLocationProc(host.hostUserData, nullptr, &numerator, &denominator, &downbeat);
    }
    double beat = -1.0;
    double tempo = 0.0;
    host.beatAndTempoProc(host.hostUserData, &beat, &tempo);

    sync.state = static_cast<int32_t>(SyncMethod::Host);
    // The clock needs a real time signature: a host that reports none (a numerator below one or
    // a zero denominator) plays in 4/4.
    const double wholeBeats = std::isfinite(numerator) ? std::trunc(static_cast<double>(numerator)) : 0.0;
    if (wholeBeats >= 1.0 && wholeBeats <= 4294967295.0 && denominator != 0) {
        sync.timeSignature = {static_cast<uint32_t>(wholeBeats), denominator};
    } else {
        sync.timeSignature = {4, 4};
    }
    sync.tempo = tempo;
    sync.beatPosition = beat;
    sync.barStartPosition = downbeat;
}

void AudioIO_for_iOS_App_Impl::fillFromLink(ABLLink* link, uint64_t hostTime, double pendingTempo,
                                            SyncInformation& sync) {
    ABLLinkRenderState* state = ABLLinkCaptureRenderState(link);
    if (pendingTempo >= kLowestLinkTempo && pendingTempo <= kHighestLinkTempo) {
        ABLLinkRenderStateChangeTempo(state, hostTime, pendingTempo);
        ABLLinkCommitRenderState(link, state);
    }
    sync.state = static_cast<int32_t>(SyncMethod::Link);
    sync.tempo = ABLLinkRenderStateTempo(state);
    sync.beatPosition = ABLLinkRenderStateBeatAt(state, hostTime, kLinkQuantum);
    sync.barStartPosition = 0.0;
}

SyncInformation AudioIO_for_iOS_App_Impl::makeSyncInformation(uint64_t hostTime) {
    SyncInformation sync;
    sync.state = static_cast<int32_t>(SyncMethod::Internal);
    sync.timeSignature = {4, 4};
    sync.tempo = tempo_.load(std::memory_order_relaxed);
    sync.beatPosition = 0.0;
    sync.barStartPosition = 0.0;
    // Taken and cleared in one step, so that a tempo proposed meanwhile waits for the next call.
    const double pendingTempo = pendingLinkTempo_.exchange(0.0);

    switch (syncMethod()) {
    case SyncMethod::Internal:
        break;
    case SyncMethod::Midi:
        sync.state = static_cast<int32_t>(SyncMethod::Midi);
        break;
    case SyncMethod::Host:
        // One record for the whole call, whatever the main thread publishes meanwhile.
        if (const IAA::HostCallbackInfo& host = hostCallbacks_.current(); hostIsPlaying(host)) {
            fillFromHost(host, sync);
        }
        break;
    case SyncMethod::Link:
        if (ABLLink* link = activeLink()) {
            fillFromLink(link, hostTime, pendingTempo, sync);
        }
        break;
    }
    return sync;
}

// ---- render thread

bool AudioIO_for_iOS_App_Impl::render(const Platform::OutputUnit::RenderCall& call) {
    iAudioEngine* engine = owner_->audioEngine();
    if (engine == nullptr) {
        return true;
    }
    const auto count = static_cast<unsigned>(call.channels.size());
    if (engine->numOfInputChannels() != 0) {
        if (const AudioStatus status = Services::renderInput(audioUnit(), call.channels.data(), count, call.frames)) {
            // Logged later by a control operation: the render thread writes no log.
            renderError_.store(status);
            return false;
        }
    }
    // Within the capacity reserved at construction: no allocation.
    inputs_.resize(count);
    outputs_.resize(count);
    const float rate = sampleRate_.load(std::memory_order_acquire);

    // Messages queued by the MIDI client and the inter-app host go into the first piece. A producer
    // holds the queue's lock for one append only, but the render thread does not wait for it: when
    // it is taken, the queued messages wait for the next call.
    std::unique_lock lock(queueLock_, std::try_to_lock);
    if (lock.owns_lock()) {
        for (const MidiMessage& message : midiQueue_) keepForPiece(message);
        midiQueue_.clear();
        lock.unlock();
    }

    // The driver's timed events split the block at their frames, so each note starts on its frame.
    unsigned done = 0;
    std::size_t next = 0;
    const bool externalDisabled = coreMidiDisabled_.load(std::memory_order_relaxed);
    while (true) {
        for (; next < call.midi.size() && offsetOf(call, call.midi[next]) <= done; ++next) {
            const Platform::MidiEvent& e = call.midi[next];
            if (e.port == MidiPortSetting::ExternalSource && externalDisabled) continue;
            keepForPiece(MidiMessage(e.status, e.data1, e.data2));
        }
        const unsigned end = next < call.midi.size() ? offsetOf(call, call.midi[next]) : call.frames;
        renderPiece(call, done, end - done, rate);
        blockMidi_.clear();
        done = end;
        if (done >= call.frames) break;
    }
    return true;
}

void AudioIO_for_iOS_App_Impl::keepForPiece(const MidiMessage& message) {
    if (!blockMidi_.push_back(message)) {
        droppedMidi_.fetch_add(1, std::memory_order_relaxed);
    }
}

unsigned AudioIO_for_iOS_App_Impl::offsetOf(const Platform::OutputUnit::RenderCall& call, const Platform::MidiEvent& e) {
    // Events before the block play at its start; events beyond it at its last frame.
    if (e.sampleTime <= call.sampleTime) return 0;
    const uint64_t offset = e.sampleTime - call.sampleTime;
    return offset < call.frames ? static_cast<unsigned>(offset) : call.frames - 1;
}

void AudioIO_for_iOS_App_Impl::renderPiece(const Platform::OutputUnit::RenderCall& call, unsigned offset,
                                           unsigned frames, float rate) {
    for (unsigned c = 0; c < inputs_.size(); ++c) {
        inputs_[c] = call.channels[c] + offset;
        outputs_[c] = call.channels[c] + offset;
    }
    const double seconds = rate > 0.0f ? offset / static_cast<double>(rate) : 0.0;
    SyncInformation sync = makeSyncInformation(call.hostTime + static_cast<uint64_t>(seconds * 1e9));
    if (sync.state == static_cast<int32_t>(SyncMethod::Host) && offset > 0) {
        // The host reports its beat at the block's start.
        sync.beatPosition += seconds * sync.tempo / 60.0;
    }
    owner_->renderBlock(inputs_, outputs_, frames, rate, blockMidi_, sync);
}

void AudioIO_for_iOS_App_Impl::reportRenderErrors() {
    reportDroppedMidi();
    if (const int32_t status = renderError_.exchange(0)) {
        Platform::log("au_audioRenderCallback: error " + std::to_string(status));
    }
}

// ---- notifications and listeners

void AudioIO_for_iOS_App_Impl::audioSessionInterruption(int type) {
    if (type == Platform::AudioSession::InterruptionEnded) {
        start();
    } else if (type == Platform::AudioSession::InterruptionBegan) {
        stop();
    }
}

void AudioIO_for_iOS_App_Impl::audioSessionRouteChanged(const Platform::AudioSession::RouteDescription& previous) {
    const auto current = Platform::AudioSession::sharedInstance().currentRoute();
    const bool before = previous.hasOutput(Platform::AudioSession::kPortHeadphones);
    const bool now = current.hasOutput(Platform::AudioSession::kPortHeadphones);
    if (now && !before) {
        Platform::log("Headphones are plugged in.");
    } else if (before && !now) {
        Platform::log("Headphones are unplugged.");
    }
}

void AudioIO_for_iOS_App_Impl::interAppConnectionChanged() {
    std::lock_guard lock(controlLock_);
    stopLocked();
    startLocked();
}

void AudioIO_for_iOS_App_Impl::streamFormatChanged() {
    std::lock_guard lock(controlLock_);
    Platform::OutputUnit* unit = audioUnit();
    if (unit == nullptr) {
        return;
    }
    setAudioFormatLocked(bufferSize_.load(), static_cast<float>(unit->sampleRate()));
}

} // namespace Lumora
