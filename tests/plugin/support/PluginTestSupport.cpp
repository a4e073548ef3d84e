#include "plugin/support/PluginTestSupport.h"

#include "platform/foundation/RunLoop.h"

namespace PluginTest {

namespace {

Lumora::PresetDocFileManagerConfig soundConfig(Lumora::Serializer* engine, std::string const& folder) {
    Lumora::PresetDocFileManagerConfig config;
    if (folder.empty())
        return config;
    config.serializer = engine;
    config.serializeWhat = Lumora::SerializeWhat::SoundPreset;
    config.name = "Sound Presets";
    config.fileExtension = "corvane_snd";
    config.pathConfig.factoryDirectory = folder + "/Factory";
    config.pathConfig.userDirectory = folder + "/User";
    config.pathConfig.programDirectory = folder + "/Program";
    return config;
}

} // namespace

RecordingEngine::RecordingEngine(unsigned inputs, unsigned outputs, std::string const& presetFolder)
    : iAudioEngine(inputs, outputs, soundConfig(this, presetFolder), {}) {}

void RecordingEngine::audioProcess(std::vector<float const*> const& inputs, std::vector<float*> const& outputs,
                                   unsigned frames, float, Lumora::Clock const& clock, MidiDeque const& midi) {
    Cycle cycle;
    cycle.frames = frames;
    cycle.midi.assign(midi.begin(), midi.end());
    cycle.cutoffAtStart = cutoff.normalizedValue();
    cycle.bpm = clock.bpm();
    cycle.beatPosition = clock.beatPosition();
    cycle.timeSignature = clock.timeSignature();
    cycles.push_back(cycle);
    for (float const* in : inputs)
        inputsSeen.emplace_back(in, in + frames);
    float const mark = static_cast<float>(cycles.size());
    for (float* out : outputs)
        for (unsigned i = 0; i < frames; ++i)
            out[i] = mark;
}

Rig::Rig(unsigned inputs, unsigned outputs, std::string const& presetFolder)
    : engine(std::make_unique<RecordingEngine>(inputs, outputs, presetFolder)),
      audioIO(std::make_unique<Lumora::AudioIO_for_iOS_Plugin>(engine.get())) {
    unit = audioIO->createAudioUnit(instrumentDescription(), nullptr, nullptr);
}

Rig::~Rig() {
    // Tasks that name the unit must not outlive the test that posted them.
    pumpMainQueue();
    audioIO.reset();
    engine.reset();
}

std::size_t Rig::pumpMainQueue() {
    return Platform::RunLoop::main().runOnce();
}

Platform::ComponentDescription instrumentDescription() {
    return Platform::ComponentDescription{Platform::fourCharCode("aumu"), Platform::fourCharCode("Crvn"),
                                          Platform::fourCharCode("Lmra")};
}

} // namespace PluginTest
