#pragma once

// A small engine, an audio I/O and a host around the plug-in's audio unit, for the plug-in's
// tests. The engine records what every cycle was handed and writes the cycle's number into
// its outputs, so that a test sees where each engine cycle began and ended.

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include <boost/filesystem.hpp>

#include "engine/audio/iAudioEngine.h"
#include "engine/documents/PresetDocFileManager.h"
#include "engine/parameter/ParameterManager.h"
#include "engine/parameter/TypedParameters.h"
#include "platform/audiounit/TestHost.h"
#include "plugin/audioio/AudioIO_for_iOS_Plugin.h"
#include "plugin/audiounit/Lumora_iOS_AudioUnit.h"

namespace PluginTest {

using Lumora::MidiMessage;

constexpr int kCutoff = 10;  // UFloat, visible
constexpr int kSecret = 11;  // UInt, hidden from the host
constexpr int kPan = 12;     // SInt -10..10, visible
constexpr int kSteps = 13;   // UInt 0..127, visible

// What one engine cycle saw.
struct Cycle {
    unsigned frames = 0;
    std::vector<MidiMessage> midi;
    float cutoffAtStart = 0.0f;
    double bpm = 0.0;
    double beatPosition = 0.0;
    Lumora::TimeSignature timeSignature;
};

class RecordingEngine : public Lumora::iAudioEngine {
public:
    // With a folder, sound presets live in its "Factory" and "Program" sub-folders.
    explicit RecordingEngine(unsigned inputs = 0, unsigned outputs = 2, std::string const& presetFolder = {});

    Lumora::ParameterManager& parameterManager() override { return manager; }
    Lumora::ParameterManager const& parameterManager() const override { return manager; }
    void allocateRenderResources(float sampleRate) override { allocatedRate = sampleRate; }

    Lumora::ParameterManager manager{"PluginTest", 2, nullptr};
    Lumora::Parameter_UFloat cutoff{&manager, kCutoff, "Cutoff", "CUTOFF", 0.5f, 0.0f, 1.0f,
                                    Lumora::Parameter::Options::None, Lumora::SerializeWhat::SoundParameters, 0};
    Lumora::Parameter_UInt secret{&manager, kSecret, "Secret", "SECRET", 3, 0, 127,
                                  Lumora::Parameter::Options::HiddenFromHost, Lumora::SerializeWhat::SoundParameters, 0};
    Lumora::Parameter_SInt pan{&manager, kPan, "Pan", "PAN", 0, -10, 10, Lumora::Parameter::Options::None,
                               Lumora::SerializeWhat::SoundParameters, 0};
    Lumora::Parameter_UInt steps{&manager, kSteps, "Steps", "STEPS", 16, 0, 127, Lumora::Parameter::Options::None,
                                 Lumora::SerializeWhat::SoundParameters, 0};

    std::vector<Cycle> cycles;
    std::vector<std::vector<float>> inputsSeen;
    float allocatedRate = 0.0f;

protected:
    void audioProcess(std::vector<float const*> const& inputs, std::vector<float*> const& outputs, unsigned frames,
                      float sampleRate, Lumora::Clock const& clock, MidiDeque const& midi) override;
};

// The engine, its audio I/O and the unit, made as the extension makes them.
struct Rig {
    explicit Rig(unsigned inputs = 0, unsigned outputs = 2, std::string const& presetFolder = {});
    ~Rig();

    std::unique_ptr<RecordingEngine> engine;
    std::unique_ptr<Lumora::AudioIO_for_iOS_Plugin> audioIO;
    std::shared_ptr<Lumora_iOS_AudioUnit> unit;

    // The main queue's tasks posted so far (echoes, program loads); answers how many ran.
    static std::size_t pumpMainQueue();
};

Platform::ComponentDescription instrumentDescription();

} // namespace PluginTest
