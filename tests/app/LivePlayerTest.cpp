// The app playing live: the real engine behind the JACK driver, fed by a test client's MIDI port
// (found as a MIDI source and routed by the app's own MIDI client) and recorded by another; the
// ALSA fallback into the "null" device; and the program's live mode ending on a signal.
#include "app/LivePlayer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/AudioIO_for_iOS_App.h"
#include "app/AudioIO_for_iOS_App_Impl.h"
#include "app/support/AppShellTestSupport.h"
#include "common/JackTestClient.h"
#include "model/core/Lumora_Core.h"
#include "model/core/Lumora_CoreObservers.h"
#include "platform/audio/AlsaDriver.h"
#include "platform/audio/JackDriver.h"
#include "platform/midi/AlsaSequencer.h"
#include "platform/midi/JackMidiSources.h"
#include "synthesis/dsp/common/SignalAnalysis.h"

using namespace AppShellTest;
using AppShell::LivePlayer;

namespace {

std::string unique(const char* what) { return std::string(what) + "-" + std::to_string(getpid()); }

double rmsOf(const std::vector<float>& x, std::size_t from, std::size_t to) {
    return DspTest::rms(x.data() + from, std::min(to, x.size()) - from);
}

// The first recorded sample played at or after the server frame (the recording's size if none).
std::size_t indexOfFrame(const JackTest::Recorder& recorder, jack_nframes_t frame) {
    std::size_t low = 0, high = recorder.recorded();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        if (static_cast<int32_t>(recorder.frameOf(middle) - frame) < 0) low = middle + 1;
        else high = middle;
    }
    return low;
}

// A server of the test's own must answer; only a machine without jackd, outside CI, may skip.
#define REQUIRE_OWN_SERVER(own)                                                  \
    if (!JackTest::serverAnswers((own).name())) {                                \
        if (JackTest::servicesRequired()) FAIL() << "jackd could not be started"; \
        GTEST_SKIP() << "jackd could not be started";                            \
    }

class LivePlay : public AppShellFixture {
protected:
    // The app through that server only, its outputs left for the test to connect.
    static LivePlayer::Options onServer(const std::string& server, const std::string& client) {
        LivePlayer::Options options;
        options.clientName = client;
        options.jackServer = server;
        options.connectOutputs = false;
        options.allowAlsa = false;
        return options;
    }

    LaunchedApp& activeApp() {
        LaunchedApp& app = launch();
        EXPECT_TRUE(app.launched);
        app.application->becomeActive();
        Platform::RunLoop::main().runOnce();
        return app;
    }
};

} // namespace

// The live tests play on JACK servers of their own: the app connects every MIDI port it finds, so
// on a server shared with other tests it would also play their notes.

// A note-on from another program's MIDI port starts the engine's note on the event's frame, at
// its pitch and a sound level; after the note-off and the release it fades away.
TEST_F(LivePlay, ANoteFromAJackMidiPortSoundsAtItsFrameAndPitch) {
    JackTest::Server own(unique("corvane-live-server"), 48000, 256);
    const std::string server = own.name();
    REQUIRE_OWN_SERVER(own);
    LaunchedApp& app = activeApp();
    LivePlayer player(*app.delegate->audioIO());
    std::string message;
    ASSERT_EQ(player.start(onServer(server, unique("corvane-live")), message), LivePlayer::Backend::Jack) << message;
    Platform::JackDriver& driver = *player.jack();
    const double rate = driver.sampleRate();

    JackTest::Sender keyboard;
    JackTest::Recorder recorder;
    ASSERT_TRUE(keyboard.open(unique("corvane-live-keyboard"), server));
    ASSERT_TRUE(recorder.open(unique("corvane-live-recorder"), server, static_cast<std::size_t>(rate * 4)));
    for (unsigned c = 0; c < 2; ++c) ASSERT_TRUE(driver.connect(driver.outputPortName(c), recorder.portName(c)));
    // The app's MIDI client connects to the new source, which routes the port into Corvane.
    const std::string midiIn = driver.midiInputPortName(Platform::JackDriver::kSourcesPort);
    jack_port_t* keyboardPort = jack_port_by_name(keyboard.client(), keyboard.portName().c_str());
    ASSERT_TRUE(JackTest::waitFor([&] {
        Platform::RunLoop::main().runOnce();
        return jack_port_connected_to(keyboardPort, midiIn.c_str()) != 0;
    })) << "the keyboard's port was not routed into " << midiIn;

    recorder.record();
    ASSERT_TRUE(JackTest::waitFor([&] { return recorder.recorded() > 0; }));
    // Asked for a few blocks ahead, but a loaded machine may queue it late: the frame the keyboard
    // really stamped is what the note must start on. The note-off is timed from that frame.
    keyboard.sendAt(recorder.startFrame() + 8 * driver.bufferSize() + 51, 0x90, 69, 100);
    ASSERT_TRUE(keyboard.waitUntilSent(1));
    const jack_nframes_t noteOn = keyboard.stampedFrame(0);
    keyboard.sendAt(noteOn + static_cast<jack_nframes_t>(0.4 * rate), 0x80, 69, 0);
    ASSERT_TRUE(keyboard.waitUntilSent(2));
    const jack_nframes_t noteOff = keyboard.stampedFrame(1);
    // The main loop runs meanwhile, as in the program, for the model's timer.
    ASSERT_TRUE(JackTest::waitFor([&] {
        Platform::RunLoop::main().runOnce();
        return recorder.recorded() == recorder.channel(0).size();
    }, std::chrono::seconds(30)));

    const auto& left = recorder.channel(0);
    std::size_t first = 0;
    while (first < left.size() && left[first] == 0.0f) ++first;
    ASSERT_LT(first, left.size()) << "nothing sounded";
    // Silence (exact zeros from the resting chain) up to the event; sound within its first frames.
    EXPECT_GE(recorder.frameOf(first), noteOn);
    EXPECT_LE(recorder.frameOf(first), noteOn + 8);

    const auto from = first + static_cast<std::size_t>(0.1 * rate);
    const auto to = first + static_cast<std::size_t>(0.35 * rate);
    const std::vector<float> held(left.begin() + from, left.begin() + to);
    EXPECT_TRUE(DspTest::allClean(left));
    EXPECT_GT(DspTest::rms(held), 0.01);
    const double at = DspTest::amplitudeAt(held, 440.0, rate);
    EXPECT_GT(at, 3.0 * DspTest::amplitudeAt(held, 440.0 * std::pow(2.0, 1.0 / 12), rate));
    EXPECT_GT(at, 3.0 * DspTest::amplitudeAt(held, 440.0 / std::pow(2.0, 1.0 / 12), rate));
    // Released: well after the note-off only the tail of the release is left.
    const std::size_t released = indexOfFrame(recorder, noteOff + static_cast<jack_nframes_t>(0.8 * rate));
    ASSERT_LT(released + static_cast<std::size_t>(0.1 * rate), left.size()) << "the recording ended before the release";
    EXPECT_LT(rmsOf(left, released, released + static_cast<std::size_t>(0.1 * rate)), 0.25 * DspTest::rms(held));
    player.stop();
}

namespace {

// What the model hands its screens: the engine's processed MIDI, on the main loop's timer.
struct ScreenMidi : Lumora_Midi_Observer {
    explicit ScreenMidi(std::shared_ptr<Lumora_Core> core) : core(std::move(core)) { this->core->addMidiObserver(this); }
    ~ScreenMidi() override { core->removeMidiObserver(this); }
    ScreenMidi(const ScreenMidi&) = delete;
    ScreenMidi& operator=(const ScreenMidi&) = delete;
    void receiveMidi(Lumora::MidiMessage const* message) override { seen.push_back(*message); }
    bool saw(int kind, int data1) const {
        return std::any_of(seen.begin(), seen.end(), [&](const auto& m) { return m.kind() == kind && m.data1() == data1; });
    }
    std::shared_ptr<Lumora_Core> core;
    std::vector<Lumora::MidiMessage> seen;
};

} // namespace

// A keyboard program that vanishes with a key down (killed, unplugged) never sends its note-off:
// the note is released all the same, and the screens hear All Notes Off to darken its key.
TEST_F(LivePlay, ANoteOfAKeyboardThatVanishesMidNoteIsReleased) {
    JackTest::Server own(unique("corvane-live-server"), 48000, 256);
    const std::string server = own.name();
    REQUIRE_OWN_SERVER(own);
    LaunchedApp& app = activeApp();
    ScreenMidi screen(app.delegate->core());
    LivePlayer player(*app.delegate->audioIO());
    std::string message;
    ASSERT_EQ(player.start(onServer(server, unique("corvane-vanish")), message), LivePlayer::Backend::Jack) << message;
    Platform::JackDriver& driver = *player.jack();
    const double rate = driver.sampleRate();

    auto keyboard = std::make_unique<JackTest::Sender>();
    JackTest::Recorder recorder;
    ASSERT_TRUE(keyboard->open(unique("corvane-vanishing-keyboard"), server));
    ASSERT_TRUE(recorder.open(unique("corvane-vanish-recorder"), server, static_cast<std::size_t>(rate * 4)));
    for (unsigned c = 0; c < 2; ++c) ASSERT_TRUE(driver.connect(driver.outputPortName(c), recorder.portName(c)));
    const std::string midiIn = driver.midiInputPortName(Platform::JackDriver::kSourcesPort);
    const std::string keyboardName = keyboard->portName();
    jack_port_t* keyboardPort = jack_port_by_name(keyboard->client(), keyboardName.c_str());
    ASSERT_TRUE(JackTest::waitFor([&] {
        Platform::RunLoop::main().runOnce();
        return jack_port_connected_to(keyboardPort, midiIn.c_str()) != 0;
    }));

    recorder.record();
    ASSERT_TRUE(JackTest::waitFor([&] { return recorder.recorded() > 0; }));
    keyboard->sendAt(recorder.startFrame(), 0x90, 69, 100);
    ASSERT_TRUE(keyboard->waitUntilSent(1));
    const jack_nframes_t noteOn = keyboard->stampedFrame(0);
    // Held for a while, then the keyboard's client is gone; the sources follow on the main loop.
    ASSERT_TRUE(JackTest::waitFor([&] {
        Platform::RunLoop::main().runOnce();
        return recorder.recorded() > indexOfFrame(recorder, noteOn + static_cast<jack_nframes_t>(0.35 * rate));
    }));
    keyboard.reset();
    ASSERT_TRUE(JackTest::waitFor([&] {
        Platform::RunLoop::main().runOnce();
        return player.midiSources()->source(keyboardName) == nullptr;
    }));
    const jack_nframes_t gone = jack_frame_time(recorder.client());
    ASSERT_TRUE(JackTest::waitFor([&] {
        Platform::RunLoop::main().runOnce();
        return recorder.recorded() == recorder.channel(0).size();
    }, std::chrono::seconds(30)));
    // Sound: the held note goes the way of a note-off, quickly.
    const auto& left = recorder.channel(0);
    const std::size_t on = indexOfFrame(recorder, noteOn);
    const double held = rmsOf(left, on + static_cast<std::size_t>(0.1 * rate), on + static_cast<std::size_t>(0.3 * rate));
    EXPECT_GT(held, 0.01);
    const std::size_t released = indexOfFrame(recorder, gone + static_cast<jack_nframes_t>(0.2 * rate));
    ASSERT_LT(released + static_cast<std::size_t>(0.1 * rate), left.size()) << "the recording ended before the release";
    EXPECT_LT(rmsOf(left, released, released + static_cast<std::size_t>(0.1 * rate)), 0.25 * held);
    EXPECT_TRUE(DspTest::allClean(left));

    // Screens: the model's timer tells them, after the note itself.
    EXPECT_TRUE(JackTest::waitFor([&] {
        Platform::RunLoop::main().runOnce();
        return screen.saw(0xB0, 123);
    }));
    EXPECT_TRUE(screen.saw(0x90, 69));
    player.stop();
}

// The same with the keyboard program killed outright (SIGKILL, as a crash or an unplugged device
// leaves it): the server may still list its port for a moment after it can no longer be
// connected, and the note is released all the same.
TEST_F(LivePlay, ANoteOfAKeyboardProgramKilledMidNoteIsReleased) {
    JackTest::Server own(unique("corvane-kill-server"), 48000, 256);
    const std::string server = own.name();
    REQUIRE_OWN_SERVER(own);
    LaunchedApp& app = activeApp();
    LivePlayer player(*app.delegate->audioIO());
    std::string message;
    ASSERT_EQ(player.start(onServer(server, unique("corvane-kill")), message), LivePlayer::Backend::Jack) << message;
    Platform::JackDriver& driver = *player.jack();
    const double rate = driver.sampleRate();
    JackTest::Recorder recorder;
    ASSERT_TRUE(recorder.open(unique("corvane-kill-recorder"), server, static_cast<std::size_t>(rate * 30)));
    for (unsigned c = 0; c < 2; ++c) ASSERT_TRUE(driver.connect(driver.outputPortName(c), recorder.portName(c)));
    recorder.record();

    // jack_midiseq holds E4 from 3 s into a 20 s loop (time enough for the app to connect its
    // port first) for 16 s.
    const std::string keyboardClient = unique("corvane-killed-keyboard");
    const pid_t keyboard = ::fork();
    ASSERT_GE(keyboard, 0);
    if (keyboard == 0) {
        ::setenv("JACK_DEFAULT_SERVER", server.c_str(), 1);
        const int devnull = ::open("/dev/null", O_WRONLY);
        ::dup2(devnull, 1);
        ::dup2(devnull, 2);
        ::execlp("jack_midiseq", "jack_midiseq", keyboardClient.c_str(), "960000", "144000", "64", "800000", nullptr);
        ::_exit(127);
    }
    const auto held = [&](std::size_t end) {
        return end > static_cast<std::size_t>(0.1 * rate) ? rmsOf(recorder.channel(0), end - static_cast<std::size_t>(0.1 * rate), end) : 0.0;
    };
    const bool sounded = JackTest::waitFor([&] {
        Platform::RunLoop::main().runOnce();
        return held(recorder.recorded()) > 0.002;   // velocity 64 with the default sound is quiet
    }, std::chrono::seconds(20));
    // Past the attack before the level is taken.
    const std::size_t attacked = recorder.recorded() + static_cast<std::size_t>(0.3 * rate);
    JackTest::waitFor([&] { Platform::RunLoop::main().runOnce(); return recorder.recorded() >= attacked; });
    const double level = held(recorder.recorded());
    ::kill(keyboard, SIGKILL);
    ::waitpid(keyboard, nullptr, 0);
    ASSERT_TRUE(sounded) << "the keyboard program's note never sounded";
    EXPECT_GT(level, 0.002);
    ASSERT_TRUE(JackTest::waitFor([&] {
        Platform::RunLoop::main().runOnce();
        return player.midiSources()->source(keyboardClient + ":out") == nullptr;
    }));
    const jack_nframes_t gone = jack_frame_time(recorder.client());
    const jack_nframes_t checked = gone + static_cast<jack_nframes_t>(0.3 * rate);
    ASSERT_TRUE(JackTest::waitFor([&] {
        Platform::RunLoop::main().runOnce();
        return recorder.recorded() > indexOfFrame(recorder, checked) + static_cast<std::size_t>(0.1 * rate);
    }, std::chrono::seconds(30)));
    const std::size_t released = indexOfFrame(recorder, checked);
    EXPECT_LT(rmsOf(recorder.channel(0), released, released + static_cast<std::size_t>(0.1 * rate)), 0.25 * level);
    player.stop();
}

namespace {

// Records a held A4 from the app through the server and answers its frequency by zero crossings,
// checking on the way that it is A4 and not a semitone off at the server's rate. Only the longest
// run of consecutive server frames past the attack is measured: a loaded machine may skip cycles.
double recordedPitchOfA4(Lumora::AudioIO_for_iOS_App& io, Platform::JackDriver& driver, const std::string& server) {
    const double rate = driver.sampleRate();
    JackTest::Recorder recorder;
    EXPECT_TRUE(recorder.open(unique("corvane-rate-recorder"), server, static_cast<std::size_t>(rate * 0.8)));
    EXPECT_EQ(jack_get_sample_rate(recorder.client()), static_cast<jack_nframes_t>(rate));
    for (unsigned c = 0; c < 2; ++c) EXPECT_TRUE(driver.connect(driver.outputPortName(c), recorder.portName(c)));
    io.impl().didReceiveMidi(0x90, 69, 100, Lumora::MidiPortSetting::VirtualDestination);
    recorder.record();
    EXPECT_TRUE(JackTest::waitFor([&] {
        Platform::RunLoop::main().runOnce();
        return recorder.recorded() == recorder.channel(0).size();
    }, std::chrono::seconds(30)));
    io.impl().didReceiveMidi(0x80, 69, 0, Lumora::MidiPortSetting::VirtualDestination);
    const std::vector<float>& all = recorder.channel(0);
    EXPECT_TRUE(DspTest::allClean(all));
    std::size_t best = 0, bestLength = 0;
    for (std::size_t from = static_cast<std::size_t>(rate * 0.2), i = from + 1; i <= all.size(); ++i) {
        if (i == all.size() || recorder.frameOf(i) != recorder.frameOf(i - 1) + 1) {
            if (i - from > bestLength) best = from, bestLength = i - from;
            from = i;
        }
    }
    EXPECT_GE(bestLength, static_cast<std::size_t>(rate * 0.1)) << "too few consecutive frames recorded";
    const std::vector<float> held(all.begin() + static_cast<std::ptrdiff_t>(best),
                                  all.begin() + static_cast<std::ptrdiff_t>(best + bestLength));
    EXPECT_GT(DspTest::rms(held), 0.01);
    const double at = DspTest::amplitudeAt(held, 440.0, rate);
    EXPECT_GT(at, 3.0 * DspTest::amplitudeAt(held, 440.0 * std::pow(2.0, 1.0 / 12), rate));
    EXPECT_GT(at, 3.0 * DspTest::amplitudeAt(held, 440.0 / std::pow(2.0, 1.0 / 12), rate));
    return DspTest::zeroCrossingFrequency(held, rate);
}

} // namespace

// The whole app on a server of its own: the server is restarted at another rate and then given a
// larger buffer than the app's slices under it, and the app plays A4 at its pitch at each rate
// and buffer size.
TEST_F(LivePlay, TheAppKeepsItsPitchThroughAServerRateAndBufferSizeChange) {
    JackTest::Server own(unique("corvane-rate"), 44100, 256);
    REQUIRE_OWN_SERVER(own);
    LaunchedApp& app = activeApp();
    Lumora::AudioIO_for_iOS_App& io = *app.delegate->audioIO();
    LivePlayer player(io);
    std::string message;
    ASSERT_EQ(player.start(onServer(own.name(), unique("corvane-rate-app")), message), LivePlayer::Backend::Jack) << message;
    Platform::JackDriver& driver = *player.jack();
    ASSERT_EQ(driver.sampleRate(), 44100.0);
    EXPECT_NEAR(recordedPitchOfA4(io, driver, own.name()), 440.0, 440.0 * 0.01);

    own.stop();
    ASSERT_TRUE(JackTest::waitFor([&] { return driver.serverLost(); }));
    // The player's poll closes the lost client before a server of the same name runs again.
    EXPECT_NE(player.poll().find("went away"), std::string::npos);
    ASSERT_TRUE(own.start(48000, 256));
    ASSERT_TRUE(JackTest::waitFor([&] {
        Platform::RunLoop::main().runOnce();
        return player.poll().find("is back") != std::string::npos;
    }, std::chrono::seconds(30)));
    ASSERT_EQ(driver.sampleRate(), 48000.0);
    EXPECT_EQ(io.sampleRate(), 48000.0f);
    EXPECT_NEAR(recordedPitchOfA4(io, driver, own.name()), 440.0, 440.0 * 0.01);

    {
        JackTest::Recorder other;
        ASSERT_TRUE(other.open(unique("corvane-rate-bufsize"), own.name(), 16));
        ASSERT_EQ(jack_set_buffer_size(other.client(), 1024), 0);
    }
    ASSERT_TRUE(JackTest::waitFor([&] { return driver.bufferSize() == 1024; }));
    EXPECT_NEAR(recordedPitchOfA4(io, driver, own.name()), 440.0, 440.0 * 0.01);
    EXPECT_EQ(driver.sampleRate(), 48000.0);
    player.stop();
}

// Without a JACK server the player says so in one line; with ALSA allowed it plays into ALSA
// (here the "null" device, which plays nowhere) without an error.
TEST_F(LivePlay, WithoutAJackServerItFallsBackToAlsaOrSaysWhy) {
    LaunchedApp& app = activeApp();
    LivePlayer player(*app.delegate->audioIO());
    LivePlayer::Options options;
    options.jackServer = unique("corvane-no-server");
    options.allowAlsa = false;
    std::string message;
    EXPECT_EQ(player.start(options, message), LivePlayer::Backend::None);
    EXPECT_NE(message.find("no JACK server is running"), std::string::npos) << message;
    EXPECT_EQ(message.find('\n'), std::string::npos);

    options.allowAlsa = true;
    options.alsaDevice = "null";
    ASSERT_EQ(player.start(options, message), LivePlayer::Backend::Alsa) << message;
    EXPECT_EQ(message.find('\n'), std::string::npos);
    // MIDI through the sequencer where the machine has one; else the line says why there is none.
    if (::access(Platform::AlsaSequencer::kDevice, F_OK) == 0) {
        EXPECT_NE(message.find("MIDI through the ALSA sequencer"), std::string::npos) << message;
        EXPECT_TRUE(player.sequencer() && player.sequencer()->isOpen());
    } else {
        EXPECT_NE(message.find("no MIDI input: no ALSA sequencer (/dev/snd/seq is missing)"), std::string::npos)
            << message;
        EXPECT_EQ(player.sequencer(), nullptr);
    }
    Platform::AlsaDriver& alsa = *player.alsa();
    const auto written = alsa.framesWritten();
    ASSERT_TRUE(JackTest::waitFor([&] { return alsa.framesWritten() > written + 4 * alsa.periodFrames(); }));
    EXPECT_EQ(alsa.lastError(), 0);
    EXPECT_NE(player.describe().find("ALSA"), std::string::npos);
    player.stop();
    EXPECT_EQ(player.backend(), LivePlayer::Backend::None);
}

namespace {

std::filesystem::path builtProgram() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "app/Corvane.app/Corvane";
}

// Runs the built program headless with the environment given; its exit status, or -1 when it
// had not ended within a minute (then it is killed). It gets SIGTERM once its log says it plays
// when asked to.
int runProgram(const std::string& log, const std::vector<std::pair<std::string, std::string>>& environment,
               bool terminateWhenPlaying) {
    const pid_t child = ::fork();
    if (child == 0) {
        for (const auto& [name, value] : environment) ::setenv(name.c_str(), value.c_str(), 1);
        const int fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(fd, STDOUT_FILENO);
        ::dup2(fd, STDERR_FILENO);
        ::execl(builtProgram().c_str(), "Corvane", "--headless", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    bool signalled = false;
    for (int i = 0; i < 1200; ++i) {
        if (::waitpid(child, &status, WNOHANG) == child) return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
        if (terminateWhenPlaying && !signalled && readFile(log).find("playing through") != std::string::npos) {
            ::kill(child, SIGTERM);
            signalled = true;
        }
        ::usleep(50000);
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
    return -1;
}

} // namespace

// With no server and no device the program ends at once with one line and status 3; with a
// server it plays until SIGTERM and then ends cleanly, leaving the state backup.
TEST_F(LivePlay, TheProgramPlaysLiveUntilTerminatedAndEndsAtOnceWithNothingToPlayThrough) {
    if (!std::filesystem::exists(builtProgram())) GTEST_SKIP() << "Corvane is not built";
    ScratchFolder state;
    const std::string log = state.path() + "/log.txt";
    const std::vector<std::pair<std::string, std::string>> isolated{
        {"CORVANE_STATE_HOME", state.path() + "/state"}, {"CORVANE_ALSA_DEVICE", "corvane-no-such-pcm"}};

    auto nowhere = isolated;
    nowhere.emplace_back("JACK_DEFAULT_SERVER", unique("corvane-nobody"));
    EXPECT_EQ(runProgram(log, nowhere, false), 3) << readFile(log);
    EXPECT_NE(readFile(log).find("Corvane: not playing live: no JACK server is running"), std::string::npos)
        << readFile(log);

    const std::string server = JackTest::defaultServer();
    if (!JackTest::serverAnswers(server)) {
        if (JackTest::servicesRequired()) FAIL() << "no JACK server answers, and the services are required";
        GTEST_SKIP() << "no JACK server is running";
    }
    auto live = isolated;
    live.emplace_back("CORVANE_JACK_CLIENT", unique("corvane-program"));
    live.emplace_back("CORVANE_JACK_CONNECT", "0");
    EXPECT_EQ(runProgram(log, live, true), 0) << readFile(log);
    EXPECT_NE(readFile(log).find("stopped"), std::string::npos) << readFile(log);
    EXPECT_TRUE(std::filesystem::exists(state.path() + "/state/full_state_backup"));
}
