// The CoreMIDI client inside the app audio I/O: source changes become engine notification 1001,
// and MIDI from sources, the virtual destination and a Standard MIDI File reaches the engine's
// render calls through the audio I/O's queue.
#include "app/support/AudioIOAppTestSupport.h"

#include "platform/midi/MidiSystem.h"
#include "platform/midi/SmfSource.h"

#include <algorithm>

using namespace AppAudioTest;

namespace {

struct Notifications : Lumora::iAudioEngine::NotificationObserver {
    void handleNotification(int id, int param) override {
        if (id == Lumora::iAudioEngine::MidiSourcesChanged) sourceChanges.push_back(param);
    }
    std::vector<int> sourceChanges;
};

class CoreMIDIInApp : public Fixture {
protected:
    void SetUp() override {
        Fixture::SetUp();
        engine.addNotificationObserver(&notifications);
        io = std::make_unique<Lumora::AudioIO_for_iOS_App>(&engine, testConfig());
        ASSERT_TRUE(io->open(64, 48000.0f));
        ASSERT_TRUE(io->start());
        pumpNotifications();
        notifications.sourceChanges.clear();
    }
    void TearDown() override {
        for (auto& s : published) Platform::MidiSystem::shared().removeSource(s);
        Platform::RunLoop::main().runOnce();
        io.reset();
        Fixture::TearDown();
    }
    void pumpNotifications() {
        Platform::RunLoop::main().runOnce();
        // The render cycle hands queued notifications on; the main-thread timer dispatches them.
        io->audioUnit()->render(64);
        notifications.dispatch();
    }
    template <class Source>
    std::shared_ptr<Source> keep(std::shared_ptr<Source> source) {
        EXPECT_TRUE(Platform::MidiSystem::shared().addSource(source));
        published.push_back(source);
        return source;
    }
    std::vector<Lumora::MidiMessage> renderOnce() {
        engine.calls.clear();
        io->audioUnit()->render(64);
        return engine.calls.empty() ? std::vector<Lumora::MidiMessage>{} : engine.calls.back().midi;
    }

    RecordingEngine engine;
    Notifications notifications;
    std::unique_ptr<Lumora::AudioIO_for_iOS_App> io;
    std::vector<std::shared_ptr<Platform::MidiSource>> published;
};

} // namespace

TEST_F(CoreMIDIInApp, SourceChangesPostNotification1001WithOneOrZero) {
    auto keys = keep(Platform::MidiSource::create(std::string("Keys")));
    pumpNotifications();
    EXPECT_EQ(notifications.sourceChanges, (std::vector<int>{1}));

    Platform::MidiSystem::shared().removeSource(keys);
    pumpNotifications();
    EXPECT_EQ(notifications.sourceChanges, (std::vector<int>{1, 0}));
}

TEST_F(CoreMIDIInApp, MidiFromSourcesAndTheVirtualDestinationReachesTheNextRenderCall) {
    auto keys = keep(Platform::MidiSource::create(std::string("Keys"), 6101));
    pumpNotifications();
    keys->send({0x90, 60, 100});
    std::unique_ptr<Platform::MidiClient> other;
    std::shared_ptr<Platform::MidiOutputPort> out;
    ASSERT_EQ(Platform::MidiClient::create("other app", nullptr, other), Platform::MidiErr::None);
    ASSERT_EQ(other->createOutputPort("out", out), Platform::MidiErr::None);
    std::shared_ptr<Platform::MidiDestination> ours;
    for (auto& d : Platform::MidiSystem::shared().destinations())
        if (d->displayName() == testConfig().name) ours = d;
    ASSERT_TRUE(ours);
    Platform::MidiPacketList list;
    list.add(0, {0x80, 60, 0});
    out->send(ours, list);

    EXPECT_EQ(renderOnce(), (std::vector<Lumora::MidiMessage>{{0x90, 60, 100}, {0x80, 60, 0}}));
    EXPECT_TRUE(renderOnce().empty());

    io->enableMidiSource(6101, false);
    keys->send({0x90, 61, 100});
    EXPECT_TRUE(renderOnce().empty());
}

TEST_F(CoreMIDIInApp, AStandardMidiFileAdvancedWithTheAudioClockLandsInTheRightBlock) {
    // One note at 0.5 s: frame 24000 at 48 kHz, the first frame of block 375 of 64 frames.
    const std::vector<uint8_t> file{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96,
                                    'M', 'T', 'r', 'k', 0, 0, 0, 8,
                                    0x60, 0x90, 64, 90,
                                    0x00, 0xFF, 0x2F, 0x00};
    auto smf = Platform::StandardMidiFile::parse(file);
    ASSERT_TRUE(smf);
    auto song = keep(Platform::SmfSource::create(std::move(*smf), std::string("phrase.mid")));
    pumpNotifications();
    int noteBlock = -1;
    for (int block = 0; block < 400; ++block) {
        song->advance(64, io->sampleRate());
        const auto midi = renderOnce();
        if (!midi.empty()) {
            EXPECT_EQ(noteBlock, -1);
            EXPECT_EQ(midi, (std::vector<Lumora::MidiMessage>{{0x90, 64, 90}}));
            noteBlock = block;
        }
    }
    EXPECT_EQ(noteBlock, 375);
}
