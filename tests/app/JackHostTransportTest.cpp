// JACK transport as the host that the app's host sync follows: another client, the timebase
// master, states tempo and bars; starting, moving and stopping the transport shows through the
// host procedures, and the driver's own transport calls move it.
#include "app/JackHostTransport.h"

#include <gtest/gtest.h>

#include <cmath>

#include <unistd.h>

#include "common/JackTestClient.h"
#include "platform/audio/JackDriver.h"

namespace {

constexpr double kTempo = 140.0;
constexpr float kBeatsPerBar = 3.0f;
constexpr double kTicksPerBeat = 1920.0;

// The timebase master's bar, beat and tick at a frame, at a constant tempo in 3/4.
void timebase(jack_transport_state_t, jack_nframes_t, jack_position_t* position, int, void*) {
    const double beats = position->frame / static_cast<double>(position->frame_rate) * kTempo / 60.0;
    const double bars = std::floor(beats / kBeatsPerBar);
    const double inBar = beats - bars * kBeatsPerBar;
    position->valid = static_cast<jack_position_bits_t>(position->valid | JackPositionBBT);
    position->bar = static_cast<int32_t>(bars) + 1;
    position->beat = static_cast<int32_t>(std::floor(inBar)) + 1;
    position->tick = static_cast<int32_t>((inBar - std::floor(inBar)) * kTicksPerBeat);
    position->bar_start_tick = bars * kBeatsPerBar * kTicksPerBeat;
    position->beats_per_bar = kBeatsPerBar;
    position->beat_type = 4.0f;
    position->ticks_per_beat = kTicksPerBeat;
    position->beats_per_minute = kTempo;
}

struct HostAnswers {
    bool playing = false;
    double beat = -1.0;
    double tempo = 0.0;
    float numerator = 0.0f;
    uint32_t denominator = 0;
    double downbeat = -1.0;
};

HostAnswers ask(const Platform::InterAppAudio::HostCallbackInfo& host) {
    HostAnswers a;
    bool changed = false;
    host.transportStateProc(host.hostUserData, &a.playing, &changed, nullptr, nullptr, nullptr, nullptr);
    host.beatAndTempoProc(host.hostUserData, &a.beat, &a.tempo);
    host.musicalTimeLocationProc(host.hostUserData, nullptr, &a.numerator, &a.denominator, &a.downbeat);
    return a;
}

} // namespace

TEST(JackHostTransport, HostSyncFollowsJackTransportAndTheDriverMovesIt) {
    JackTest::Server server("corvane-transport-" + std::to_string(getpid()), 48000, 256);
    if (!JackTest::serverAnswers(server.name())) {
        if (JackTest::servicesRequired()) FAIL() << "jackd could not be started";
        GTEST_SKIP() << "jackd could not be started";
    }
    Platform::OutputUnit unit;
    unit.initialize();
    unit.start();
    Platform::JackDriver driver(unit);
    std::string error;
    ASSERT_TRUE(driver.open({"Corvane", server.name(), false}, &error)) << error;
    const auto host = AppShell::jackHostCallbacks(driver);

    jack_client_t* master = JackTest::openClient("master", server.name());
    ASSERT_NE(master, nullptr);
    ASSERT_EQ(jack_set_timebase_callback(master, 0, timebase, nullptr), 0);
    ASSERT_EQ(jack_activate(master), 0);
    EXPECT_FALSE(ask(host).playing);

    // Another program starts the transport: host sync sees it play at the master's tempo and bars.
    jack_transport_start(master);
    ASSERT_TRUE(JackTest::waitFor([&] { return ask(host).playing; }));
    HostAnswers a = ask(host);
    EXPECT_DOUBLE_EQ(a.tempo, kTempo);
    EXPECT_EQ(a.numerator, kBeatsPerBar);
    EXPECT_EQ(a.denominator, 4u);
    EXPECT_GE(a.beat, 0.0);
    EXPECT_LE(a.downbeat, a.beat);
    EXPECT_GT(a.downbeat + kBeatsPerBar, a.beat);

    // Moved to beat 60 (bar 21): the position follows, the bar starts on a multiple of three.
    const auto beat60 = static_cast<jack_nframes_t>(60.0 * 60.0 / kTempo * 48000.0);
    jack_transport_locate(master, beat60);
    ASSERT_TRUE(JackTest::waitFor([&] {
        const double beat = ask(host).beat;
        return beat >= 60.0 - 1e-6 && beat < 62.0;
    })) << ask(host).beat;
    a = ask(host);
    EXPECT_DOUBLE_EQ(std::fmod(a.downbeat, kBeatsPerBar), 0.0);

    // The driver's own calls (the transport panel's stop, rewind and play) move the transport.
    driver.stopTransport();
    ASSERT_TRUE(JackTest::waitFor([&] { return !ask(host).playing; }));
    driver.locateTransport(0);
    driver.startTransport();
    ASSERT_TRUE(JackTest::waitFor([&] { return ask(host).playing && ask(host).beat < 10.0; }));
    jack_client_close(master);
    driver.close();
}
