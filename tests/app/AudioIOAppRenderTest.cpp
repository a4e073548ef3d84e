#include "app/support/AudioIOAppTestSupport.h"

#include <atomic>
#include <cmath>
#include <filesystem>
#include <thread>

#include "engine/synth/SynthTestSupport.h"
#include "platform/audio/InterAppAudio.h"
#include "platform/audio/OfflineDriver.h"
#include "platform/audio/WavFile.h"
#include "platform/foundation/Log.h"
#include "platform/midi/MidiEndpoint.h"
#include "platform/midi/MidiSystem.h"

using namespace AppAudioTest;
using Platform::OutputUnit;

namespace {

struct Notifications : Lumora::iAudioEngine::NotificationObserver {
    void handleNotification(int id, int param) override { received.emplace_back(id, param); }
    std::vector<std::pair<int, int>> received;
};

class AppAudioRender : public Fixture {
protected:
    void TearDown() override {
        io.reset();
        Fixture::TearDown();
    }
    Lumora::AudioIO_for_iOS_App& openIO(Lumora::iAudioEngine& engine, unsigned frames = 64, float rate = 48000.0f) {
        io = std::make_unique<Lumora::AudioIO_for_iOS_App>(&engine, testConfig());
        EXPECT_TRUE(io->open(frames, rate));
        EXPECT_TRUE(io->start());
        return *io;
    }
    OutputUnit& unit() { return *io->audioUnit(); }

    std::unique_ptr<Lumora::AudioIO_for_iOS_App> io;
};

// Frequency of a sine by its rising zero crossings.
double pitchOf(const Platform::WavData& wav, uint64_t from, double sampleRate) {
    int crossings = 0;
    uint64_t first = 0, last = 0;
    for (uint64_t i = from + 1; i < wav.frames; ++i) {
        if (wav.sample(i - 1, 0) < 0.0f && wav.sample(i, 0) >= 0.0f) {
            if (crossings == 0) first = i;
            last = i;
            ++crossings;
        }
    }
    return crossings < 2 ? 0.0 : (crossings - 1) * sampleRate / static_cast<double>(last - first);
}

} // namespace

TEST_F(AppAudioRender, TheSynthPlaysThroughTheOfflineDriverAtTheOpenedRate) {
    Lumora::Testing::TestSetup setup;
    setup.shape = Lumora::Testing::TestVoice::Shape::Sine;
    setup.level = 0.5f;
    SynthTest::TestSynth synth({}, setup);
    auto& app = openIO(synth, 256, 48000.0f);
    app.impl().didReceiveMidi(0x90, 69, 100, Lumora::MidiPortSetting::VirtualDestination);

    const auto path = (std::filesystem::temp_directory_path() / "appaudio-render-test.wav").string();
    Platform::OfflineDriver driver(unit());
    driver.setBlockFrames(app.bufferSize());
    const auto result = driver.renderToWav(path, 24000);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_TRUE(result.finite);
    EXPECT_GT(result.peak, 0.01f);   // audible; the level belongs to the engine
    EXPECT_LE(result.peak, 1.0f);

    auto wav = Platform::readWav(path);
    std::filesystem::remove(path);
    ASSERT_TRUE(wav.has_value());
    EXPECT_EQ(wav->sampleRate, 48000u);
    EXPECT_NEAR(pitchOf(*wav, 256, 48000.0), 440.0, 1.0);
    EXPECT_EQ(app.impl().queuedMidiCount(), 0u);
}

TEST_F(AppAudioRender, MidiQueuedOnAnotherThreadReachesTheNextBlockOnce) {
    RecordingEngine engine;
    auto& app = openIO(engine);
    std::thread receiver([&] { app.impl().didReceiveMidi(0x90, 60, 100, Lumora::MidiPortSetting::ExternalSource); });
    receiver.join();
    EXPECT_EQ(app.impl().queuedMidiCount(), 1u);

    ASSERT_EQ(unit().render(64), OutputUnit::Status::Ok);
    ASSERT_EQ(engine.calls.size(), 1u);
    ASSERT_EQ(engine.calls[0].midi.size(), 1u);
    EXPECT_EQ(engine.calls[0].midi[0].status(), 0x90);
    EXPECT_EQ(engine.calls[0].midi[0].data1(), 60);
    EXPECT_EQ(app.impl().queuedMidiCount(), 0u);
    EXPECT_EQ(unit().channel(0)[0], 0.25f);

    ASSERT_EQ(unit().render(64), OutputUnit::Status::Ok);
    EXPECT_TRUE(engine.calls[1].midi.empty());
}

TEST_F(AppAudioRender, MessagesFromABusyProducerAreNeitherLostNorRepeated) {
    RecordingEngine engine;
    auto& app = openIO(engine);
    constexpr int kMessages = 3000;
    std::atomic<bool> produced{false};
    std::thread renderer([&] {
        while (!produced.load() || app.impl().queuedMidiCount() > 0) unit().render(64);
    });
    Platform::InterAppAudioHost host;
    ASSERT_TRUE(host.connect(testDescription()));
    for (int i = 0; i < kMessages; ++i) {
        // Note and velocity number the message; every third comes from the host app.
        const int note = i % 128, velocity = 1 + i / 128;
        // The queue holds one render call's worth; a faster producer than MIDI itself waits here.
        while (app.impl().queuedMidiCount() >= Lumora::AudioIO_for_iOS_App_Impl::kMidiQueueCapacity)
            std::this_thread::yield();
        if (i % 3 == 2)
            host.sendMidi(0x90, note, velocity);
        else
            app.impl().didReceiveMidi(0x90, note, velocity, i % 3);
    }
    produced.store(true);
    renderer.join();

    std::vector<int> order;
    for (const auto& call : engine.calls)
        for (const auto& m : call.midi) order.push_back((m.data2() - 1) * 128 + m.data1());
    ASSERT_EQ(order.size(), static_cast<size_t>(kMessages));
    for (int i = 0; i < kMessages; ++i) ASSERT_EQ(order[i], i);
    EXPECT_EQ(app.impl().droppedMidiCount(), 0u);
}

// The queue and the piece hold a fixed number of messages: what does not fit is dropped and
// counted, and reported in one line later by a control operation, never by the render thread.
TEST_F(AppAudioRender, MessagesBeyondTheQueuesCapacityAreDroppedCountedAndReportedOffTheRenderThread) {
    RecordingEngine engine;
    auto& app = openIO(engine);
    constexpr std::size_t kCapacity = Lumora::AudioIO_for_iOS_App_Impl::kMidiQueueCapacity;
    for (std::size_t i = 0; i < kCapacity + 5; ++i)
        app.impl().didReceiveMidi(0xB0, static_cast<int>(i % 120), static_cast<int>(i / 120), 1);
    EXPECT_EQ(app.impl().queuedMidiCount(), kCapacity);
    EXPECT_EQ(app.impl().droppedMidiCount(), 5u);

    // The driver's own events at the block's start join the same full piece: dropped too.
    const Platform::MidiEvent driverEvents[] = {{0, 0x90, 60, 100, 0}, {0, 0x90, 61, 100, 0}};
    {
        Platform::ScopedLogCapture log;
        ASSERT_EQ(unit().render(64, driverEvents), OutputUnit::Status::Ok);
        EXPECT_TRUE(log.text().empty()) << log.text();
    }
    ASSERT_EQ(engine.calls.size(), 1u);
    ASSERT_EQ(engine.calls[0].midi.size(), kCapacity);
    for (std::size_t i = 0; i < kCapacity; ++i) {
        ASSERT_EQ(engine.calls[0].midi[i].data1(), static_cast<int>(i % 120));
        ASSERT_EQ(engine.calls[0].midi[i].data2(), static_cast<int>(i / 120));
    }
    EXPECT_EQ(app.impl().droppedMidiCount(), 7u);
    {
        Platform::ScopedLogCapture log;
        app.impl().reportDroppedMidi();
        EXPECT_TRUE(log.contains("MIDI: 7 messages dropped")) << log.text();
    }
    {
        Platform::ScopedLogCapture log;
        app.impl().reportDroppedMidi();   // nothing new
        EXPECT_TRUE(log.text().empty()) << log.text();
    }
    // Emptied by the call, the queue takes messages again.
    app.impl().didReceiveMidi(0x90, 62, 100, 1);
    ASSERT_EQ(unit().render(64), OutputUnit::Status::Ok);
    ASSERT_EQ(engine.calls.back().midi.size(), 1u);
    EXPECT_EQ(app.impl().droppedMidiCount(), 7u);
}

TEST_F(AppAudioRender, DisablingCoreMidiDropsOnlyExternalSources) {
    RecordingEngine engine;
    auto& app = openIO(engine);
    Platform::InterAppAudioHost host;
    ASSERT_TRUE(host.connect(testDescription()));

    testing::internal::CaptureStderr();
    app.setCoreMidiDisabled(true);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "disableCoreMIDI(1)\n");
    app.impl().didReceiveMidi(0x90, 60, 100, Lumora::MidiPortSetting::ExternalSource);
    app.impl().didReceiveMidi(0x90, 61, 100, Lumora::MidiPortSetting::VirtualDestination);
    // The host's values keep only their low eight bits.
    ASSERT_TRUE(host.sendMidi(0x190, 0x13E, 0x164, 17));
    ASSERT_EQ(unit().render(64), OutputUnit::Status::Ok);
    ASSERT_EQ(engine.calls.back().midi.size(), 2u);
    EXPECT_EQ(engine.calls.back().midi[0].data1(), 61);
    EXPECT_EQ(engine.calls.back().midi[1].status(), 0x90);
    EXPECT_EQ(engine.calls.back().midi[1].data1(), 0x3E);
    EXPECT_EQ(engine.calls.back().midi[1].data2(), 0x64);

    testing::internal::CaptureStderr();
    app.setCoreMidiDisabled(false);
    testing::internal::GetCapturedStderr();
    app.impl().didReceiveMidi(0x90, 60, 100, Lumora::MidiPortSetting::ExternalSource);
    EXPECT_EQ(app.impl().queuedMidiCount(), 1u);
}

TEST_F(AppAudioRender, AFailedInputPullKeepsTheQueueForTheNextCall) {
    RecordingEngine engine(2);
    auto& app = openIO(engine);
    EXPECT_EQ(Platform::AudioSession::sharedInstance().category(), Platform::AudioSession::Category::PlayAndRecord);
    EXPECT_TRUE(Platform::AudioUnitServices::isInputEnabled(&unit()));
    app.impl().didReceiveMidi(0x90, 60, 100, 1);

    Platform::AudioUnitServices::failNextCall(Platform::AudioUnitCall::RenderInput, -7);
    EXPECT_EQ(unit().render(64), OutputUnit::Status::CallbackFailed);
    EXPECT_TRUE(engine.calls.empty());
    EXPECT_EQ(app.impl().queuedMidiCount(), 1u);
    {
        // The render thread logs nothing; the next control operation reports the failure.
        Platform::ScopedLogCapture log;
        app.setBufferSize(64);
        EXPECT_TRUE(log.contains("au_audioRenderCallback: error -7")) << log.text();
    }
    EXPECT_EQ(unit().render(64), OutputUnit::Status::Ok);
    ASSERT_EQ(engine.calls.size(), 1u);
    EXPECT_EQ(engine.calls[0].midi.size(), 1u);
}

TEST_F(AppAudioRender, ASampleRateChangeWhileRenderingReachesTheEngineWhole) {
    RecordingEngine engine;
    auto& app = openIO(engine, 64, 44100.0f);
    std::atomic<bool> done{false};
    std::atomic<int> blocks{0};
    std::thread renderer([&] {
        while (!done.load()) {
            unit().render(64);
            ++blocks;
        }
    });
    for (int i = 0; i < 400; ++i) {
        ASSERT_TRUE(app.setSampleRate(i % 2 == 0 ? 48000.0f : 44100.0f));
        // Every few changes, let the render thread run a block in between.
        const int seen = blocks.load();
        while (i % 4 == 0 && blocks.load() == seen) std::this_thread::yield();
    }
    done.store(true);
    renderer.join();
    ASSERT_GE(engine.calls.size(), 100u);
    for (const auto& call : engine.calls) ASSERT_TRUE(call.sampleRate == 44100.0f || call.sampleRate == 48000.0f);
    EXPECT_EQ(app.sampleRate(), 44100.0f);
}

TEST_F(AppAudioRender, SourceChangesReachTheEngineAndSourcesCanBeSwitched) {
    RecordingEngine engine;
    Notifications notifications;
    engine.addNotificationObserver(&notifications);
    auto& app = openIO(engine);
    auto source = Platform::MidiSource::create(std::string("Keys"), 0);
    ASSERT_TRUE(Platform::MidiSystem::shared().addSource(source));
    Platform::RunLoop::main().runOnce();
    notifications.dispatch();
    EXPECT_NE(std::find(notifications.received.begin(), notifications.received.end(), std::make_pair(1001, 1)),
              notifications.received.end());

    const int32_t id = source->uniqueId().value_or(0);
    ASSERT_EQ(app.midiSources().count(id), 1u);
    EXPECT_EQ(app.midiSources().at(id).displayName, "Keys");
    app.enableMidiSource(id, false);
    EXPECT_FALSE(app.midiSources().at(id).enabled);
    app.enableMidiSource(123456789, false);   // unknown: ignored

    Platform::MidiSystem::shared().removeSource(source);
    Platform::RunLoop::main().runOnce();
}
