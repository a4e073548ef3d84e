// Corvane's LV2 bundle as a host loads it: found by URI through lilv on LV2_PATH, with its
// ports, notes at their frames, parameters, state, factory presets and the host's timeline.

#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <thread>
#include <string>
#include <vector>

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/midi/midi.h>
#include <lv2/time/time.h>

#include "engine/audio/iAudioEngine.h"
#include "engine/clock/Clock.h"
#include "platform/foundation/support/ScratchFolder.h"
#include "plugin/audioio/AudioIO_for_iOS_Plugin.h"
#include "plugin/audiounit/Lumora_iOS_AudioUnit.h"
#include "plugin/lv2/CorvaneLv2Instance.h"
#include "plugin/lv2/support/Lv2TestHost.h"
#include "plugin/lv2/support/Measure.h"

using namespace Lv2Test;

namespace {

constexpr char const* kLumoraData = "urn:corvane:lv2:Corvane:state#LumoraData";
constexpr double kRate = 48000.0;

// Every test's instances write their documents and settings into scratch folders.
struct Lv2Plugin : ::testing::Test {
    void SetUp() override {
        ASSERT_NE(world.plugin(), nullptr) << "Corvane not found on LV2_PATH " << std::getenv("LV2_PATH");
    }

    bool const temporary = (useProgramTemporaryFolder(), true);
    ScratchFolder home{true};
    World world;
};

// Runs make in a child process and answers the samples it made (nothing when the child failed or
// took longer than two minutes).
std::vector<float> inChildProcess(std::function<std::vector<float>()> const& make) {
    int fds[2];
    if (::pipe(fds) != 0)
        return {};
    pid_t const child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        std::vector<float> const samples = make();
        std::size_t const bytes = samples.size() * sizeof(float);
        std::size_t written = 0;
        while (written < bytes) {
            ssize_t const n = ::write(fds[1], reinterpret_cast<char const*>(samples.data()) + written, bytes - written);
            if (n <= 0)
                ::_exit(1);
            written += static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    std::vector<char> bytes;
    char buffer[65536];
    auto const end = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    pollfd poll{fds[0], POLLIN, 0};
    while (std::chrono::steady_clock::now() < end) {
        if (::poll(&poll, 1, 1000) <= 0)
            continue;
        ssize_t const n = ::read(fds[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    ::close(fds[0]);
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {};
    std::vector<float> samples(bytes.size() / sizeof(float));
    std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(float));
    return samples;
}

double noteHz(int key) {
    return 440.0 * std::pow(2.0, (key - 69) / 12.0);
}

} // namespace

TEST_F(Lv2Plugin, ListsItsPortsWithNamesRangesAndKinds) {
    LilvPlugin const* plugin = world.plugin();
    LilvNode* name = lilv_plugin_get_name(plugin);
    EXPECT_STREQ(lilv_node_as_string(name), "Corvane");
    lilv_node_free(name);

    LilvNode* atomPort = lilv_new_uri(world.world(), LV2_ATOM__AtomPort);
    LilvNode* audioPort = lilv_new_uri(world.world(), LV2_CORE__AudioPort);
    LilvNode* controlPort = lilv_new_uri(world.world(), LV2_CORE__ControlPort);
    LilvNode* input = lilv_new_uri(world.world(), LV2_CORE__InputPort);
    LilvNode* output = lilv_new_uri(world.world(), LV2_CORE__OutputPort);
    LilvNode* midiEvent = lilv_new_uri(world.world(), LV2_MIDI__MidiEvent);
    LilvNode* position = lilv_new_uri(world.world(), LV2_TIME__Position);
    LilvNode* integer = lilv_new_uri(world.world(), LV2_CORE__integer);
    LilvNode* toggled = lilv_new_uri(world.world(), LV2_CORE__toggled);

    std::uint32_t const count = lilv_plugin_get_num_ports(plugin);
    std::vector<float> minimum(count), maximum(count), defaults(count);
    lilv_plugin_get_port_ranges_float(plugin, minimum.data(), maximum.data(), defaults.data());
    int audioOut = 0, controls = 0, integers = 0, toggles = 0;
    bool midiIn = false;
    for (std::uint32_t i = 0; i < count; ++i) {
        LilvPort const* port = lilv_plugin_get_port_by_index(plugin, i);
        if (lilv_port_is_a(plugin, port, atomPort) && lilv_port_is_a(plugin, port, input)) {
            midiIn = lilv_port_supports_event(plugin, port, midiEvent) && lilv_port_supports_event(plugin, port, position);
        } else if (lilv_port_is_a(plugin, port, audioPort) && lilv_port_is_a(plugin, port, output)) {
            ++audioOut;
        } else if (lilv_port_is_a(plugin, port, controlPort)) {
            ++controls;
            LilvNode* portName = lilv_port_get_name(plugin, port);
            EXPECT_GT(std::string(lilv_node_as_string(portName)).size(), 0u) << i;
            lilv_node_free(portName);
            EXPECT_LE(minimum[i], defaults[i]) << i;
            EXPECT_LE(defaults[i], maximum[i]) << i;
            integers += lilv_port_has_property(plugin, port, integer) ? 1 : 0;
            toggles += lilv_port_has_property(plugin, port, toggled) ? 1 : 0;
        }
    }
    EXPECT_TRUE(midiIn);
    EXPECT_EQ(audioOut, 2);
    EXPECT_GT(controls, 20);
    EXPECT_GT(integers, 0);
    EXPECT_GT(toggles, 0);

    // Integer parameters keep their concrete ranges; a switch is 0 or 1.
    Instance instance(world, kRate);
    ASSERT_TRUE(instance.valid());
    LilvNode* transpose = lilv_new_string(world.world(), "master_transpose");
    LilvPort const* port = lilv_plugin_get_port_by_symbol(plugin, transpose);
    ASSERT_NE(port, nullptr);
    std::uint32_t const index = lilv_port_get_index(plugin, port);
    EXPECT_EQ(minimum[index], -12.0f);
    EXPECT_EQ(maximum[index], 12.0f);
    EXPECT_TRUE(lilv_port_has_property(plugin, port, integer));
    lilv_node_free(transpose);

    for (LilvNode* n : {atomPort, audioPort, controlPort, input, output, midiEvent, position, integer, toggled})
        lilv_node_free(n);
}

TEST_F(Lv2Plugin, ANoteStartsAtItsFrameWithItsPitch) {
    Instance instance(world, kRate);
    ASSERT_TRUE(instance.valid());
    // The instance makes no sound of its own.
    std::vector<float> quiet = instance.render(4096);
    EXPECT_EQ(rms(quiet), 0.0);

    // A note inside a long cycle: silence up to its frame, sound from there.
    instance.run(2048, {Event::note(700, 57, 100)});
    std::vector<float> cycle(instance.left().begin(), instance.left().begin() + 2048);
    std::size_t const onset = firstAbove(cycle, 1e-6f);
    EXPECT_GE(onset, 700u);
    EXPECT_LE(onset, 700u + 64u);
    EXPECT_EQ(rms(cycle, 0, 700), 0.0);

    std::vector<float> held = instance.render(24000);
    EXPECT_TRUE(allFiniteAndNormal(held));
    EXPECT_GT(rms(held), 1e-3);
    EXPECT_NEAR(fundamentalHz(held, 4800, 4800, kRate), noteHz(57), noteHz(57) * 0.02);
}

// Some hosts' input sequences are only 4-byte aligned: events are still read, at their frames.
TEST_F(Lv2Plugin, EventsInABufferOnlyFourByteAlignedAreRead) {
    Instance instance(world, kRate, true, false);
    ASSERT_TRUE(instance.valid());
    instance.run(1024, {Event::time(0, 120.0, 1.0), Event::note(300, 57, 100)});
    std::vector<float> cycle(instance.left().begin(), instance.left().begin() + 1024);
    std::size_t const onset = firstAbove(cycle, 1e-6f);
    EXPECT_GE(onset, 300u);
    EXPECT_LE(onset, 300u + 64u);
}

TEST_F(Lv2Plugin, AControlPortChangeReachesTheEngineAndOnlyAChangeDoes) {
    Instance instance(world, kRate);
    ASSERT_TRUE(instance.valid());
    ASSERT_TRUE(instance.hasPort("common_volume"));
    std::vector<float> loud = instance.render(24000, {Event::note(0, 60, 100)});
    double const before = rms(loud, 12000);
    ASSERT_GT(before, 1e-3);

    instance.setControl("common_volume", 0.0f);
    std::vector<float> muted = instance.render(24000);
    EXPECT_LT(rms(muted, 12000), before * 0.01);

    instance.setControl("common_volume", 0.5f);
    std::vector<float> back = instance.render(24000);
    EXPECT_GT(rms(back, 12000), before * 0.3);

    // A restored state sets the volume inside the plug-in; the host's port, unchanged at 0, does
    // not take it back. Moving the port does.
    auto const loudState = instance.saveProperties();
    ASSERT_EQ(loudState.count(kLumoraData), 1u);
    instance.setControl("common_volume", 0.0f);
    instance.render(24000);
    EXPECT_EQ(instance.restoreProperties(loudState), LV2_STATE_SUCCESS);
    std::vector<float> restored = instance.render(24000, {Event::note(0, 64, 100)});
    EXPECT_GT(rms(restored, 12000), before * 0.3);
    instance.setControl("common_volume", 0.01f);
    std::vector<float> moved = instance.render(24000);
    EXPECT_LT(rms(moved, 12000), before * 0.1);
}

// A restored state is the whole sound: an instance set up through its ports and one restored from
// the state the first saved play a phrase identically, bit for bit. The instrument draws from one
// process-wide random generator (pitch drift, noise), so each instance plays in a child process
// forked from the same moment of this one: both start from the same generator.
TEST_F(Lv2Plugin, ASavedStateGivesANewInstanceTheSameOutputBitForBit) {
    auto setUp = [](Instance& instance) {
        instance.setControl("master_transpose", 7.0f);
        instance.setControl("common_volume", 0.3f);
        instance.setControl("common_portamento", 0.4f);
    };
    std::string state;
    {
        Instance first(world, kRate);
        ASSERT_TRUE(first.valid());
        setUp(first);
        first.render(512);
        state = first.saveState();
    }
    ASSERT_NE(state.find("LumoraData"), std::string::npos);

    std::vector<Event> const phrase{Event::note(100, 60, 90), Event::note(3000, 64, 70), Event::noteOff(20000, 60)};
    auto play = [&](bool restored) {
        return inChildProcess([&] {
            Instance instance(world, kRate);
            if (restored)
                instance.restoreState(state);
            else
                setUp(instance);
            instance.render(512);
            std::vector<float> right;
            std::vector<float> left = instance.render(48000, phrase, 256, &right);
            left.insert(left.end(), right.begin(), right.end());
            return left;
        });
    };
    std::vector<float> const original = play(false);
    std::vector<float> const restored = play(true);
    ASSERT_EQ(original.size(), 96000u);
    ASSERT_GT(rms(original), 1e-3);
    EXPECT_TRUE(original == restored);
    // The restored transpose is heard: a fifth above the note played.
    EXPECT_NEAR(fundamentalHz(restored, 1200, 2400, kRate), noteHz(67), noteHz(67) * 0.02);
}

TEST_F(Lv2Plugin, FactoryPresetsAreListedAndRecallTheirSound) {
    auto presets = world.presets();
    ASSERT_GE(presets.size(), 10u);
    auto bass = std::find_if(presets.begin(), presets.end(), [](auto const& p) { return p.second == "Bass - Sub Square Bass"; });
    ASSERT_NE(bass, presets.end());

    Instance instance(world, kRate);
    ASSERT_TRUE(instance.valid());
    std::string const before = instance.saveState();
    ASSERT_TRUE(instance.loadPreset(bass->first));
    instance.render(256);
    std::string const after = instance.saveState();
    EXPECT_NE(before, after);

    // The same preset twice is the same sound.
    Instance other(world, kRate);
    ASSERT_TRUE(other.loadPreset(bass->first));
    other.render(256);
    EXPECT_EQ(other.saveState(), after);
}

TEST_F(Lv2Plugin, DamagedOrUnknownStateLoadsWithoutHarm) {
    Instance instance(world, kRate);
    ASSERT_TRUE(instance.valid());
    std::string const good = instance.saveState();
    std::string const atomString = LV2_ATOM__String;
    std::vector<std::map<std::string, Instance::Property>> const cases{
        {},
        {{kLumoraData, {atomString, std::string("\0", 1)}}},
        {{kLumoraData, {atomString, "not a state at all"}}},
        {{kLumoraData, {atomString, std::string(100000, '\xff')}}},
        {{kLumoraData, {LV2_ATOM__Int, std::string(4, '\0')}}},
        {{kLumoraData, {atomString, "[Parameters]\nversion=999\nNOT_A_PARAMETER=3\n"}}},
        {{"urn:corvane:lv2:Corvane:state#somethingNew", {atomString, "x"}}},
        {{"urn:corvane:lv2:Corvane:state#factoryPreset", {LV2_ATOM__Int, std::string("\x63\0\0\0", 4)}},
         {"urn:corvane:lv2:Corvane:state#factoryPresetName", {atomString, "No Such Preset"}}},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        instance.restoreProperties(cases[i]);
        std::vector<float> out = instance.render(9600, {Event::note(0, 60, 100), Event::noteOff(9000, 60)});
        EXPECT_TRUE(allFiniteAndNormal(out)) << "case " << i;
        EXPECT_GT(rms(out), 1e-4) << "case " << i;
    }

    // A state from a later version, with a part and keys this one does not know, still gives the
    // parts it knows: the transpose of the saved sound is heard.
    Instance saved(world, kRate);
    saved.setControl("master_transpose", 7.0f);
    saved.render(256);
    auto later = saved.saveProperties();
    ASSERT_EQ(later.count(kLumoraData), 1u);
    std::string& text = later[kLumoraData].bytes;
    text.insert(text.find('\0') == std::string::npos ? text.size() : text.find('\0'),
                "\nFUTURE_KEY=12\n[[A Part Of Tomorrow]]\nsomething=else\n");
    Instance fresh(world, kRate);
    EXPECT_EQ(fresh.restoreProperties(later), LV2_STATE_SUCCESS);
    std::vector<float> out = fresh.render(24000, {Event::note(0, 60, 100)});
    EXPECT_NEAR(fundamentalHz(out, 4800, 4800, kRate), noteHz(67), noteHz(67) * 0.02);
}

// The arpeggiator steps sixteenths of the host's tempo: with a plucked arpeggio sound and one
// held key, notes start every sixteenth of the tempo a time:Position gives (in quarter notes,
// so eighth-note beats count half).
TEST_F(Lv2Plugin, TheHostsTempoDrivesTheArpeggiatorsSteps) {
    auto presets = world.presets();
    auto arpeggio =
        std::find_if(presets.begin(), presets.end(), [](auto const& p) { return p.second == "Sequence - Arp Pluck"; });
    ASSERT_NE(arpeggio, presets.end());
    struct Case {
        double bpm;
        double beatUnit;
    };
    for (Case const c : {Case{100.0, 4.0}, Case{150.0, 4.0}, Case{180.0, 8.0}}) {
        SCOPED_TRACE(testing::Message() << c.bpm << " bpm, beat unit " << c.beatUnit);
        Instance instance(world, kRate);
        ASSERT_TRUE(instance.loadPreset(arpeggio->first));
        ASSERT_EQ(instance.control("common_arpeggiator"), 1.0f);
        Event position = Event::time(0, c.bpm, 1.0);
        position.beatUnit = c.beatUnit;
        std::vector<float> out = instance.render(static_cast<std::uint32_t>(kRate * 3), {position, Event::note(0, 60, 100)});
        double const sixteenth = 60.0 / (c.bpm * 4.0 / c.beatUnit) / 4.0 * kRate;
        std::vector<std::size_t> const starts = onsets(out, 128, static_cast<std::size_t>(sixteenth / 2));
        ASSERT_GE(starts.size(), 6u);
        double const step = double(starts.back() - starts.front()) / double(starts.size() - 1);
        EXPECT_NEAR(step, sixteenth, sixteenth * 0.02);
    }
}

// A stopped transport keeps the host's tempo on the arpeggiator's own clock; a change of tempo
// in the middle of a cycle takes effect from its frame.
TEST_F(Lv2Plugin, AStoppedTransportAndATempoChangeKeepTheHostsTempo) {
    auto presets = world.presets();
    auto arpeggio =
        std::find_if(presets.begin(), presets.end(), [](auto const& p) { return p.second == "Sequence - Arp Pluck"; });
    ASSERT_NE(arpeggio, presets.end());
    Instance instance(world, kRate);
    ASSERT_TRUE(instance.loadPreset(arpeggio->first));
    std::vector<float> stopped =
        instance.render(static_cast<std::uint32_t>(kRate * 3), {Event::time(0, 150.0, 0.0), Event::note(0, 60, 100)});
    std::vector<std::size_t> starts = onsets(stopped, 128, 2400);
    ASSERT_GE(starts.size(), 6u);
    EXPECT_NEAR(double(starts.back() - starts.front()) / double(starts.size() - 1), 4800.0, 96.0);

    // 150 then 100 bpm from frame 100 of a long cycle.
    std::vector<float> changed = instance.render(static_cast<std::uint32_t>(kRate * 3), {Event::time(100, 100.0, 1.0)}, 4096);
    starts = onsets(changed, 128, 3600);
    ASSERT_GE(starts.size(), 6u);
    EXPECT_NEAR(double(starts.back() - starts[1]) / double(starts.size() - 2), 7200.0, 144.0);
}

// The engine's clock as the last engine cycle of the instance's last run left it: the handle is
// the plug-in's instance, as instance-access hands it to an editor.
Lumora::Clock const& engineClock(Instance const& instance) {
    auto const* self = static_cast<Lumora::Lv2::CorvaneLv2Instance const*>(instance.handle());
    return self->unit()->audioIO()->audioEngine()->clock();
}

// LV2 counts positions in beats of the signature's note value (time:beatUnit). A note in the middle
// of a cycle starts a second engine cycle, whose position the plug-in works out itself; when a
// beat line falls between the two, the second cycle keeps its bar (6/8: six eighths) or starts the
// next one (3/2: three halves) by the host's own signature.
TEST_F(Lv2Plugin, PositionsInsideACycleCountBarsInTheHostsSignature) {
    struct Case {
        double beatsPerBar, beatUnit;
        double barBeat;   // at the cycle's start, in bar 1
        double barStart;  // of the cycle's second part
    };
    for (Case const c : {Case{6.0, 8.0, 2.999, 6.0}, Case{3.0, 2.0, 2.999, 6.0}, Case{4.0, 4.0, 3.999, 8.0}}) {
        SCOPED_TRACE(testing::Message() << c.beatsPerBar << "/" << c.beatUnit);
        Instance instance(world, kRate);
        ASSERT_TRUE(instance.valid());
        Event position = Event::time(0, 120.0, 1.0, 1.0, c.barBeat);
        position.beatsPerBar = c.beatsPerBar;
        position.beatUnit = c.beatUnit;
        instance.run(256, {position, Event::note(128, 60, 100)});
        Lumora::Clock const& clock = engineClock(instance);
        // 128 frames at 120 beats per minute are 1/187.5 beat.
        double const beat = c.beatsPerBar + c.barBeat + 128.0 / 24000.0;
        EXPECT_NEAR(clock.beatPosition(), beat, 1e-4);
        EXPECT_EQ(clock.beatPosition_bar(), c.barStart);
        EXPECT_EQ(clock.timeSignature().numerator, static_cast<std::uint32_t>(c.beatsPerBar));
        EXPECT_EQ(clock.timeSignature().denominator, static_cast<std::uint32_t>(c.beatUnit));
        // Eighth-note beats are half a quarter note, half notes two.
        EXPECT_NEAR(clock.quaterNotePosition(), beat * 4.0 / c.beatUnit, 1e-4);
    }
}

// A host sends a position only when something changes: in the cycles after it the plug-in moves
// the timeline on itself and the engine follows it there, until a position stops the transport.
TEST_F(Lv2Plugin, TheTimelineMovesOnInCyclesWithoutPositions) {
    Instance instance(world, kRate);
    ASSERT_TRUE(instance.valid());
    instance.run(256, {Event::time(0, 120.0, 1.0, 2.0, 1.0)});
    for (int cycle = 1; cycle < 10; ++cycle)
        instance.run(256, {});
    Lumora::Clock const& clock = engineClock(instance);
    // Bar 2 of 4/4 at beat 1, and nine cycles of 256 frames at 120 beats per minute.
    double const rolled = 8.0 + 1.0 + 9.0 * 256.0 / 24000.0;
    EXPECT_NEAR(clock.beatPosition(), rolled, 1e-4);

    // Stopped: the engine's own clock starts again and runs at the host's tempo.
    instance.run(256, {Event::time(0, 90.0, 0.0, 2.0, 1.0)});
    for (int cycle = 1; cycle < 10; ++cycle)
        instance.run(256, {});
    EXPECT_NEAR(clock.bpm(), 90.0, 1e-9);
    EXPECT_NEAR(clock.beatPosition(), 9.0 * 256.0 * 90.0 / (60.0 * kRate), 1e-6);
}

// A program change is loaded off the render thread, by the worker that runs the model's main
// queue; the sound it brings is announced to the host as a changed state.
TEST_F(Lv2Plugin, AProgramChangeLoadsInTheWorkerAndIsAnnounced) {
    Instance instance(world, kRate);
    ASSERT_TRUE(instance.valid());
    instance.render(4096);
    instance.runWorker();
    std::string const before = instance.saveProperties()[kLumoraData].bytes;

    Event program;
    program.midi = {0xC0, 2};
    instance.run(256, {program});
    bool announced = false;
    auto const end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!announced && std::chrono::steady_clock::now() < end) {
        instance.run(2048);
        instance.runWorker();
        announced = instance.lastRunAnnouncedStateChange();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_GT(instance.workRequests(), 0);
    EXPECT_TRUE(announced);
    EXPECT_NE(instance.saveProperties()[kLumoraData].bytes, before);
}
