// Corvane in a real LV2 host: jalv on the JACK server loads the bundle from the build folder; one
// JACK client of this test plays a note into it and another records what it answers.

#include <gtest/gtest.h>

#include <jack/jack.h>
#include <jack/midiport.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/foundation/support/ScratchFolder.h"
#include "plugin/lv2/support/JalvProcess.h"
#include "plugin/lv2/support/Lv2TestHost.h"
#include "plugin/lv2/support/Measure.h"

namespace {

using Clock = std::chrono::steady_clock;
using Lv2Test::JalvProcess;
using Lv2Test::readFile;
using Lv2Test::waitFor;

bool servicesRequired() {
    char const* required = std::getenv("CORVANE_REQUIRE_SERVICES");
    return required != nullptr && std::string(required) == "1";
}

// The test's two JACK clients: a sender that plays the note when asked, and a recorder of two
// audio inputs that starts a recording with the cycle the note goes out in. Two, not one: a client
// that both feeds jalv and listens to it closes a loop in the server's graph, which then runs it
// without waiting for jalv, so a cycle in which jalv is late reaches the recording as the last
// cycle's buffer again. In the chain sender -> jalv -> recorder every cycle's recorder waits for
// that cycle's output of jalv, however late the cycle runs. The recording has a fixed length and is
// sized before the clients are activated, so neither callback allocates nor waits.
struct Player {
    static constexpr jack_midi_data_t kKey = 57;

    jack_client_t* sender = nullptr;
    jack_client_t* recorder = nullptr;
    jack_port_t* midiOut = nullptr;
    jack_port_t* in[2] = {nullptr, nullptr};
    std::atomic<bool> playRequested{false};
    std::atomic<int> notesPlayed{0};
    std::vector<float> recorded[2];
    // Frames of the recording written so far, and the note it records; the recorder stops once
    // the recording is full.
    std::atomic<std::size_t> written{0};
    std::atomic<int> recordingOf{0};

    ~Player() { close(); }
    void close() {
        for (jack_client_t** client : {&sender, &recorder}) {
            if (*client == nullptr)
                continue;
            jack_deactivate(*client);
            jack_client_close(*client);
            *client = nullptr;
        }
    }
    void reserve(std::size_t frames) {
        for (auto& channel : recorded)
            channel.assign(frames, 0.0f);
    }
    // Plays the note again (ending the last one first); answers its number.
    int play() {
        int const note = notesPlayed.load() + 1;
        playRequested = true;
        return note;
    }
    bool recordingFull(int note) const {
        return recordingOf.load(std::memory_order_acquire) == note &&
               written.load(std::memory_order_acquire) == recorded[0].size();
    }
    // The ports of every client, for a failure's message.
    std::string allPorts() const {
        std::string text;
        char const** ports = jack_get_ports(sender, nullptr, nullptr, 0);
        for (char const** p = ports; p != nullptr && *p != nullptr; ++p)
            text += std::string(*p) + "\n";
        jack_free(ports);
        return text;
    }

    static int send(jack_nframes_t frames, void* arg) {
        auto* self = static_cast<Player*>(arg);
        void* midi = jack_port_get_buffer(self->midiOut, frames);
        jack_midi_clear_buffer(midi);
        if (self->playRequested.exchange(false)) {
            jack_midi_data_t const off[3] = {0x80, kKey, 0};
            jack_midi_data_t const on[3] = {0x90, kKey, 100};
            if (self->notesPlayed.load() > 0)
                jack_midi_event_write(midi, 0, off, 3);
            jack_midi_event_write(midi, 0, on, 3);
            self->notesPlayed.fetch_add(1, std::memory_order_release);
        }
        return 0;
    }
    static int record(jack_nframes_t frames, void* arg) {
        auto* self = static_cast<Player*>(arg);
        int const note = self->notesPlayed.load(std::memory_order_acquire);
        std::size_t done = self->written.load(std::memory_order_relaxed);
        bool const restart = note != self->recordingOf.load(std::memory_order_relaxed);
        if (restart)
            done = 0;
        std::size_t const n = std::min<std::size_t>(frames, self->recorded[0].size() - done);
        for (int c = 0; c < 2 && n > 0; ++c) {
            auto const* samples = static_cast<float const*>(jack_port_get_buffer(self->in[c], frames));
            std::copy(samples, samples + n, self->recorded[c].begin() + static_cast<std::ptrdiff_t>(done));
        }
        // The new count is published after the recording's first frames, so a test thread that
        // sees it never takes the last recording's end for this one's.
        self->written.store(done + n, std::memory_order_release);
        if (restart)
            self->recordingOf.store(note, std::memory_order_release);
        return 0;
    }
};

} // namespace

TEST(Lv2Jalv, JalvLoadsCorvaneAndANoteSounds) {
    Lv2Test::useBuildBundle();
    Lv2Test::useProgramTemporaryFolder();
    ScratchFolder home{true};
    ScratchFolder temporary;

    jack_status_t status{};
    std::string const self = "corvane-lv2-test-" + std::to_string(::getpid());
    std::string const listener = "corvane-lv2-rec-" + std::to_string(::getpid());
    Player player;
    player.sender = jack_client_open(self.c_str(), JackNoStartServer, &status);
    if (player.sender == nullptr) {
        if (servicesRequired())
            FAIL() << "no JACK server, though CORVANE_REQUIRE_SERVICES=1";
        GTEST_SKIP() << "no JACK server (run inside scripts/with-services.sh)";
    }
    player.recorder = jack_client_open(listener.c_str(), JackNoStartServer, &status);
    ASSERT_NE(player.recorder, nullptr);
    player.midiOut = jack_port_register(player.sender, "midi_out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    player.in[0] = jack_port_register(player.recorder, "in_left", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    player.in[1] = jack_port_register(player.recorder, "in_right", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    ASSERT_NE(player.midiOut, nullptr);
    ASSERT_NE(player.in[1], nullptr);
    double const rate = jack_get_sample_rate(player.sender);
    player.reserve(static_cast<std::size_t>(rate * 1.2));
    jack_set_process_callback(player.sender, &Player::send, &player);
    jack_set_process_callback(player.recorder, &Player::record, &player);
    ASSERT_EQ(jack_activate(player.sender), 0);
    ASSERT_EQ(jack_activate(player.recorder), 0);

    std::string const name = "corvane-jalv-" + std::to_string(::getpid());
    std::string const log = temporary.path() + "/jalv.log";
    std::size_t onset = 0;
    {
#ifdef CORVANE_ASAN_RUNTIME
        std::string const preload = CORVANE_ASAN_RUNTIME;
#else
        std::string const preload;
#endif
        JalvProcess jalv({"jalv", "-x", "-n", name, "urn:corvane:lv2:Corvane"}, log, preload);
        ASSERT_TRUE(jalv.started());
        bool const appeared = waitFor(
            [&] { return jack_port_by_name(player.sender, (name + ":out_right").c_str()) != nullptr || !jalv.running(); },
            std::chrono::seconds(60));
        ASSERT_TRUE(appeared && jalv.running()) << "jalv did not come up:\n" << readFile(log);

        // jalv registers its ports before it activates its client; until then a connection fails.
        auto connect = [&](std::string const& from, std::string const& to) {
            return waitFor([&] { return jack_connect(player.sender, from.c_str(), to.c_str()) == 0; },
                           std::chrono::seconds(30));
        };
        ASSERT_TRUE(connect(self + ":midi_out", name + ":events_in")) << player.allPorts() << readFile(log);
        ASSERT_TRUE(connect(name + ":out_left", listener + ":in_left"));
        ASSERT_TRUE(connect(name + ":out_right", listener + ":in_right"));

        // Connected is not yet playing: the new connections take effect in a later cycle, and
        // jalv may still be setting the plug-in up, so a note sent too early can be lost. The
        // note is played again until one is heard within its recording; under load that can take
        // several tries, and none of them proves less than the first.
        auto const end = Clock::now() + std::chrono::seconds(120);
        bool heard = false;
        while (!heard && Clock::now() < end && jalv.running()) {
            int const note = player.play();
            ASSERT_TRUE(waitFor([&] { return player.recordingFull(note); }, std::chrono::seconds(60)))
                << "the JACK server stopped running the test's clients";
            onset = Lv2Test::firstAbove(player.recorded[0], 1e-4f);
            heard = onset + static_cast<std::size_t>(rate * 0.6) < player.recorded[0].size();
        }
        EXPECT_TRUE(jalv.running()) << readFile(log);
        ASSERT_TRUE(heard) << "no note in " << player.notesPlayed.load() << " recordings\n" << readFile(log);
        jalv.stop();
    }
    player.close();

    std::vector<float> const& left = player.recorded[0];
    EXPECT_TRUE(Lv2Test::allFiniteAndNormal(left));
    EXPECT_TRUE(Lv2Test::allFiniteAndNormal(player.recorded[1]));
    EXPECT_GT(Lv2Test::rms(left, onset, onset + static_cast<std::size_t>(rate * 0.5)), 1e-3);
    EXPECT_NEAR(Lv2Test::fundamentalHz(left, onset + static_cast<std::size_t>(rate * 0.1), 4800, rate), 220.0, 220.0 * 0.02);
}
