#include "platform/audio/JackDriver.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <utility>
#include <vector>

#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/transport.h>

namespace Platform {

namespace {

// libjack writes its own complaints to standard error (a missing server is several lines); the
// driver answers with one line of its own instead.
void quiet(const char*) {}

std::string reasonFor(jack_status_t status) {
    if (status & JackServerFailed) {
        return "no JACK server is running (start one, e.g. with qjackctl or `jackd -d alsa`, or use "
               "PipeWire's JACK layer)";
    }
    if (status & JackNameNotUnique) {
        return "a JACK client of that name exists already";
    }
    if (status & JackVersionError) {
        return "the JACK server speaks another protocol version";
    }
    return "the JACK server refused the client (status " + std::to_string(static_cast<int>(status)) + ")";
}

// Every driver of the process, for closeLostClientsBesides (controlling thread only).
std::mutex driversLock;
std::vector<JackDriver*>& drivers() {
    static std::vector<JackDriver*> all;
    return all;
}

bool isChannelOrSystemStatus(uint8_t status) {
    // System exclusive has no place in a three-byte event; data bytes cannot start an event.
    return status >= 0x80 && status != 0xF0 && status != 0xF7;
}

} // namespace

JackDriver::JackDriver(OutputUnit& unit) : unit_(unit) {
    std::lock_guard lock(driversLock);
    drivers().push_back(this);
}

JackDriver::~JackDriver() {
    close();
    std::lock_guard lock(driversLock);
    drivers().erase(std::find(drivers().begin(), drivers().end(), this));
}

bool JackDriver::open(const Options& options, std::string* error) {
    close();
    options_ = options;
    closeLostClientsBesides(this);
    jack_set_error_function(quiet);
    jack_set_info_function(quiet);

    auto flags = static_cast<jack_options_t>(JackNoStartServer | JackUseExactName);
    jack_status_t status{};
    if (options.serverName.empty()) {
        client_ = jack_client_open(options.clientName.c_str(), flags, &status);
    } else {
        flags = static_cast<jack_options_t>(flags | JackServerName);
        client_ = jack_client_open(options.clientName.c_str(), flags, &status, options.serverName.c_str());
    }
    if (client_ == nullptr) {
        if (error) *error = reasonFor(status);
        return false;
    }
    sampleRate_.store(jack_get_sample_rate(client_));
    bufferSize_.store(jack_get_buffer_size(client_));
    serverLost_.store(false);

    jack_set_process_callback(client_, &JackDriver::processEntry, this);
    jack_set_buffer_size_callback(client_, &JackDriver::bufferSizeEntry, this);
    jack_set_sample_rate_callback(client_, &JackDriver::sampleRateEntry, this);
    jack_set_xrun_callback(client_, &JackDriver::xrunEntry, this);
    jack_on_info_shutdown(client_, &JackDriver::shutdownEntry, this);
    jack_set_port_registration_callback(client_, &JackDriver::portRegistrationEntry, this);
    if (!registerPorts(error)) {
        closeClient();
        return false;
    }

    // The owner re-sizes its render resources for another rate now, while nothing renders.
    if (unit_.sampleRate() != sampleRate()) {
        unit_.changeDeviceSampleRate(sampleRate());
    }
    if (willActivate_) willActivate_(sampleRate());
    if (jack_activate(client_) != 0) {
        if (error) *error = "the JACK server did not activate the client";
        closeClient();
        return false;
    }
    if (options.connectOutputs) {
        connectOutputs();
    }
    return true;
}

bool JackDriver::registerPorts(std::string* error) {
    for (unsigned c = 0; c < outputs_.size(); ++c) {
        const std::string name = "out_" + std::to_string(c + 1);
        outputs_[c] = jack_port_register(client_, name.c_str(), JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
    }
    midiInputs_[kSourcesPort] =
        jack_port_register(client_, kSourcesInputName, JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    midiInputs_[kVirtualInputPort] =
        jack_port_register(client_, kVirtualInputName, JACK_DEFAULT_MIDI_TYPE, JackPortIsInput, 0);
    const bool ok = std::all_of(outputs_.begin(), outputs_.end(), [](auto* p) { return p != nullptr; }) &&
                    std::all_of(midiInputs_.begin(), midiInputs_.end(), [](auto* p) { return p != nullptr; });
    if (!ok && error) *error = "the JACK server refused Corvane's ports";
    return ok;
}

void JackDriver::connectOutputs() {
    const auto playback = ports(false, JackPortIsPhysical | JackPortIsInput);
    for (unsigned c = 0; c < outputs_.size() && c < playback.size(); ++c) {
        connect(outputPortName(c), playback[c]);
    }
}

void JackDriver::close() {
    reconnecting_ = false;
    closeClient();
    serverLost_.store(false);
}

// When a client of the process opens while another one's server has gone away, libjack closes and
// deletes that lost client itself, behind its owner's back: the owner's later jack_client_close
// would call into freed memory. So before opening, every driver of the process closes its lost
// client now; its next poll still reports the loss. (A JACK client opened in this process other
// than through a driver does the same, and must wait until the drivers have polled.)
void JackDriver::closeLostClientsBesides(const JackDriver* opening) {
    std::lock_guard lock(driversLock);
    for (JackDriver* driver : drivers()) {
        if (driver != opening) driver->closeIfLost();
    }
}

void JackDriver::closeIfLost() {
    if (client_ != nullptr && serverLost_.load()) closeClient();
}

void JackDriver::closeClient() {
    if (client_ == nullptr) return;
    // A client whose server went away cannot be deactivated, only closed.
    if (!serverLost_.load()) {
        jack_deactivate(client_);
    }
    jack_client_close(client_);
    client_ = nullptr;
    outputs_.fill(nullptr);
    midiInputs_.fill(nullptr);
    sampleRate_.store(0.0);
    bufferSize_.store(0);
    rolling_.store(false);
}

JackDriver::PollResult JackDriver::poll() {
    if (client_ != nullptr && !serverLost_.load()) return PollResult::Running;
    if (serverLost_.load()) {   // still open, or closed early by another driver's open
        closeClient();
        serverLost_.store(false);
        reconnecting_ = true;
        return PollResult::Lost;
    }
    if (!reconnecting_) return PollResult::Closed;
    if (!open(options_)) {
        reconnecting_ = true;   // open() began with close()
        return PollResult::StillLost;
    }
    reconnecting_ = false;
    portsChanged();
    return PollResult::Reconnected;
}

// A client whose server went away is kept until poll() closes it, but asking anything of it reads
// the server's unmapped memory: until then it answers as if closed.
bool JackDriver::answers() const { return client_ != nullptr && !serverLost_.load(std::memory_order_acquire); }

float JackDriver::dspLoad() const { return answers() ? jack_cpu_load(client_) : 0.0f; }

bool JackDriver::realtime() const { return answers() && jack_is_realtime(client_) != 0; }

// Opened with its exact name, the client's name is the one asked for.
std::string JackDriver::clientName() const { return client_ ? options_.clientName : std::string(); }

std::string JackDriver::outputPortName(unsigned channel) const {
    if (!answers() || channel >= outputs_.size() || outputs_[channel] == nullptr) return {};
    return jack_port_name(outputs_[channel]);
}

std::string JackDriver::midiInputPortName(uint8_t port) const {
    if (!answers() || port >= midiInputs_.size() || midiInputs_[port] == nullptr) return {};
    return jack_port_name(midiInputs_[port]);
}

std::vector<std::string> JackDriver::ports(bool midi, unsigned long flags) const {
    std::vector<std::string> names;
    if (!answers()) return names;
    const char** found = jack_get_ports(client_, nullptr, midi ? JACK_DEFAULT_MIDI_TYPE : JACK_DEFAULT_AUDIO_TYPE, flags);
    if (found == nullptr) return names;
    for (const char** p = found; *p != nullptr; ++p) names.emplace_back(*p);
    jack_free(found);
    return names;
}

bool JackDriver::connect(const std::string& source, const std::string& destination) {
    if (!answers()) return false;
    const int result = jack_connect(client_, source.c_str(), destination.c_str());
    return result == 0 || result == EEXIST;
}

bool JackDriver::disconnect(const std::string& source, const std::string& destination) {
    return answers() && jack_disconnect(client_, source.c_str(), destination.c_str()) == 0;
}

void JackDriver::setPortsChangedHandler(std::function<void()> handler) {
    std::lock_guard lock(handlerLock_);
    portsChanged_ = std::move(handler);
}

void JackDriver::portsChanged() {
    std::lock_guard lock(handlerLock_);
    if (portsChanged_) portsChanged_();
}

// ---- transport

JackDriver::Transport JackDriver::transport() const {
    Transport t;
    t.rolling = rolling_.load(std::memory_order_acquire);
    t.hasBarBeat = hasBarBeat_.load(std::memory_order_relaxed);
    t.tempo = tempo_.load(std::memory_order_relaxed);
    t.beat = beat_.load(std::memory_order_relaxed);
    t.barStartBeat = barStartBeat_.load(std::memory_order_relaxed);
    t.beatsPerBar = beatsPerBar_.load(std::memory_order_relaxed);
    t.beatType = beatType_.load(std::memory_order_relaxed);
    t.frame = frame_.load(std::memory_order_relaxed);
    return t;
}

bool JackDriver::transportMoving() const {
    return answers() && jack_transport_query(client_, nullptr) != JackTransportStopped;
}

void JackDriver::startTransport() {
    if (answers()) jack_transport_start(client_);
}

void JackDriver::stopTransport() {
    if (answers()) jack_transport_stop(client_);
}

void JackDriver::locateTransport(uint64_t frame) {
    if (answers()) jack_transport_locate(client_, static_cast<jack_nframes_t>(frame));
}

void JackDriver::readTransport() {
    jack_position_t position;
    const jack_transport_state_t state = jack_transport_query(client_, &position);
    const bool barBeat = (position.valid & JackPositionBBT) != 0 && position.beats_per_minute > 0.0 &&
                         position.beats_per_bar > 0.0f && position.ticks_per_beat > 0.0;
    hasBarBeat_.store(barBeat, std::memory_order_relaxed);
    if (barBeat) {
        // Bars and beats count from 1; the engine counts beats from the song's start.
        const double barStart = static_cast<double>(position.bar - 1) * position.beats_per_bar;
        tempo_.store(position.beats_per_minute, std::memory_order_relaxed);
        barStartBeat_.store(barStart, std::memory_order_relaxed);
        beat_.store(barStart + (position.beat - 1) + position.tick / position.ticks_per_beat,
                    std::memory_order_relaxed);
        beatsPerBar_.store(position.beats_per_bar, std::memory_order_relaxed);
        beatType_.store(static_cast<uint32_t>(position.beat_type), std::memory_order_relaxed);
    }
    frame_.store(position.frame, std::memory_order_relaxed);
    rolling_.store(state == JackTransportRolling, std::memory_order_release);
}

// ---- the process thread

int JackDriver::processEntry(jack_nframes_t frames, void* self) {
    return static_cast<JackDriver*>(self)->process(frames);
}

int JackDriver::process(jack_nframes_t frames) {
    const jack_time_t begin = jack_get_time();
    readTransport();
    renderInto(frames);
    cycles_.fetch_add(1, std::memory_order_relaxed);
    const uint64_t nanos = (jack_get_time() - begin) * 1000;
    if (nanos > worstCallback_.load(std::memory_order_relaxed)) {
        worstCallback_.store(nanos, std::memory_order_relaxed);
    }
    // After the worst: whoever reads this time finds the worst at least as long.
    lastCallback_.store(nanos, std::memory_order_release);
    return 0;
}

void JackDriver::releaseAllNotes() { releases_.request(); }

unsigned JackDriver::gatherMidi(jack_nframes_t frames, uint64_t firstSampleTime) {
    // The releases lead: the stable merge below keeps them before the cycle's events at frame 0.
    unsigned count = releases_.take(events_.data(), firstSampleTime, kSourcesPort);
    for (uint8_t port = 0; port < midiInputs_.size(); ++port) {
        void* buffer = jack_port_get_buffer(midiInputs_[port], frames);
        const uint32_t n = jack_midi_get_event_count(buffer);
        for (uint32_t i = 0; i < n && count < events_.size(); ++i) {
            jack_midi_event_t event;
            if (jack_midi_event_get(&event, buffer, i) != 0 || event.size == 0 ||
                !isChannelOrSystemStatus(event.buffer[0])) {
                continue;
            }
            MidiEvent& e = events_[count++];
            e.sampleTime = firstSampleTime + std::min<jack_nframes_t>(event.time, frames - 1);
            e.status = event.buffer[0];
            e.data1 = event.size > 1 ? event.buffer[1] : 0;
            e.data2 = event.size > 2 ? event.buffer[2] : 0;
            e.port = port;
        }
    }
    // Each port's events come in time order. An insertion sort merges them stably (a port's order
    // holds at equal times) in place: std::stable_sort would ask for a temporary buffer.
    for (unsigned i = 1; i < count; ++i) {
        const MidiEvent moving = events_[i];
        unsigned j = i;
        for (; j > 0 && events_[j - 1].sampleTime > moving.sampleTime; --j) events_[j] = events_[j - 1];
        events_[j] = moving;
    }
    return count;
}

void JackDriver::renderInto(jack_nframes_t frames) {
    std::array<float*, OutputUnit::kChannelCount> out{};
    for (unsigned c = 0; c < out.size(); ++c) {
        out[c] = static_cast<float*>(jack_port_get_buffer(outputs_[c], frames));
    }
    if (!unit_.isRunning()) {
        // The cycle's MIDI has nowhere to go; a requested release waits for the unit to run.
        for (float* channel : out) std::memset(channel, 0, frames * sizeof(float));
        return;
    }
    const uint64_t base = unit_.sampleTime();
    const unsigned eventCount = gatherMidi(frames, base);
    const unsigned slice = std::max(1u, unit_.maximumFramesPerSlice());
    unsigned done = 0;
    unsigned next = 0;
    while (done < frames) {
        const unsigned n = std::min<unsigned>(slice, frames - done);
        const unsigned first = next;
        while (next < eventCount && events_[next].sampleTime < base + done + n) ++next;
        const auto status = unit_.render(n, std::span<const MidiEvent>(events_.data() + first, next - first));
        const bool rendered = status != OutputUnit::Status::NotInitialized && status != OutputUnit::Status::TooManyFrames;
        for (unsigned c = 0; c < out.size(); ++c) {
            if (rendered) {
                std::memcpy(out[c] + done, unit_.channel(c), n * sizeof(float));
            } else {
                std::memset(out[c] + done, 0, n * sizeof(float));
            }
        }
        done += n;
    }
}

// ---- the notification thread

int JackDriver::bufferSizeEntry(jack_nframes_t frames, void* self) {
    // Nothing to re-allocate: the process callback pulls the unit in pieces of its own size.
    static_cast<JackDriver*>(self)->bufferSize_.store(frames, std::memory_order_release);
    return 0;
}

int JackDriver::sampleRateEntry(jack_nframes_t rate, void* self) {
    static_cast<JackDriver*>(self)->sampleRate_.store(rate, std::memory_order_release);
    return 0;
}

int JackDriver::xrunEntry(void* self) {
    static_cast<JackDriver*>(self)->xruns_.fetch_add(1, std::memory_order_relaxed);
    return 0;
}

void JackDriver::shutdownEntry(jack_status_t, const char*, void* self) {
    static_cast<JackDriver*>(self)->serverLost_.store(true, std::memory_order_release);
}

void JackDriver::portRegistrationEntry(jack_port_id_t, int, void* self) {
    static_cast<JackDriver*>(self)->portsChanged();
}

} // namespace Platform
