// Renders Corvane's default sound playing a short built-in phrase (chords, a bass line and an
// arpeggio) through the engine's render cycle into a stereo 32-bit float WAV file, and prints
// where it went, its peak and RMS level, and what the render thread reported to the screens.
//
//   corvane_demo [output.wav]      (default: out/corvane-demo.wav under the project root)
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <system_error>

#include "demo/DemoPhrase.h"
#include "demo/OfflineAudioIO.h"
#include "engine/audio/iAudioEngineObservers.h"
#include "platform/audio/OfflineDriver.h"
#include "platform/audio/OutputUnit.h"
#include "synthesis/voice/engine/AudioEngine.h"

#ifndef CORVANE_PROJECT_ROOT
#define CORVANE_PROJECT_ROOT "."
#endif

namespace {

constexpr double kSampleRate = 44100.0;
constexpr unsigned kMaximumFrames = 512;
// Room for the releases and the effects' tails after the last note.
constexpr double kTailSeconds = 2.0;
// Processed MIDI lines shown before the rest is only counted.
constexpr unsigned kMidiLinesShown = 12;

struct CountingMidiObserver : Lumora::iAudioEngine::MidiObserver {
    void handleMidiMessage(const Lumora::MidiMessage& m) override {
        if (++count <= kMidiLinesShown) {
            std::printf("  processed MIDI: %02X %3d %3d\n", m.status(), m.data1(), m.data2());
        }
    }
    unsigned count = 0;
};

struct CountingNotificationObserver : Lumora::iAudioEngine::NotificationObserver {
    void handleNotification(int id, int) override { ++counts[id]; }
    std::map<int, unsigned> counts;
};

const char* notificationName(int id) {
    switch (id) {
    case Lumora::iAudioEngine::TempoChanged: return "tempo changed";
    case Lumora::iAudioEngine::SixteenthTick: return "sixteenth tick";
    case Lumora::iAudioEngine::GrooveSixteenthTick: return "groove sixteenth tick";
    case Lumora::iAudioEngine::NoteHeld: return "note held";
    case Lumora::iAudioEngine::NoteReleased: return "note released";
    default: return "notification";
    }
}

double decibels(double level) { return level > 0.0 ? 20.0 * std::log10(level) : -INFINITY; }

std::string outputPath(int argc, char** argv) {
    if (argc > 1) {
        return argv[1];
    }
    return (std::filesystem::path(CORVANE_PROJECT_ROOT) / "out" / "corvane-demo.wav").string();
}

} // namespace

int main(int argc, char** argv) {
    const std::string path = outputPath(argc, argv);
    if (const auto folder = std::filesystem::path(path).parent_path(); !folder.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
    }

    // The engine as the model makes it; no document folders are needed to play.
    Lumora::Corvane::AudioEngine engine({}, "Corvane", 2);
    CountingMidiObserver midiObserver;
    CountingNotificationObserver notificationObserver;
    engine.addMidiNoteObserver(&midiObserver);
    engine.addNotificationObserver(&notificationObserver);

    Platform::OutputUnit unit;
    unit.setSampleRate(kSampleRate);
    unit.setMaximumFramesPerSlice(kMaximumFrames);
    Demo::OfflineAudioIO io(&engine, unit, Demo::DemoPhrase::kTempo);
    engine.setMidiInChannel(0);
    engine.setMaximumFramesToRender(unit.maximumFramesPerSlice());
    engine.allocateRenderResources(static_cast<float>(kSampleRate));

    const Platform::MidiPhrase phrase = Demo::DemoPhrase::build(kSampleRate);
    Platform::OfflineDriver driver(unit);
    driver.setMidi(&phrase);
    const auto frames =
        static_cast<uint64_t>(std::ceil((Demo::DemoPhrase::seconds() + kTailSeconds) * kSampleRate));
    std::printf("Corvane: rendering the default sound playing %zu MIDI events (%.1f s at %.0f Hz)\n",
                phrase.events().size(), static_cast<double>(frames) / kSampleRate, kSampleRate);
    const Platform::OfflineDriver::Result result = driver.renderToWav(path, frames);
    engine.deallocateRenderResources();

    // What the screens' timer would hand on after the render.
    engine.publishReadbacks();
    midiObserver.dispatch();
    notificationObserver.dispatch();
    if (midiObserver.count > kMidiLinesShown) {
        std::printf("  ... %u processed MIDI messages in all\n", midiObserver.count);
    }
    for (const auto& [id, count] : notificationObserver.counts) {
        std::printf("  notifications %d (%s): %u\n", id, notificationName(id), count);
    }

    if (!result.ok) {
        std::fprintf(stderr, "corvane_demo: %s\n", result.error.c_str());
        return 1;
    }
    std::printf("wrote %s\n", path.c_str());
    std::printf("  %llu frames, stereo, 32-bit float, %.0f Hz\n",
                static_cast<unsigned long long>(result.frames), kSampleRate);
    std::printf("  peak %.4f (%.1f dBFS), RMS %.4f (%.1f dBFS)%s\n", result.peak, decibels(result.peak),
                result.rms, decibels(result.rms), result.finite ? "" : ", NOT FINITE");
    return result.finite ? 0 : 1;
}
