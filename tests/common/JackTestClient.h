#pragma once

// Test clients of a real JACK server: one sends MIDI at chosen frames of the server's timeline,
// another records two audio inputs with the frame at which the recording began. Header-only, so
// that the tests of every folder can use them. A test that needs the server skips without one,
// and fails instead when CORVANE_REQUIRE_SERVICES=1 (scripts/with-services.sh sets it).
#include <jack/jack.h>
#include <jack/midiport.h>
#include <jack/ringbuffer.h>

#include "tests/common/WaitFor.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace JackTest {

inline bool servicesRequired() {
    const char* value = std::getenv("CORVANE_REQUIRE_SERVICES");
    return value != nullptr && std::string(value) == "1";
}

// The server the suite runs beside; empty for the default one.
inline std::string defaultServer() {
    const char* value = std::getenv("JACK_DEFAULT_SERVER");
    return value ? value : "";
}

inline void quiet(const char*) {}

inline jack_client_t* openClient(const std::string& name, const std::string& server) {
    jack_set_error_function(quiet);
    jack_set_info_function(quiet);
    jack_status_t status{};
    auto options = static_cast<jack_options_t>(JackNoStartServer | JackUseExactName);
    if (server.empty()) return jack_client_open(name.c_str(), options, &status);
    options = static_cast<jack_options_t>(options | JackServerName);
    return jack_client_open(name.c_str(), options, &status, server.c_str());
}

inline bool serverAnswers(const std::string& server) {
    jack_client_t* probe = openClient("corvane-probe-" + std::to_string(getpid()), server);
    if (probe == nullptr) return false;
    jack_client_close(probe);
    return true;
}

using TestWait::waitFor;

// A JACK server of the test's own (a unique name), on the dummy driver; without realtime
// scheduling unless asked (a benchmark measuring callback deadlines asks, as musicians run JACK).
class Server {
public:
    Server(std::string name, unsigned rate, unsigned period, bool realtime = false)
        : name_(std::move(name)), realtime_(realtime) {
        start(rate, period);
    }
    ~Server() { stop(); }
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    bool start(unsigned rate, unsigned period) {
        stop();
        // The child replaces its standard streams: what the parent has buffered must not go
        // out twice.
        std::fflush(nullptr);
        pid_ = fork();
        if (pid_ == 0) {
            const std::string r = std::to_string(rate), p = std::to_string(period);
            setenv("JACK_NO_AUDIO_RESERVATION", "1", 1);
            std::freopen("/dev/null", "w", stdout);
            std::freopen("/dev/null", "w", stderr);
            execlp("jackd", "jackd", realtime_ ? "--realtime" : "--no-realtime", "-n", name_.c_str(), "-d", "dummy",
                   "-r", r.c_str(), "-p", p.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        // Asked from another process: a client opened here while a driver's server is away
        // would make libjack delete that driver's lost client behind its back.
        return pid_ > 0 && waitFor([&] { return answersOutside(); }, std::chrono::seconds(15));
    }
    void stop() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        int status = 0;
        for (int i = 0; i < 500 && waitpid(pid_, &status, WNOHANG) == 0; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (waitpid(pid_, &status, WNOHANG) == 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
        }
        pid_ = -1;
    }
    const std::string& name() const { return name_; }

private:
    bool answersOutside() const {
        std::fflush(nullptr);
        const pid_t probe = fork();
        if (probe == 0) {
            std::freopen("/dev/null", "w", stdout);
            std::freopen("/dev/null", "w", stderr);
            execlp("jack_lsp", "jack_lsp", "-s", name_.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        int status = 0;
        return probe > 0 && waitpid(probe, &status, 0) == probe && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

    std::string name_;
    bool realtime_ = false;
    pid_t pid_ = -1;
};

// Sends three-byte MIDI messages at frames of the server's timeline. A message whose frame has
// passed by the time its cycle runs (a loaded machine may run the test late) goes out at the
// cycle's first frame; stampedFrame tells where each one really went, so that a test measures
// against what the server carried rather than what it asked for.
class Sender {
public:
    bool open(const std::string& name, const std::string& server) {
        client_ = openClient(name, server);
        if (client_ == nullptr) return false;
        port_ = jack_port_register(client_, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
        queue_ = jack_ringbuffer_create(sizeof(Event) * 256);
        jack_set_process_callback(client_, &Sender::processEntry, this);
        return port_ != nullptr && jack_activate(client_) == 0;
    }
    ~Sender() {
        if (client_) jack_client_close(client_);
        if (queue_) jack_ringbuffer_free(queue_);
    }
    std::string portName() const { return jack_port_name(port_); }
    jack_client_t* client() const { return client_; }
    jack_nframes_t now() const { return jack_frame_time(client_); }

    // Events go out in the order given; each at its frame (or at once when that has passed).
    void sendAt(jack_nframes_t frame, uint8_t status, uint8_t data1, uint8_t data2) {
        const Event event{frame, {status, data1, data2}};
        jack_ringbuffer_write(queue_, reinterpret_cast<const char*>(&event), sizeof event);
    }
    // How many events have gone out, and the server frame each one was written at, in order.
    std::size_t sentCount() const { return sent_.load(); }
    jack_nframes_t stampedFrame(std::size_t index) const {
        return index < stamped_.size() ? stamped_[index].load() : 0;
    }
    bool waitUntilSent(std::size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(20)) const {
        return waitFor([&] { return sentCount() >= count; }, timeout);
    }

private:
    struct Event {
        jack_nframes_t frame;
        std::array<uint8_t, 3> bytes;
    };
    static int processEntry(jack_nframes_t frames, void* self) {
        auto* sender = static_cast<Sender*>(self);
        void* buffer = jack_port_get_buffer(sender->port_, frames);
        jack_midi_clear_buffer(buffer);
        const jack_nframes_t start = jack_last_frame_time(sender->client_);
        Event event;
        while (jack_ringbuffer_peek(sender->queue_, reinterpret_cast<char*>(&event), sizeof event) == sizeof event) {
            const auto offset = static_cast<int32_t>(event.frame - start);
            if (offset >= static_cast<int32_t>(frames)) break;
            const auto at = static_cast<jack_nframes_t>(std::max(offset, 0));
            jack_midi_event_write(buffer, at, event.bytes.data(), 3);
            jack_ringbuffer_read_advance(sender->queue_, sizeof event);
            const std::size_t n = sender->sent_.load();
            if (n < sender->stamped_.size()) sender->stamped_[n].store(start + at);
            sender->sent_.store(n + 1);
        }
        return 0;
    }

    jack_client_t* client_ = nullptr;
    jack_port_t* port_ = nullptr;
    jack_ringbuffer_t* queue_ = nullptr;
    std::array<std::atomic<jack_nframes_t>, 256> stamped_{};
    std::atomic<std::size_t> sent_{0};
};

// Records two audio inputs into buffers sized up front, from the cycle after record() on.
class Recorder {
public:
    bool open(const std::string& name, const std::string& server, std::size_t capacityFrames) {
        client_ = openClient(name, server);
        if (client_ == nullptr) return false;
        for (unsigned c = 0; c < 2; ++c) {
            ports_[c] = jack_port_register(client_, ("in_" + std::to_string(c + 1)).c_str(), JACK_DEFAULT_AUDIO_TYPE,
                                           JackPortIsInput, 0);
            channels_[c].assign(capacityFrames, 0.0f);
        }
        cycles_.assign(capacityFrames / 16 + 1, Cycle{});
        jack_set_process_callback(client_, &Recorder::processEntry, this);
        return ports_[0] && ports_[1] && jack_activate(client_) == 0;
    }
    ~Recorder() {
        if (client_) jack_client_close(client_);
    }
    std::string portName(unsigned c) const { return jack_port_name(ports_[c]); }
    jack_client_t* client() const { return client_; }

    void record() {
        recorded_.store(0);
        cycleCount_.store(0);
        startFrame_.store(0);
        recording_.store(true);
    }
    bool waitUntilFull(std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
        return waitFor([&] { return !recording_.load(); }, timeout);
    }
    std::size_t recorded() const { return recorded_.load(); }
    jack_nframes_t startFrame() const { return startFrame_.load(); }
    // The server frame at which the recorded sample was played: a loaded machine may skip cycles,
    // so the recording is not one run of consecutive frames.
    jack_nframes_t frameOf(std::size_t index) const {
        const std::size_t n = cycleCount_.load();
        for (std::size_t i = n; i-- > 0;)
            if (cycles_[i].index <= index) return cycles_[i].frame + static_cast<jack_nframes_t>(index - cycles_[i].index);
        return 0;
    }
    const std::vector<float>& channel(unsigned c) const { return channels_[c]; }

private:
    static int processEntry(jack_nframes_t frames, void* self) {
        auto* recorder = static_cast<Recorder*>(self);
        if (!recorder->recording_.load()) return 0;
        std::size_t at = recorder->recorded_.load();
        const jack_nframes_t frame = jack_last_frame_time(recorder->client_);
        if (at == 0) recorder->startFrame_.store(frame);
        if (const std::size_t n = recorder->cycleCount_.load(); n < recorder->cycles_.size()) {
            recorder->cycles_[n] = Cycle{at, frame};
            recorder->cycleCount_.store(n + 1);
        }
        const std::size_t n = std::min<std::size_t>(frames, recorder->channels_[0].size() - at);
        for (unsigned c = 0; c < 2; ++c) {
            const auto* in = static_cast<const float*>(jack_port_get_buffer(recorder->ports_[c], frames));
            std::memcpy(recorder->channels_[c].data() + at, in, n * sizeof(float));
        }
        recorder->recorded_.store(at + n);
        if (at + n == recorder->channels_[0].size()) recorder->recording_.store(false);
        return 0;
    }

    jack_client_t* client_ = nullptr;
    std::array<jack_port_t*, 2> ports_{};
    struct Cycle {
        std::size_t index = 0;
        jack_nframes_t frame = 0;
    };
    std::array<std::vector<float>, 2> channels_;
    std::vector<Cycle> cycles_;
    std::atomic<std::size_t> cycleCount_{0};
    std::atomic<bool> recording_{false};
    std::atomic<std::size_t> recorded_{0};
    std::atomic<jack_nframes_t> startFrame_{0};
};

} // namespace JackTest
