#include "engine/synth/iSynthAudioEngine.h"

#include <algorithm>
#include <utility>

#include "engine/audio/MasterParameters.h"
#include "engine/documents/PresetDocFileManager.h"
#include "engine/instrument/iInstrument.h"
#include "engine/synth/SynthCommonParameters.h"
#include "engine/text/MultiPartText.h"

namespace Lumora {

namespace {

const std::string kArpeggiatorPart = "Arpeggiator";

// The swing clock runs up to a fifth of a beat early or late.
constexpr double kTimingShiftBeats = 0.2;

PresetDocFileManagerConfig documentConfig(Serializer* serializer, SerializeWhat what,
                                          const std::string& name, const std::string& type,
                                          PresetDocFileManagerPathConfig paths) {
    PresetDocFileManagerConfig config;
    config.serializer = serializer;
    config.serializeWhat = what;
    config.name = name;
    config.fileExtension = type;
    config.pathConfig = std::move(paths);
    return config;
}

PresetDocFileManagerConfig soundConfig(Serializer* engine, const iSynthAudioEngine::Config& c) {
    return documentConfig(engine, SerializeWhat::SoundPreset, c.soundName, c.soundType,
                          {c.soundFactoryPath, c.soundUserPath, c.soundProgramPath});
}

// The kinds other than sounds live in the user's folder only.
PresetDocFileManagerConfig userOnlyConfig(Serializer* engine, SerializeWhat what,
                                          const std::string& name, const std::string& type,
                                          const std::string& userPath) {
    return documentConfig(engine, what, name, type, {"", userPath, ""});
}

bool isOn(const Parameter& p) { return p.normalizedValue() > 0.0f; }

float clampedNormalized(const Parameter& p) { return std::clamp(p.normalizedValue(), 0.0f, 1.0f); }

int concreteInt(const Parameter& p) { return static_cast<int>(p.concreteValue()); }

} // namespace

iSynthAudioEngine::iSynthAudioEngine(unsigned numInputs, unsigned numOutputs, const Config& config)
    : iAudioEngine(numInputs, numOutputs, soundConfig(this, config),
                   userOnlyConfig(this, SerializeWhat::MidiMappingPart, config.midiMappingName,
                                  config.midiMappingType, config.midiMappingUserPath)) {
    if (!config.arpeggiatorType.empty()) {
        arpeggiatorManager_ = std::make_unique<PresetDocFileManager>(
            userOnlyConfig(this, SerializeWhat::ArpeggiatorPart, config.arpeggiatorName,
                           config.arpeggiatorType, config.arpeggiatorUserPath),
            nullptr);
    }
    if (!config.microTuningType.empty()) {
        microTuningManager_ = std::make_unique<PresetDocFileManager>(
            userOnlyConfig(this, SerializeWhat::MicroTuningPart, config.microTuningName,
                           config.microTuningType, config.microTuningUserPath),
            nullptr);
    }
}

iSynthAudioEngine::~iSynthAudioEngine() {
    microTuningManager_.reset();
    arpeggiatorManager_.reset();
    // The product's parameter manager is gone by now and has told these parameters so.
    keyboardHoldSwitch_ = nullptr;
    arpeggiatorSwitch_ = nullptr;
    commonParameters_.reset();
}

// ---- attaching an audio I/O object

void iSynthAudioEngine::onInitialize(iAudioIO* io) {
    iAudioEngine::onInitialize(io);
    // The old block leaves the manager before the new one enters it at its defaults.
    keyboardHoldSwitch_ = nullptr;
    arpeggiatorSwitch_ = nullptr;
    commonParameters_.reset();
    const iInstrument& synth = instrument();
    commonParameters_ = std::make_unique<SynthCommonParameters>(
        &parameterManager(), synth.polyphonicCapacity(), synth.maxPolyphony());
    keyboardHoldSwitch_ = &commonParameters_->common.keyboardHold;
    arpeggiatorSwitch_ = &commonParameters_->common.arpeggiator;
}

// ---- render resources

void iSynthAudioEngine::allocateRenderResources(float sampleRate) {
    recheckRest();
    instrument().allocateRenderResources(sampleRate);
    // A fresh render starts at the set volume; a glide from the instrument's initial level
    // would make a note in the very first block several times too loud.
    if (commonParameters_) {
        instrument().setVolumeWithoutRamp(volumeFromParameters());
    }
}

float iSynthAudioEngine::volumeFromParameters() const {
    const CommonParameters::Master* engineMaster = masterParameters();
    const float m = engineMaster ? clampedNormalized(engineMaster->masterVolume) : 1.0f;
    const float c = clampedNormalized(commonParameters_->common.volume);
    return m * m * c * c;
}

void iSynthAudioEngine::deallocateRenderResources() {
    recheckRest();
    instrument().deallocateRenderResources();
}

void iSynthAudioEngine::reset() {
    iAudioEngine::reset();
    instrument().reset();
}

void iSynthAudioEngine::allNoteOff() {
    iAudioEngine::allNoteOff();
    // Held and arpeggiated notes end too; their note-offs lead the effects' next output.
    keyboardHolder_.allNotesOff();
    arpeggiator_.allNotesOff();
    instrument().allNoteOff();
}

// ---- state

void iSynthAudioEngine::initialize(SerializeWhat what, SerializeWhere where) {
    if (sharesBit(what, SerializeWhat::ArpeggiatorPart)) {
        arpeggiatorData_.initialize();
    }
    if (what == SerializeWhat::ArpeggiatorPart) {
        // An arpeggiator document resets only the arpeggiator settings.
        provideNotification(Deserialized, static_cast<int>(what));
        return;
    }
    instrument().initialize(what, where);
    iAudioEngine::initialize(what, where);
}

void iSynthAudioEngine::serialize(SerializeWhat what, MultiPartText& text,
                                  SerializeWhere) const {
    if (sharesBit(what, SerializeWhat::ArpeggiatorPart)) {
        text.append(kArpeggiatorPart, arpeggiatorData_.serialize());
    }
    instrument().serialize(what, text);
}

bool iSynthAudioEngine::deserialize(SerializeWhat what, const MultiPartText& text,
                                    SerializeWhere where) {
    bool arpeggiatorRead = true;
    if (sharesBit(what, SerializeWhat::ArpeggiatorPart)) {
        arpeggiatorRead = arpeggiatorData_.deserialize(text.partText(kArpeggiatorPart));
    }
    const bool instrumentRead = instrument().deserialize(what, text, where);
    return arpeggiatorRead && instrumentRead;
}

bool iSynthAudioEngine::unpackPresetFile(const boost::filesystem::path& path) {
    if (iAudioEngine::unpackPresetFile(path)) {
        return true;
    }
    for (PresetDocFileManager* manager : {arpeggiatorManager_.get(), microTuningManager_.get()}) {
        const PackUnpacking result = unpackIfPackOf(path, manager);
        if (result != PackUnpacking::NotThisKind) {
            return result == PackUnpacking::Unpacked;
        }
    }
    return false;
}

// ---- the render cycle

void iSynthAudioEngine::heldNoteChanged(int id, int note) {
    provideNotification(static_cast<NotificationID>(id), note);
}

const iAudioEngine::MidiDeque& iSynthAudioEngine::midiProcess(unsigned, float, const Clock& clock,
                                                              const MidiDeque& midi) {
    grooveClock_.process(&clock, arpeggiatorData_.swing.load(std::memory_order_relaxed),
                         timingShift() * kTimingShiftBeats);
    if (grooveClock_.isTriggered_16()) {
        provideNotification(GrooveSixteenthTick, grooveClock_.beat16());
    }

    const SynthCommonParameters::Common* common =
        commonParameters_ ? &commonParameters_->common : nullptr;
    const bool holding = common != nullptr && isOn(common->keyboardHold);
    const bool arpeggiating = common != nullptr && isOn(common->arpeggiator);

    keyboardHolder_.setMode(keyboardHoldMode());
    if (midi.empty() && !holding && !arpeggiating && effectsAtRest()) {
        // Both effects are off and stay off: they would pass the empty block through.
        if (!keyboardHolder_.changedHeldNotes().empty()) {
            keyboardHolder_.drainChangedHeldNotes(*this);
        }
        // Clearing walks the messages' destructors even when there are none.
        if (!processed_.empty()) {
            processed_.clear();
        }
        return processed_;
    }

    effectInput_.assign(midi.begin(), midi.end());
    keyboardHolder_.activate(holding);
    const MidiQueue& held = keyboardHolder_.process(effectInput_, clock);
    keyboardHolder_.drainChangedHeldNotes(*this);

    if (arpeggiating) {
        arpeggiatorData_.setupArpeggiator(arpeggiator_);
    }
    arpeggiator_.activate(arpeggiating);
    const MidiQueue& played = arpeggiator_.process(held, grooveClock_);

    // Filled at the back only: a cleared deque keeps its first node, so a block of ordinary
    // size allocates nothing (assigning into an empty deque would grow it at the front).
    processed_.clear();
    for (const MidiMessage& m : played) {
        processed_.push_back(m);
    }
    return processed_;
}

// The instrument first: while it sounds, it ends the question at once.
bool iSynthAudioEngine::restsUntilMidi() const {
    return instrument().silentUntilMidi() && keyEffectsOff() && effectsAtRest();
}

bool iSynthAudioEngine::effectsAtRest() const {
    return keyboardHolder_.state() == MIDI::Effector::Inactive && arpeggiator_.state() == MIDI::Effector::Inactive;
}

// Every value the instrument is handed depends on these alone; an idle block at 32 frames would
// otherwise spend a good part of its time converting the same values again.
iSynthAudioEngine::PushedSettings iSynthAudioEngine::currentSettings() const {
    const SynthCommonParameters::Master& master = commonParameters_->master;
    const SynthCommonParameters::Common& common = commonParameters_->common;
    const CommonParameters::Master* engineMaster = masterParameters();
    PushedSettings s{};
    s.engineMaster = engineMaster;
    s.common = commonParameters_.get();
    s.values = {master.maxPolyphony.normalizedValue(),
                engineMaster ? engineMaster->masterVolume.normalizedValue() : 0.0f,
                engineMaster ? engineMaster->audioQuality.normalizedValue() : 0.0f,
                common.volume.normalizedValue(),
                master.transpose.normalizedValue(),
                common.octave.normalizedValue(),
                master.tune.normalizedValue(),
                common.pitchBendRange.negative.normalizedValue(),
                common.pitchBendRange.positive.normalizedValue(),
                common.portamento.normalizedValue(),
                common.arpeggiator.normalizedValue(),
                common.monoMode.normalizedValue()};
    if (isOn(common.arpeggiator)) {
        const unsigned step = arpeggiator_.currentStepNumber() & (ArpeggiatorData::kStepCount - 1);
        s.stepGlides = arpeggiatorData_.steps[step].portamento.load(std::memory_order_relaxed);
    }
    return s;
}

void iSynthAudioEngine::pushCommonParameters() {
    const PushedSettings settings = currentSettings();
    if (settingsPushed_ && settings == pushed_) {
        return;
    }
    pushed_ = settings;
    settingsPushed_ = true;
    iInstrument& synth = instrument();
    const SynthCommonParameters::Master& master = commonParameters_->master;
    const SynthCommonParameters::Common& common = commonParameters_->common;

    synth.setMaxPolyphony(static_cast<unsigned>(master.maxPolyphony.concreteValue()));

    synth.setVolume(volumeFromParameters());

    synth.setTranspose(concreteInt(master.transpose) + 12 * concreteInt(common.octave));
    synth.setTune(master.tune.concreteValue());
    synth.setPitchBendRange(concreteInt(common.pitchBendRange.negative) + 1,
                            concreteInt(common.pitchBendRange.positive) + 1);

    const float glide = common.portamento.concreteValue();
    if (isOn(common.arpeggiator)) {
        // Under the arpeggiator every note may glide, but only on steps marked for it.
        const unsigned step = arpeggiator_.currentStepNumber() & (ArpeggiatorData::kStepCount - 1);
        const bool stepGlides = arpeggiatorData_.steps[step].portamento.load(std::memory_order_relaxed);
        synth.setPortamentoMode(iInstrument::PORTAMENTO_ALWAYS);
        synth.setPortamento(stepGlides ? glide : 0.0f);
    } else {
        synth.setPortamentoMode(iInstrument::PORTAMENTO_LEGATO);
        synth.setPortamento(glide);
    }

    synth.setMonoMode(static_cast<iInstrument::monoMode_t>(std::clamp(concreteInt(common.monoMode), 0, 2)));

    const CommonParameters::Master* engineMaster = masterParameters();
    const int quality = engineMaster ? concreteInt(engineMaster->audioQuality) : 1;
    synth.setAudioQuality(quality == 1 || quality == 2 ? static_cast<AudioQuality>(quality)
                                                       : AudioQuality::Eco);
}

void iSynthAudioEngine::audioProcess(const std::vector<const float*>& inputs,
                                     const std::vector<float*>& outputs, unsigned frames,
                                     float sampleRate, const Clock& clock, const MidiDeque& midi) {
    if (commonParameters_) {
        pushCommonParameters();
    }
    instrument().audioProcess(inputs, outputs, frames, sampleRate, clock, midi);
}

} // namespace Lumora
