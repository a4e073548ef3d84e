#include "platform/audio/JackDriver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include <unistd.h>

#include "common/JackTestClient.h"

using Platform::JackDriver;
using Platform::OutputUnit;

namespace {

// A unit whose left channel holds the velocity of the last note-on that came through the sources
// port and whose right channel that of the virtual input (0 after a note-off), switching at the
// event's own frame: what the recorder hears shows where each event landed.
class LevelUnit {
public:
    explicit LevelUnit(unsigned maximumFrames, float constant = -1.0f) {
        unit.setMaximumFramesPerSlice(maximumFrames);
        unit.setRenderCallback([this, constant](const OutputUnit::RenderCall& call) {
            for (unsigned i = 0; i < call.frames; ++i) {
                for (const auto& e : call.midi) {
                    if (e.sampleTime != call.sampleTime + i) continue;
                    levels[e.port & 1] = (e.status & 0xF0) == 0x90 ? static_cast<float>(e.data2) / 127.0f : 0.0f;
                }
                for (unsigned c = 0; c < 2; ++c) call.channels[c][i] = constant >= 0.0f ? constant : levels[c];
            }
            return true;
        });
        unit.initialize();
        unit.start();
    }
    OutputUnit unit;
    float levels[2] = {0.0f, 0.0f};
};

// The first recorded index at which the channel is no longer silent.
std::ptrdiff_t onset(const std::vector<float>& channel, std::size_t recorded) {
    for (std::size_t i = 0; i < recorded; ++i)
        if (channel[i] != 0.0f) return static_cast<std::ptrdiff_t>(i);
    return -1;
}

std::string unique(const char* what) { return std::string(what) + "-" + std::to_string(getpid()); }

class JackDriverTest : public ::testing::Test {
protected:
    void SetUp() override {
        server = JackTest::defaultServer();
        if (!JackTest::serverAnswers(server)) {
            if (JackTest::servicesRequired()) FAIL() << "no JACK server answers, and the services are required";
            GTEST_SKIP() << "no JACK server is running";
        }
    }
    std::string server;
};

} // namespace

// Two senders, one into the port that MIDI sources connect to and one into "Virtual Midi Input",
// send note-ons inside a server block; the unit is pulled in slices of 64 frames while the server
// runs larger blocks. Each note starts at its own frame, on its own channel.
TEST_F(JackDriverTest, NotesStartAtTheirEventsFrameThroughBothMidiInputs) {
    LevelUnit level(64);
    JackDriver driver(level.unit);
    std::string error;
    ASSERT_TRUE(driver.open({unique("corvane-driver"), server, false}, &error)) << error;
    EXPECT_EQ(driver.midiInputPortName(JackDriver::kVirtualInputPort),
              driver.clientName() + ":" + JackDriver::kVirtualInputName);

    JackTest::Sender sources, others;
    JackTest::Recorder recorder;
    ASSERT_TRUE(sources.open(unique("corvane-sources"), server));
    ASSERT_TRUE(others.open(unique("corvane-others"), server));
    ASSERT_TRUE(recorder.open(unique("corvane-recorder"), server, 3 * 48000));
    ASSERT_TRUE(driver.connect(sources.portName(), driver.midiInputPortName(JackDriver::kSourcesPort)));
    ASSERT_TRUE(driver.connect(others.portName(), driver.midiInputPortName(JackDriver::kVirtualInputPort)));
    for (unsigned c = 0; c < 2; ++c) ASSERT_TRUE(driver.connect(driver.outputPortName(c), recorder.portName(c)));

    recorder.record();
    ASSERT_TRUE(JackTest::waitFor([&] { return recorder.recorded() > 0; }));
    const jack_nframes_t period = driver.bufferSize();
    ASSERT_GT(period, 64u);
    const jack_nframes_t start = recorder.startFrame();
    // Off every slice boundary, and meant to be queued before their blocks; a loaded machine may
    // queue them late, and then each goes out at the start of a later block: what counts is the
    // frame each sender really stamped.
    sources.sendAt(start + 8 * period + 37, 0x90, 60, 127);
    others.sendAt(start + 12 * period + period - 5, 0x90, 64, 127);
    ASSERT_TRUE(sources.waitUntilSent(1));
    ASSERT_TRUE(others.waitUntilSent(1));
    const jack_nframes_t first = sources.stampedFrame(0);
    const jack_nframes_t second = others.stampedFrame(0);
    ASSERT_TRUE(recorder.waitUntilFull());

    const auto left = onset(recorder.channel(0), recorder.recorded());
    const auto right = onset(recorder.channel(1), recorder.recorded());
    ASSERT_GE(left, 0);
    ASSERT_GE(right, 0);
    EXPECT_EQ(recorder.frameOf(static_cast<std::size_t>(left)), first);
    EXPECT_EQ(recorder.frameOf(static_cast<std::size_t>(right)), second);
    EXPECT_FLOAT_EQ(recorder.channel(0).back(), 1.0f);
    EXPECT_GT(driver.cycles(), 0u);
    driver.close();
    EXPECT_FALSE(driver.isOpen());
}

// The timing a tracer reads: the last callback's time is one the worst callback bounds, and the
// driver says whether the server runs it realtime as another client of the server hears it.
TEST_F(JackDriverTest, ReportsItsCallbackTimesAndWhetherItRunsRealtime) {
    LevelUnit level(64, 0.5f);
    JackDriver driver(level.unit);
    EXPECT_FALSE(driver.realtime());
    std::string error;
    ASSERT_TRUE(driver.open({unique("corvane-timing"), server, false}, &error)) << error;
    // The server's clock counts microseconds: a callback may take less than one.
    ASSERT_TRUE(JackTest::waitFor([&] { return driver.lastCallbackNanos() > 0; }));
    EXPECT_LE(driver.lastCallbackNanos(), driver.worstCallbackNanos());
    jack_client_t* other = JackTest::openClient(unique("corvane-timing-probe"), server);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(driver.realtime(), jack_is_realtime(other) != 0);
    jack_client_close(other);
    driver.close();
    EXPECT_FALSE(driver.realtime());
}

// Without a server the driver answers at once with one line that says how to get one.
TEST(JackDriverWithoutServer, OpenFailsQuicklyWithAReason) {
    OutputUnit unit;
    JackDriver driver(unit);
    std::string error;
    const auto begin = std::chrono::steady_clock::now();
    EXPECT_FALSE(driver.open({"Corvane", unique("corvane-nobody"), true}, &error));
    EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(5));
    EXPECT_NE(error.find("no JACK server is running"), std::string::npos) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos);
    EXPECT_EQ(driver.poll(), JackDriver::PollResult::Closed);
}

// A server of the test's own is stopped under the driver and started again at another rate and
// then given a smaller buffer: the driver notices the loss, comes back on its own, tells the unit
// the new rate before it renders, and plays on through the buffer-size change without a gap.
TEST(JackDriverServerChanges, SurvivesALostServerAndFollowsItsRateAndBufferSize) {
    JackTest::Server own(unique("corvane-own"), 44100, 256);
    if (!JackTest::serverAnswers(own.name())) {
        if (JackTest::servicesRequired()) FAIL() << "jackd could not be started";
        GTEST_SKIP() << "jackd could not be started";
    }
    LevelUnit level(1024, 0.25f);
    JackDriver driver(level.unit);
    std::string error;
    ASSERT_TRUE(driver.open({"Corvane", own.name(), false}, &error)) << error;
    EXPECT_EQ(level.unit.sampleRate(), 44100.0);
    EXPECT_EQ(driver.poll(), JackDriver::PollResult::Running);

    own.stop();
    ASSERT_TRUE(JackTest::waitFor([&] { return driver.serverLost(); }));
    EXPECT_EQ(driver.poll(), JackDriver::PollResult::Lost);
    EXPECT_EQ(driver.poll(), JackDriver::PollResult::StillLost);

    ASSERT_TRUE(own.start(48000, 256));
    ASSERT_TRUE(JackTest::waitFor([&] { return driver.poll() == JackDriver::PollResult::Reconnected; }));
    EXPECT_EQ(level.unit.sampleRate(), 48000.0);
    EXPECT_EQ(driver.sampleRate(), 48000.0);

    JackTest::Recorder recorder;
    ASSERT_TRUE(recorder.open("recorder", own.name(), 48000));
    for (unsigned c = 0; c < 2; ++c) ASSERT_TRUE(driver.connect(driver.outputPortName(c), recorder.portName(c)));
    ASSERT_EQ(jack_set_buffer_size(recorder.client(), 64), 0);
    ASSERT_TRUE(JackTest::waitFor([&] { return driver.bufferSize() == 64; }));
    recorder.record();
    ASSERT_TRUE(recorder.waitUntilFull());
    const auto& left = recorder.channel(0);
    EXPECT_EQ(std::count(left.begin(), left.end(), 0.25f), static_cast<std::ptrdiff_t>(left.size()));
    EXPECT_EQ(driver.poll(), JackDriver::PollResult::Running);
}

// A control program restarting the server: the new one answers before the drivers poll. The
// first driver to open again must not leave the other's lost client to libjack, which deletes the
// lost clients of a process when another of its clients opens.
TEST(JackDriverServerChanges, SurvivesAServerRestartedBeforeItsNextPoll) {
    JackTest::Server own(unique("corvane-quick"), 48000, 256);
    if (!JackTest::serverAnswers(own.name())) {
        if (JackTest::servicesRequired()) FAIL() << "jackd could not be started";
        GTEST_SKIP() << "jackd could not be started";
    }
    LevelUnit level(1024, 0.5f);
    JackDriver driver(level.unit);
    LevelUnit otherLevel(1024, 0.125f);
    JackDriver other(otherLevel.unit);
    std::string error;
    ASSERT_TRUE(driver.open({"Corvane", own.name(), false}, &error)) << error;
    ASSERT_TRUE(other.open({"Corvane-other", own.name(), false}, &error)) << error;

    ASSERT_TRUE(own.start(48000, 256));   // stops the running server first
    ASSERT_TRUE(JackTest::waitFor([&] { return driver.serverLost() && other.serverLost(); }));
    // Meanwhile the lost client answers as if closed.
    EXPECT_TRUE(driver.ports(false, 0).empty());
    EXPECT_TRUE(driver.outputPortName(0).empty());
    EXPECT_FALSE(driver.transportMoving());

    EXPECT_EQ(other.poll(), JackDriver::PollResult::Lost);
    ASSERT_TRUE(JackTest::waitFor([&] { return other.poll() == JackDriver::PollResult::Reconnected; }));
    EXPECT_TRUE(driver.serverLost());
    EXPECT_EQ(driver.poll(), JackDriver::PollResult::Lost);
    ASSERT_TRUE(JackTest::waitFor([&] { return driver.poll() == JackDriver::PollResult::Reconnected; }));

    JackTest::Recorder recorder;
    ASSERT_TRUE(recorder.open("recorder", own.name(), 4800));
    for (unsigned c = 0; c < 2; ++c) ASSERT_TRUE(driver.connect(driver.outputPortName(c), recorder.portName(c)));
    recorder.record();
    ASSERT_TRUE(recorder.waitUntilFull());
    const auto& left = recorder.channel(0);
    EXPECT_EQ(std::count(left.begin(), left.end(), 0.5f), static_cast<std::ptrdiff_t>(left.size()));
    EXPECT_EQ(driver.poll(), JackDriver::PollResult::Running);
    EXPECT_EQ(other.poll(), JackDriver::PollResult::Running);
}
