#pragma once

#include <array>
#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/audio/iAudioEngine.h"
#include "engine/clock/GrooveClockAdapter.h"
#include "engine/midifx/Arpeggiator.h"
#include "engine/midifx/ArpeggiatorData.h"
#include "engine/midifx/ChangedHeldNotes.h"
#include "engine/midifx/KeyboardHolder.h"
#include "engine/midifx/MidiQueue.h"
#include "engine/parameter/Parameter.h"

namespace Lumora {

class iInstrument;

// The frame of every synthesizer of the library: the engine base plus the parameters every
// synth shares, the MIDI effect chain (key holder, then arpeggiator on a swing clock) and the
// arpeggiator and micro-tuning document kinds. The product supplies the instrument.
//
// Threads: midiProcess and audioProcess run on the render thread and read the parameters, the
// arpeggiator data and the hold mode without a lock; the main thread (or a host thread during
// a state restore) writes them, each field atomically.
class iSynthAudioEngine : public iAudioEngine, private MIDI::HeldNoteObserver {
public:
    // The product's document kinds; the engine reads the first fourteen.
    struct Config {
        std::string soundName;
        std::string soundType;
        std::string soundFactoryPath;
        std::string soundUserPath;
        std::string soundProgramPath;
        std::string arpeggiatorName;
        std::string arpeggiatorType;
        std::string arpeggiatorUserPath;
        std::string midiMappingName;
        std::string midiMappingType;
        std::string midiMappingUserPath;
        std::string microTuningName;
        std::string microTuningType;
        std::string microTuningUserPath;
        std::string sampleName;
        std::string sampleType;
        std::string samplePath;
        std::string sampleReserved;
        std::string waveTableName;
        std::string waveTableType;
        std::string waveTablePath;
        std::string waveTableReserved;
    };

    struct SynthCommonParameters;
    using ArpeggiatorData = Lumora::ArpeggiatorData;

    static constexpr unsigned kArpeggiatorSteps = 16;

    iSynthAudioEngine(unsigned numInputs, unsigned numOutputs, const Config& config);
    ~iSynthAudioEngine() override;

    using iAudioEngine::deserialize;
    using iAudioEngine::serialize;
    void initialize(SerializeWhat what, SerializeWhere where) override;

    bool supportsTimingShift() const override { return true; }
    bool supportsNoteInput() const override { return true; }
    bool supportsTuning() const override { return true; }
    bool hasArpeggiator() const override { return true; }

    void allocateRenderResources(float sampleRate) override;
    void deallocateRenderResources() override;
    void reset() override;
    // Render thread: ends the notes of the MIDI effects and of the instrument.
    void allNoteOff() override;

    bool unpackPresetFile(const boost::filesystem::path& path) override;

    virtual iInstrument& instrument() = 0;
    virtual const iInstrument& instrument() const = 0;

    PresetDocFileManager* arpeggiatorDocumentFileManager() { return arpeggiatorManager_.get(); }
    PresetDocFileManager* microtuningDocumentFileManager() { return microTuningManager_.get(); }

    ArpeggiatorData& arpeggiatorData() { return arpeggiatorData_; }
    const ArpeggiatorData& arpeggiatorData() const { return arpeggiatorData_; }
    const MIDI::Arpeggiator& arpeggiator() const { return arpeggiator_; }
    const MIDI::KeyboardHolder& keyboardHolder() const { return keyboardHolder_; }
    const GrooveClockAdapter& grooveClock() const { return grooveClock_; }

    // 0 latch, 1 toggle.
    unsigned keyboardHoldMode() const { return keyboardHoldMode_.load(std::memory_order_relaxed); }
    void setKeyboardHoldMode(unsigned mode) { keyboardHoldMode_.store(mode, std::memory_order_relaxed); }

    // Null until an audio I/O object attaches.
    SynthCommonParameters* commonParameters() { return commonParameters_.get(); }
    const SynthCommonParameters* commonParameters() const { return commonParameters_.get(); }

protected:
    void onInitialize(iAudioIO* io) override;

    const MidiDeque& midiProcess(unsigned frames, float sampleRate, const Clock& clock,
                                 const MidiDeque& midi) override;
    void audioProcess(const std::vector<const float*>& inputs, const std::vector<float*>& outputs,
                      unsigned frames, float sampleRate, const Clock& clock,
                      const MidiDeque& midi) override;

    // The MIDI effects are off and the instrument is silent until a message comes.
    bool restsUntilMidi() const override;
    // The key holder and the arpeggiator are switched off (their parameters, which another thread
    // may move at any time). Asked by every gathered call, so inline.
    bool keyEffectsOff() const {
        return keyboardHoldSwitch_ != nullptr && !(keyboardHoldSwitch_->normalizedValue() > 0.0f) &&
               !(arpeggiatorSwitch_->normalizedValue() > 0.0f);
    }

    void serialize(SerializeWhat what, MultiPartText& text, SerializeWhere where) const override;
    bool deserialize(SerializeWhat what, const MultiPartText& text, SerializeWhere where) override;

private:
    void heldNoteChanged(int id, int note) override;
    // The parameters the instrument's common settings come from, as last handed over.
    struct PushedSettings {
        const void* engineMaster = nullptr;
        const void* common = nullptr;
        std::array<float, 12> values{};
        bool stepGlides = false;
        // Bit for bit, so that a value that is not a number is pushed again rather than never.
        // Asked every cycle, so inline.
        bool operator==(const PushedSettings& o) const {
            return engineMaster == o.engineMaster && common == o.common && stepGlides == o.stepGlides &&
                   std::memcmp(values.data(), o.values.data(), sizeof values) == 0;
        }
    };
    PushedSettings currentSettings() const;
    // Hands every common parameter to the instrument before it renders, when any of them changed.
    void pushCommonParameters();
    // The key holder and the arpeggiator are off (and were told so).
    bool effectsAtRest() const;
    // The instrument's volume: the squares of the master and common volumes.
    float volumeFromParameters() const;

    std::unique_ptr<SynthCommonParameters> commonParameters_;
    // The switches of the common block, set with it.
    const Parameter* keyboardHoldSwitch_ = nullptr;
    const Parameter* arpeggiatorSwitch_ = nullptr;
    GrooveClockAdapter grooveClock_;
    ArpeggiatorData arpeggiatorData_;
    MIDI::Arpeggiator arpeggiator_{kArpeggiatorSteps};
    MIDI::KeyboardHolder keyboardHolder_;
    std::atomic<unsigned> keyboardHoldMode_{MIDI::KeyboardHolder::Latch};
    std::unique_ptr<PresetDocFileManager> arpeggiatorManager_;
    std::unique_ptr<PresetDocFileManager> microTuningManager_;
    // The MIDI effects work on queues; the engine cycle hands deques.
    MidiQueue effectInput_ = makeMidiQueue();
    MidiDeque processed_;
    PushedSettings pushed_;
    bool settingsPushed_ = false;
};

} // namespace Lumora
