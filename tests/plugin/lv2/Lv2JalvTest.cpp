// Corvane in a real LV2 host: jalv on the JACK server loads the bundle from the build folder, a
// JACK client of this test plays a note into it and records what it answers.

#include <gtest/gtest.h>

#include <jack/jack.h>
#include <jack/midiport.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/foundation/support/ScratchFolder.h"
#include "plugin/lv2/support/Lv2TestHost.h"
#include "plugin/lv2/support/Measure.h"

namespace {

using Clock = std::chrono::steady_clock;

bool servicesRequired() {
    char const* required = std::getenv("CORVANE_REQUIRE_SERVICES");
    return required != nullptr && std::string(required) == "1";
}

// jalv as a child process with its own JACK client name; stdin stays open (a pipe) so its console
// keeps running until it is stopped.
class Jalv {
public:
    Jalv(std::string const& name, std::string const& log) {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(fds[0], 0);
            int const out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(out, 1);
            ::dup2(out, 2);
            ::close(fds[1]);
#ifdef CORVANE_ASAN_RUNTIME
            // A sanitized plug-in in a host that is not: the runtime must be loaded first.
            ::setenv("LD_PRELOAD", CORVANE_ASAN_RUNTIME, 1);
            ::setenv("ASAN_OPTIONS", "detect_leaks=0:verify_asan_link_order=0", 1);
#endif
            ::execlp("jalv", "jalv", "-x", "-n", name.c_str(), "urn:corvane:lv2:Corvane", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fds[0]);
        stdin_ = fds[1];
    }
    ~Jalv() { stop(); }

    bool started() const { return pid_ > 0; }
    bool running() {
        if (pid_ <= 0)
            return false;
        int status = 0;
        return ::waitpid(pid_, &status, WNOHANG) == 0;
    }
    void stop() {
        if (pid_ <= 0)
            return;
        ::kill(pid_, SIGTERM);
        auto const end = Clock::now() + std::chrono::seconds(10);
        int status = 0;
        while (::waitpid(pid_, &status, WNOHANG) == 0) {
            if (Clock::now() > end) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, &status, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        ::close(stdin_);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    int stdin_ = -1;
};

// The test's JACK client: a MIDI output that sends one note when asked, and a recorder of two
// audio inputs.
struct Player {
    jack_client_t* client = nullptr;
    jack_port_t* midiOut = nullptr;
    jack_port_t* in[2] = {nullptr, nullptr};
    std::atomic<int> noteState{0}; // 1: send note-on next cycle, 2: sent
    std::atomic<bool> recording{false};
    std::mutex lock;
    std::vector<float> recorded[2];

    ~Player() {
        if (client != nullptr) {
            jack_deactivate(client);
            jack_client_close(client);
        }
    }
    void close() {
        jack_deactivate(client);
        jack_client_close(client);
        client = nullptr;
    }
    // The ports of every client, for a failure's message.
    std::string allPorts() const {
        std::string text;
        char const** ports = jack_get_ports(client, nullptr, nullptr, 0);
        for (char const** p = ports; p != nullptr && *p != nullptr; ++p)
            text += std::string(*p) + "\n";
        jack_free(ports);
        return text;
    }

    static int process(jack_nframes_t frames, void* arg) {
        auto* self = static_cast<Player*>(arg);
        void* midi = jack_port_get_buffer(self->midiOut, frames);
        jack_midi_clear_buffer(midi);
        int expected = 1;
        if (self->noteState.compare_exchange_strong(expected, 2)) {
            jack_midi_data_t const note[3] = {0x90, 57, 100};
            jack_midi_event_write(midi, 0, note, 3);
        }
        if (self->recording.load()) {
            std::unique_lock guard(self->lock, std::try_to_lock);
            if (guard.owns_lock()) {
                for (int c = 0; c < 2; ++c) {
                    auto const* samples = static_cast<float const*>(jack_port_get_buffer(self->in[c], frames));
                    self->recorded[c].insert(self->recorded[c].end(), samples, samples + frames);
                }
            }
        }
        return 0;
    }
};

bool waitFor(std::function<bool()> const& condition, std::chrono::seconds limit) {
    auto const end = Clock::now() + limit;
    while (!condition()) {
        if (Clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

std::string readFile(std::string const& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

TEST(Lv2Jalv, JalvLoadsCorvaneAndANoteSounds) {
    Lv2Test::useBuildBundle();
    Lv2Test::useProgramTemporaryFolder();
    ScratchFolder home{true};
    ScratchFolder temporary;

    jack_status_t status{};
    std::string const self = "corvane-lv2-test-" + std::to_string(::getpid());
    Player player;
    player.client = jack_client_open(self.c_str(), JackNoStartServer, &status);
    if (player.client == nullptr) {
        if (servicesRequired())
            FAIL() << "no JACK server, though CORVANE_REQUIRE_SERVICES=1";
        GTEST_SKIP() << "no JACK server (run inside scripts/with-services.sh)";
    }
    player.midiOut = jack_port_register(player.client, "midi_out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    player.in[0] = jack_port_register(player.client, "in_left", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    player.in[1] = jack_port_register(player.client, "in_right", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    ASSERT_NE(player.midiOut, nullptr);
    jack_set_process_callback(player.client, &Player::process, &player);
    ASSERT_EQ(jack_activate(player.client), 0);
    double const rate = jack_get_sample_rate(player.client);

    std::string const name = "corvane-jalv-" + std::to_string(::getpid());
    std::string const log = temporary.path() + "/jalv.log";
    {
        Jalv jalv(name, log);
        ASSERT_TRUE(jalv.started());
        bool const appeared = waitFor(
            [&] { return jack_port_by_name(player.client, (name + ":out_right").c_str()) != nullptr || !jalv.running(); },
            std::chrono::seconds(60));
        ASSERT_TRUE(appeared && jalv.running()) << "jalv did not come up:\n" << readFile(log);

        // jalv registers its ports before it activates its client; until then a connection fails.
        auto connect = [&](std::string const& from, std::string const& to) {
            return waitFor([&] { return jack_connect(player.client, from.c_str(), to.c_str()) == 0; },
                           std::chrono::seconds(30));
        };
        ASSERT_TRUE(connect(self + ":midi_out", name + ":events_in")) << player.allPorts() << readFile(log);
        ASSERT_TRUE(connect(name + ":out_left", self + ":in_left"));
        ASSERT_TRUE(connect(name + ":out_right", self + ":in_right"));

        player.recording = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        player.noteState = 1;
        ASSERT_TRUE(waitFor(
            [&] {
                std::lock_guard guard(player.lock);
                return player.recorded[0].size() > static_cast<std::size_t>(rate * 1.5);
            },
            std::chrono::seconds(30)));
        player.recording = false;
        EXPECT_TRUE(jalv.running()) << readFile(log);
        jalv.stop();
    }
    player.close();

    std::lock_guard guard(player.lock);
    std::vector<float> const& left = player.recorded[0];
    ASSERT_EQ(player.noteState.load(), 2);
    EXPECT_TRUE(Lv2Test::allFiniteAndNormal(left));
    std::size_t const onset = Lv2Test::firstAbove(left, 1e-4f);
    ASSERT_LT(onset + static_cast<std::size_t>(rate * 0.5), left.size()) << "no note in the recording";
    EXPECT_GT(Lv2Test::rms(left, onset, onset + static_cast<std::size_t>(rate * 0.5)), 1e-3);
    EXPECT_NEAR(Lv2Test::fundamentalHz(left, onset + static_cast<std::size_t>(rate * 0.1), 4800, rate), 220.0, 220.0 * 0.02);
}
