// The sounds the shared framework ships: the start-up sound, the factory sounds and the numbered
// program list that program changes select. The factory sounds lie flat in the Factory folder,
// each name led by its kind ("Bass - ...", "Lead - ...") so that they sort by kind: a plug-in
// host's list of factory presets and next/previous at the Factory top see only that top folder. Each one is built here by setting
// the product's parameters on an engine and written through the engine's own serialize, exactly
// the text the program saves for a sound; CORVANE_WRITE_FACTORY_SOUNDS=1 writes them under
// resources/Framework.framework/Data/Sound. Every run checks that the committed documents are what
// this generator writes, that each loads into a fresh engine, and that each plays: audible, never
// above full scale, clean, and silent again once its notes and effect tails have ended.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "../engine/EngineFixture.h"
#include "engine/documents/PresetDocFileManager.h"
#include "engine/midifx/ArpeggiatorData.h"
#include "engine/parameter/Serializer.h"

using namespace EngineTest;
using Lumora::SerializeWhat;
using Lumora::SerializeWhere;

namespace {

// What a sound document holds while the settings are at their defaults: the sound's parameters
// and the arpeggiator, but neither the MIDI mapping nor the micro-tuning.
constexpr SerializeWhat kSoundDocument = static_cast<SerializeWhat>(
    static_cast<uint32_t>(SerializeWhat::SoundPreset) &
    ~(static_cast<uint32_t>(SerializeWhat::MidiMappingPart) | static_cast<uint32_t>(SerializeWhat::MicroTuningPart)));

constexpr char const* kFileType = ".corvane_snd";

std::filesystem::path soundFolder() {
    return std::filesystem::path(CORVANE_SOURCE_DIR) / "resources" / "Framework.framework" / "Data" / "Sound";
}

// The arpeggiator settings of a sound that plays one; the switch COMMON_ARPEGGIATOR turns it on.
struct Arpeggio {
    unsigned style = 0;   // 0 up, 1 down, 2 up-down, 3 down-up, 4 random, 5 programmed
    unsigned octaves = 0; // extra octaves, 0..2
    unsigned rate = 2;    // 0 quarter, 1 eighth, 2 sixteenth
    float gate = 0.5f;
    float swing = 0.0f;
    unsigned patternLength = 8;
    std::vector<int> accents; // steps (0-based) that keep the full velocity
};

struct Sound {
    using Values = std::vector<std::pair<char const*, float>>;
    Sound(std::string name_, Values values_, std::vector<int> chord_)
        : name(std::move(name_)), values(std::move(values_)), chord(std::move(chord_)) {}

    std::string name;
    // Parameter key and concrete value (integers as such, bipolar values in -1..1).
    Values values;
    std::vector<int> chord; // what the test holds (or the arpeggiator plays)
    std::optional<Arpeggio> arp;
    bool pitched = true; // the lowest held key sounds at its pitch once the note has settled
};

// ---- the sounds

// The engine's initialized sound made a little friendlier: a saw through a gently moving filter,
// a touch of chorus and room.
Sound defaultSound() {
    return {"Default",
            {{"PITCH_DRIFT", 0.15f},
             {"FILTER_FREQ", 0.72f},
             {"FILTER_RESO", 0.15f},
             {"FILTER_VELO", 0.3f},
             {"FILTER_KEY", 0.4f},
             {"FILTER_ENV_DEPTH", 0.3f},
             {"FILTER_ENV_D", 0.4f},
             {"FILTER_ENV_S", 0.5f},
             {"FILTER_ENV_R", 0.3f},
             {"AMP_ENV_D", 0.4f},
             {"AMP_ENV_S", 0.85f},
             {"AMP_ENV_R", 0.22f},
             {"CHORUS_WET", 0.3f},
             {"CHORUS_SPREAD", 0.5f},
             {"REVERB_SEND", 0.15f},
             {"REVERB_TIME", 0.2f}},
            {60, 64, 67}};
}

std::vector<Sound> factorySounds() {
    std::vector<Sound> sounds;

    // A saw with its sub an octave down through a resonant two-stage low-pass that the envelope
    // snaps open and shut: the classic squelchy pluck.
    sounds.push_back({"Bass - Resonant Pluck Bass",
                      {{"PITCH_DRIFT", 0.05f},
                       {"OSC_SUB_LEVEL", 0.5f},
                       {"FILTER_FREQ", 0.22f},
                       {"FILTER_RESO", 0.6f},
                       {"FILTER_VELO", 0.35f},
                       {"FILTER_KEY", 0.5f},
                       {"FILTER_ENV_DEPTH", 0.6f},
                       {"FILTER_ENV_D", 0.22f},
                       {"FILTER_ENV_S", 0.0f},
                       {"FILTER_ENV_R", 0.2f},
                       {"FILTER_DRIVE", 0.3f},
                       {"AMP_VELOCITY", 0.4f},
                       {"AMP_ENV_D", 0.45f},
                       {"AMP_ENV_S", 0.6f},
                       {"AMP_ENV_R", 0.12f}},
                      {36}});
    // Mono square with a strong sub, a boosted low end and a short glide between notes.
    sounds.push_back({"Bass - Sub Square Bass",
                      {{"COMMON_MONOMODE", 1},
                       {"COMMON_PORTAMENTO", 0.45f},
                       {"PITCH_DRIFT", 0.05f},
                       {"OSC_WAVEMIX", 1.0f},
                       {"OSC_SUB_LEVEL", 0.7f},
                       {"FILTER_FREQ", 0.38f},
                       {"FILTER_RESO", 0.1f},
                       {"FILTER_VELO", 0.2f},
                       {"FILTER_KEY", 0.5f},
                       {"FILTER_LOW", 0.3f},
                       {"FILTER_ENV_DEPTH", 0.25f},
                       {"FILTER_ENV_D", 0.3f},
                       {"FILTER_ENV_S", 0.3f},
                       {"AMP_ENV_R", 0.1f}},
                      {33}});
    // Legato FM bass: the modulation envelope bites at the start and the filter LFO wobbles it.
    sounds.push_back({"Bass - FM Growl Bass",
                      {{"COMMON_MONOMODE", 2},
                       {"COMMON_PORTAMENTO", 0.4f},
                       {"OSC_MOD_DEPTH", 0.45f},
                       {"OSC_MOD_FREQ", 0.5f},
                       {"OSC_MOD_ENV_DEPTH", 0.4f},
                       {"OSC_MOD_ENV_D", 0.3f},
                       {"OSC_SUB_LEVEL", 0.4f},
                       {"FILTER_FREQ", 0.4f},
                       {"FILTER_RESO", 0.35f},
                       {"FILTER_VELO", 0.2f},
                       {"FILTER_LFO_DEPTH", 0.35f},
                       {"FILTER_LFO_RATE", 0.6f},
                       {"FILTER_DRIVE", 0.5f},
                       {"AMP_ENV_R", 0.1f}},
                      {38}});

    // Square lead that glides legato between notes, with a gentle vibrato and ping-pong echoes.
    sounds.push_back({"Lead - Square Glide Lead",
                      {{"COMMON_MONOMODE", 2},
                       // Each block keeps 1 - exp(-2 pi p^2) of the remaining glide: 0.65 keeps 93
                       // percent, a glide of about 40 ms at 128-frame blocks.
                       {"COMMON_PORTAMENTO", 0.65f},
                       // A vibrato of about 12 cents (the pitch LFO only raises) at 5.5 Hz.
                       {"PITCH_LFO_DEPTH", 0.22f},
                       {"PITCH_LFO_RATE", 0.75f},
                       {"OSC_WAVEMIX", 1.0f},
                       {"OSC_DETUNE", 0.12f},
                       {"FILTER_FREQ", 0.62f},
                       {"FILTER_RESO", 0.25f},
                       {"FILTER_VELO", 0.2f},
                       {"FILTER_KEY", 0.5f},
                       {"FILTER_ENV_DEPTH", 0.2f},
                       {"FILTER_ENV_S", 0.4f},
                       {"AMP_ENV_A", 0.05f},
                       {"AMP_ENV_R", 0.2f},
                       {"DELAY_SEND", 0.35f},
                       {"DELAY_TIME_L", 2},
                       {"DELAY_TIME_R", 3},
                       {"DELAY_FEEDBACK", 0.45f},
                       {"REVERB_SEND", 0.12f},
                       {"REVERB_TIME", 0.2f}},
                      {72}});
    // Fat detuned saws with a little drive, chorus and a short glide.
    sounds.push_back({"Lead - Detuned Saw Lead",
                      {{"AMP_LEVEL", 0.6f},
                       {"COMMON_MONOMODE", 1},
                       {"COMMON_PORTAMENTO", 0.5f},
                       {"PITCH_DRIFT", 0.3f},
                       {"OSC_DETUNE", 0.35f},
                       {"OSC_SUB_LEVEL", 0.2f},
                       {"FILTER_FREQ", 0.7f},
                       {"FILTER_RESO", 0.2f},
                       {"FILTER_VELO", 0.2f},
                       {"FILTER_DRIVE", 0.35f},
                       {"AMP_ENV_R", 0.2f},
                       {"CHORUS_WET", 0.3f},
                       {"CHORUS_SPREAD", 0.6f},
                       {"DELAY_SEND", 0.2f},
                       {"DELAY_FEEDBACK", 0.35f}},
                      {67}});
    // Bright FM lead on a triangle carrier at twice the frequency, its brightness fading in.
    sounds.push_back({"Lead - FM Brass Lead",
                      {{"AMP_LEVEL", 0.65f},
                       {"OSC_WAVEMIX", 0.0f},
                       {"OSC_MOD_DEPTH", 0.35f},
                       {"OSC_MOD_FREQ", 0.7071f},
                       {"OSC_MOD_ENV_DEPTH", 0.45f},
                       {"OSC_MOD_ENV_A", 0.2f},
                       {"OSC_MOD_ENV_D", 1.0f},
                       {"FILTER_FREQ", 0.6f},
                       {"FILTER_VELO", 0.3f},
                       {"FILTER_ENV_DEPTH", 0.35f},
                       {"FILTER_ENV_A", 0.15f},
                       {"FILTER_ENV_D", 0.4f},
                       {"FILTER_ENV_S", 0.5f},
                       {"AMP_ENV_A", 0.08f},
                       {"AMP_ENV_R", 0.2f},
                       {"DELAY_SEND", 0.25f},
                       {"DELAY_FEEDBACK", 0.3f},
                       {"REVERB_SEND", 0.15f},
                       {"REVERB_TIME", 0.2f}},
                      {65}});

    // Warm pad: detuned saws leaning towards triangle, a slow swell, a filter that breathes,
    // wide chorus and a soft room.
    sounds.push_back({"Pad - Warm Detuned Pad",
                      {{"PITCH_DRIFT", 0.35f},
                       {"OSC_WAVEMIX", -0.6f},
                       {"OSC_DETUNE", 0.45f},
                       {"OSC_LEVEL", 0.75f},
                       {"FILTER_FREQ", 0.48f},
                       {"FILTER_RESO", 0.15f},
                       {"FILTER_VELO", 0.15f},
                       {"FILTER_ENV_DEPTH", 0.2f},
                       {"FILTER_ENV_A", 0.35f},
                       {"FILTER_ENV_D", 0.5f},
                       {"FILTER_ENV_S", 0.6f},
                       {"FILTER_ENV_R", 0.45f},
                       {"FILTER_LFO_DEPTH", 0.2f},
                       {"FILTER_LFO_RATE", 0.3f},
                       {"AMP_VELOCITY", 0.15f},
                       {"AMP_ENV_A", 0.3f},
                       {"AMP_ENV_D", 0.5f},
                       {"AMP_ENV_S", 0.9f},
                       {"AMP_ENV_R", 0.42f},
                       {"CHORUS_WET", 0.6f},
                       {"CHORUS_SPREAD", 0.8f},
                       {"REVERB_SEND", 0.4f},
                       {"REVERB_TIME", 0.25f}},
                      {48, 55, 60, 64}});
    // Slow strings: detuned saws swelling in, the low end thinned, a wide chorus.
    sounds.push_back({"Pad - Slow Strings",
                      {{"AMP_LEVEL", 0.62f},
                       {"PITCH_DRIFT", 0.15f},
                       {"OSC_DETUNE", 0.4f},
                       {"OSC_LEVEL", 0.75f},
                       {"FILTER_FREQ", 0.58f},
                       {"FILTER_RESO", 0.1f},
                       {"FILTER_VELO", 0.2f},
                       {"FILTER_KEY", 0.3f},
                       {"FILTER_LOW", -0.7f},
                       {"AMP_VELOCITY", 0.3f},
                       {"AMP_ENV_A", 0.26f},
                       {"AMP_ENV_R", 0.4f},
                       {"CHORUS_WET", 0.7f},
                       {"CHORUS_SPREAD", 0.9f},
                       {"REVERB_SEND", 0.35f},
                       {"REVERB_TIME", 0.22f}},
                      {55, 62, 67}});
    // Glassy pad: a triangle sent into the resonator an octave up, the wave shape slowly moving.
    sounds.push_back({"Pad - Glass Pad",
                      {{"AMP_LEVEL", 0.7f},
                       {"PITCH_DRIFT", 0.2f},
                       {"OSC_WAVEMIX", 0.2f},
                       {"OSC_WAVE_LFO", 0.3f},
                       {"OSC_MOD_LFO_RATE", 0.35f},
                       {"OSC_LEVEL", 0.7f},
                       {"RESONATOR_WETOSC", 0.4f},
                       {"RESONATOR_PITCH", 1.0f},
                       {"RESONATOR_FEEDBACK", 0.5f},
                       {"RESONATOR_LPF", 0.8f},
                       {"FILTER_FREQ", 0.68f},
                       {"FILTER_VELO", 0.1f},
                       {"AMP_ENV_A", 0.28f},
                       {"AMP_ENV_R", 0.42f},
                       {"CHORUS_WET", 0.4f},
                       {"CHORUS_SPREAD", 0.6f},
                       {"REVERB_SEND", 0.45f},
                       {"REVERB_TIME", 0.25f}},
                      {60, 67, 76}});

    // Bell: a triangle carrier frequency-modulated at the inharmonic ratio 3.5, the modulation
    // dying away faster than the tone.
    sounds.push_back({"Keys - FM Bell Keys",
                      {{"PITCH_DRIFT", 0.05f},
                       {"OSC_WAVEMIX", 0.0f},
                       {"OSC_MOD_DEPTH", 0.8f},
                       {"OSC_MOD_FREQ", 0.9354f},
                       {"OSC_MOD_ENV_DEPTH", -0.6f},
                       {"OSC_MOD_ENV_D", 0.4f},
                       {"FILTER_FREQ", 0.9f},
                       {"FILTER_VELO", 0.1f},
                       {"AMP_VELOCITY", 0.5f},
                       {"AMP_ENV_D", 0.55f},
                       {"AMP_ENV_S", 0.0f},
                       {"AMP_ENV_R", 0.38f},
                       {"CHORUS_WET", 0.2f},
                       {"REVERB_SEND", 0.3f},
                       {"REVERB_TIME", 0.25f}},
                      {72, 79}});
    // Electric piano: a mild FM bark at the key's press over a triangle, with chorus.
    sounds.push_back({"Keys - Electric Piano",
                      {{"PITCH_DRIFT", 0.05f},
                       {"OSC_WAVEMIX", 0.0f},
                       {"OSC_MOD_DEPTH", 0.35f},
                       {"OSC_MOD_FREQ", 0.5f},
                       {"OSC_MOD_ENV_DEPTH", -0.5f},
                       {"OSC_MOD_ENV_D", 0.3f},
                       {"FILTER_FREQ", 0.72f},
                       {"FILTER_VELO", 0.4f},
                       {"AMP_VELOCITY", 0.6f},
                       {"AMP_ENV_D", 0.5f},
                       {"AMP_ENV_S", 0.25f},
                       {"AMP_ENV_R", 0.25f},
                       {"CHORUS_WET", 0.45f},
                       {"CHORUS_SPREAD", 0.5f},
                       {"REVERB_SEND", 0.12f},
                       {"REVERB_TIME", 0.2f}},
                      {57, 60, 64}});
    // Plucked string: a short burst of dark noise excites the resonator tuned to the note.
    sounds.push_back({"Keys - Plucked String",
                      {{"AMP_LEVEL", 0.75f},
                       {"PITCH_DRIFT", 0.0f},
                       {"OSC_LEVEL", 0.35f},
                       {"NOISE_TYPE", 1},
                       {"NOISE_LEVEL", 1.0f},
                       {"NOISE_DECAY", 0.15f},
                       {"RESONATOR_WETOSC", 0.2f},
                       {"RESONATOR_WETNOISE", 1.0f},
                       {"RESONATOR_FEEDBACK", 0.7f},
                       {"RESONATOR_LPF", 0.75f},
                       {"FILTER_FREQ", 0.8f},
                       {"FILTER_VELO", 0.2f},
                       {"AMP_VELOCITY", 0.5f},
                       {"AMP_ENV_D", 0.5f},
                       {"AMP_ENV_S", 0.0f},
                       {"AMP_ENV_R", 0.3f},
                       {"REVERB_SEND", 0.15f},
                       {"REVERB_TIME", 0.2f}},
                      {55, 62}});

    // Arpeggiated pluck: up and down over two octaves in sixteenths, echoed.
    {
        Sound s{"Sequence - Arp Pluck",
                {{"COMMON_ARPEGGIATOR", 1},
                 {"OSC_WAVEMIX", -0.4f},
                 {"FILTER_FREQ", 0.35f},
                 {"FILTER_RESO", 0.45f},
                 {"FILTER_VELO", 0.3f},
                 {"FILTER_ENV_DEPTH", 0.5f},
                 {"FILTER_ENV_D", 0.18f},
                 {"FILTER_ENV_S", 0.0f},
                 {"AMP_ENV_D", 0.3f},
                 {"AMP_ENV_S", 0.0f},
                 {"AMP_ENV_R", 0.1f},
                 {"DELAY_SEND", 0.3f},
                 {"DELAY_FEEDBACK", 0.4f},
                 {"REVERB_SEND", 0.1f},
                 {"REVERB_TIME", 0.15f}},
                {48, 55, 60, 63}};
        s.arp = {2, 1, 2, 0.5f, 0.0f, 8, {0, 4}};
        s.pitched = false;
        sounds.push_back(s);
    }
    // Pulsing bass line: the held keys in eighths with swing and short gates.
    {
        Sound s{"Sequence - Swing Pulse Bass",
                {{"AMP_LEVEL", 0.6f},
                 {"COMMON_ARPEGGIATOR", 1},
                 {"OSC_WAVEMIX", 1.0f},
                 {"OSC_SUB_LEVEL", 0.5f},
                 {"FILTER_FREQ", 0.3f},
                 {"FILTER_RESO", 0.3f},
                 {"FILTER_ENV_DEPTH", 0.4f},
                 {"FILTER_ENV_D", 0.2f},
                 {"FILTER_ENV_S", 0.1f},
                 {"AMP_ENV_R", 0.08f}},
                {36, 43, 48}};
        s.arp = {0, 0, 1, 0.35f, 0.3f, 8, {0}};
        s.pitched = false;
        sounds.push_back(s);
    }

    // Noise sweep: resonant filtered noise rising slowly, swirling, then falling away into echoes.
    sounds.push_back({"FX - Noise Sweep",
                      {{"AMP_LEVEL", 0.65f},
                       {"OSC_LEVEL", 0.0f},
                       {"NOISE_LEVEL", 0.85f},
                       {"NOISE_ATTACK", 0.15f},
                       {"FILTER_FREQ", 0.25f},
                       {"FILTER_RESO", 0.6f},
                       {"FILTER_VELO", 0.0f},
                       {"FILTER_ENV_DEPTH", 0.75f},
                       {"FILTER_ENV_A", 0.4f},
                       {"FILTER_ENV_D", 0.5f},
                       {"FILTER_ENV_S", 0.3f},
                       {"FILTER_ENV_R", 0.4f},
                       {"FILTER_LFO_DEPTH", 0.2f},
                       {"FILTER_LFO_RATE", 0.4f},
                       {"AMP_ENV_A", 0.12f},
                       {"AMP_ENV_R", 0.35f},
                       {"DELAY_SEND", 0.3f},
                       {"DELAY_FEEDBACK", 0.5f},
                       {"REVERB_SEND", 0.35f},
                       {"REVERB_TIME", 0.25f}},
                      {60}});
    sounds.back().pitched = false;
    // Falling zap: the pitch envelope drops two octaves from the start, FM keeps it gritty.
    sounds.push_back({"FX - Laser Drop",
                      {{"AMP_LEVEL", 0.65f},
                       {"PITCH_ENV_DEPTH", 0.8f},
                       {"PITCH_ENV_D", 0.3f},
                       {"OSC_WAVEMIX", 1.0f},
                       {"OSC_MOD_DEPTH", 0.3f},
                       {"OSC_MOD_FREQ", 0.6f},
                       {"FILTER_FREQ", 0.75f},
                       {"FILTER_RESO", 0.4f},
                       {"AMP_ENV_D", 0.35f},
                       {"AMP_ENV_S", 0.0f},
                       {"AMP_ENV_R", 0.15f},
                       {"DELAY_SEND", 0.35f},
                       {"DELAY_FEEDBACK", 0.45f},
                       {"REVERB_SEND", 0.2f},
                       {"REVERB_TIME", 0.2f}},
                      {72}});
    sounds.back().pitched = false;
    return sounds;
}

// The program list: program change n loads the n-th document in name order, so each name starts
// with its program number.
std::vector<Sound> programSounds() {
    std::vector<std::pair<char const*, char const*>> const list = {
        {"000 Default", "Default"},
        {"001 Warm Detuned Pad", "Pad - Warm Detuned Pad"},
        {"002 Resonant Pluck Bass", "Bass - Resonant Pluck Bass"},
        {"003 Square Glide Lead", "Lead - Square Glide Lead"},
        {"004 FM Bell Keys", "Keys - FM Bell Keys"},
        {"005 Electric Piano", "Keys - Electric Piano"},
        {"006 Arp Pluck", "Sequence - Arp Pluck"},
        {"007 Noise Sweep", "FX - Noise Sweep"},
    };
    std::vector<Sound> all = factorySounds();
    all.push_back(defaultSound());
    std::vector<Sound> programs;
    for (auto const& [number, source] : list) {
        auto found = std::find_if(all.begin(), all.end(), [&](Sound const& s) { return s.name == source; });
        if (found == all.end())
            continue; // reported by the test that checks the list
        Sound program = *found;
        program.name = std::string("Program/") + number;
        programs.push_back(program);
    }
    return programs;
}

// Every document, with its path below Data/Sound.
std::vector<Sound> allDocuments() {
    std::vector<Sound> all;
    all.push_back(defaultSound());
    for (Sound& s : factorySounds()) {
        s.name = "Factory/" + s.name;
        all.push_back(s);
    }
    for (Sound& s : programSounds())
        all.push_back(s);
    return all;
}

// ---- building, writing and reading documents

void applyArpeggio(Lumora::ArpeggiatorData& data, Arpeggio const& arp) {
    data.style = arp.style;
    data.octaves = arp.octaves;
    data.rate = arp.rate;
    data.gate = arp.gate;
    data.swing = arp.swing;
    data.patternLength = arp.patternLength;
    for (unsigned i = 0; i < Lumora::ArpeggiatorData::kStepCount; ++i)
        data.steps[i].accent = std::find(arp.accents.begin(), arp.accents.end(), static_cast<int>(i)) != arp.accents.end();
}

// The document text of a sound, written by a fresh engine whose sound was set up as the sound says.
std::string generate(Sound const& sound) {
    EngineRig rig;
    AudioEngine& engine = rig.engine();
    engine.initialize(kSoundDocument, SerializeWhere::Document);
    for (auto const& [key, value] : sound.values) {
        Lumora::Parameter* p = engine.parameterManager().getParameter(key);
        EXPECT_NE(p, nullptr) << sound.name << ": no parameter " << key;
        if (p == nullptr)
            continue;
        p->setConcreteValue(value, Lumora::ParameterObserver::Token::Mixed);
        EXPECT_NEAR(p->concreteValue(), value, 1e-4) << sound.name << ": " << key << " out of range";
    }
    if (sound.arp)
        applyArpeggio(engine.arpeggiatorData(), *sound.arp);
    return engine.serialize(kSoundDocument, SerializeWhere::Document);
}

std::filesystem::path documentPath(Sound const& sound) {
    return soundFolder() / (sound.name + kFileType);
}

std::pair<bool, std::string> readFile(std::filesystem::path const& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {false, {}};
    return {true, std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>())};
}

bool writeRequested() {
    char const* flag = std::getenv("CORVANE_WRITE_FACTORY_SOUNDS");
    return flag != nullptr && std::string(flag) == "1";
}

// ---- playing

constexpr double kRate = EngineRig::kRate;
constexpr int kVelocity = 100;

struct Performance {
    double heldRms = 0.0;   // over the held notes, both channels
    double lowestCents = 0.0; // the strongest partial near the lowest key, in cents off its pitch
    double peak = 0.0;      // over everything
    bool clean = true;      // no NaN, infinity or denormal anywhere
    double silentAfter = -1.0; // seconds after the release until a second of silence began; -1: never
    unsigned voicesHeld = 0; // sounding at the end of the hold
    unsigned voicesLeft = 0;
};

unsigned activeVoices(EngineRig& rig) {
    rig.engine().publishReadbacks();
    return static_cast<unsigned>(rig.parameter(10001).concreteValue());
}

double peakOf(Stereo const& s) { return std::max(peak(s.left), peak(s.right)); }

// Holds the sound's chord (or lets the arpeggiator play it) for holdSeconds, releases it and
// listens until a whole second stays below -80 dBFS, for at most tailLimit seconds.
Performance perform(EngineRig& rig, Sound const& sound, unsigned block, double holdSeconds, double tailLimit) {
    Performance result;
    std::vector<Event> on;
    std::vector<Event> off;
    for (int note : sound.chord) {
        on.push_back(noteOn(rig.now(), note, kVelocity));
    }
    const auto holdFrames = static_cast<uint64_t>(holdSeconds * kRate);
    Stereo held = rig.render(holdFrames, block, on);
    result.clean = allClean(held.left) && allClean(held.right);
    result.peak = peakOf(held);
    result.heldRms = std::hypot(rms(held.left), rms(held.right)) / std::sqrt(2.0);
    result.voicesHeld = activeVoices(rig);
    if (sound.pitched) {
        const int lowest = *std::min_element(sound.chord.begin(), sound.chord.end());
        constexpr size_t kWindow = 32768; // 0.74 s: fine enough for the low keys
        result.lowestCents = centsOfStrongest(held.left, held.left.size() - kWindow, kWindow,
                                              440.0 * std::exp2((lowest - 69) / 12.0), kRate);
    }

    for (int note : sound.chord)
        off.push_back(noteOff(rig.now(), note));
    const auto chunk = static_cast<uint64_t>(0.25 * kRate);
    constexpr int kQuietChunks = 4;
    int quiet = 0;
    for (double t = 0.0; t < tailLimit; t += 0.25) {
        Stereo tail = rig.render(chunk, block, t == 0.0 ? off : std::vector<Event>{});
        result.clean = result.clean && allClean(tail.left) && allClean(tail.right);
        const double p = peakOf(tail);
        result.peak = std::max(result.peak, p);
        quiet = p < 1e-4 ? quiet + 1 : 0;
        if (quiet == kQuietChunks) {
            result.silentAfter = t + 0.25 - 0.25 * kQuietChunks;
            break;
        }
    }
    result.voicesLeft = activeVoices(rig);
    return result;
}

double dBFS(double x) { return 20.0 * std::log10(std::max(x, 1e-12)); }

} // namespace

// Writes the documents when asked to; always compares the committed ones with the generator.
TEST(FactorySounds, CommittedDocumentsAreWhatTheGeneratorWrites) {
    const bool write = writeRequested();
    for (Sound const& sound : allDocuments()) {
        SCOPED_TRACE(sound.name);
        const std::string text = generate(sound);
        const std::filesystem::path path = documentPath(sound);
        if (write) {
            std::filesystem::create_directories(path.parent_path());
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out << text;
            ASSERT_TRUE(out.good()) << "cannot write " << path;
        }
        const auto [read, committed] = readFile(path);
        ASSERT_TRUE(read) << path << " is missing; run with CORVANE_WRITE_FACTORY_SOUNDS=1";
        EXPECT_EQ(committed, text) << path << " differs from the generator";
    }
}

// No stray document in the shipped folders that the generator does not make, no sub-folder in
// Factory, and every program number once.
TEST(FactorySounds, TheFoldersHoldExactlyTheGeneratedDocuments) {
    std::set<std::string> expected;
    for (Sound const& sound : allDocuments())
        expected.insert(documentPath(sound).lexically_normal().string());
    std::set<std::string> found;
    std::vector<std::string> factoryFolders; // a host would list them as presets that load nothing
    for (auto const& entry : std::filesystem::recursive_directory_iterator(soundFolder())) {
        if (entry.is_regular_file())
            found.insert(entry.path().lexically_normal().string());
        else if (entry.is_directory() && entry.path().parent_path().filename() == "Factory")
            factoryFolders.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(found, expected);
    EXPECT_TRUE(factoryFolders.empty()) << "sub-folder in Factory: " << factoryFolders.front();
    EXPECT_EQ(programSounds().size(), 8u);
}

// Each committed document loads into a fresh engine, which then writes the same text back: no
// line was skipped or defaulted.
TEST(FactorySounds, EveryDocumentLoadsWhole) {
    for (Sound const& sound : allDocuments()) {
        SCOPED_TRACE(sound.name);
        const auto [read, text] = readFile(documentPath(sound));
        ASSERT_TRUE(read);
        EngineRig rig;
        ASSERT_TRUE(rig.engine().deserialize(kSoundDocument, text, SerializeWhere::Document));
        EXPECT_EQ(rig.engine().serialize(kSoundDocument, SerializeWhere::Document), text);
        // The start-up load reads the default sound with the whole-state mask.
        if (sound.name == "Default") {
            EngineRig startup;
            EXPECT_TRUE(startup.engine().deserialize(SerializeWhat::FullState, text, SerializeWhere::Document));
            EXPECT_EQ(startup.engine().serialize(kSoundDocument, SerializeWhere::Document), text);
        }
    }
}

// Every factory sound (and the default) loaded from its document plays: audible, below full
// scale, clean, and silent again after its release and effect tails.
TEST(FactorySounds, EverySoundPlaysCleanlyAndFallsSilent) {
    std::vector<Sound> sounds = factorySounds();
    for (Sound& s : sounds)
        s.name = "Factory/" + s.name;
    sounds.insert(sounds.begin(), defaultSound());
    // Each sound in another of the block sizes that shells ask for.
    constexpr unsigned kBlocks[] = {64, 128, 256, 512};
    for (size_t i = 0; i < sounds.size(); ++i) {
        Sound const& sound = sounds[i];
        SCOPED_TRACE(sound.name);
        const auto [read, text] = readFile(documentPath(sound));
        ASSERT_TRUE(read);
        EngineRig rig;
        ASSERT_TRUE(rig.engine().deserialize(kSoundDocument, text, SerializeWhere::Document));
        const Performance p = perform(rig, sound, kBlocks[i % std::size(kBlocks)], 1.0, 10.0);
        std::printf("%-38s %3u frames  held %6.1f dBFS  peak %6.1f dBFS  %+6.1f cents  silent %.2f s after release\n",
                    sound.name.c_str(), kBlocks[i % std::size(kBlocks)], dBFS(p.heldRms), dBFS(p.peak), p.lowestCents, p.silentAfter);
        EXPECT_TRUE(p.clean);
        EXPECT_GT(dBFS(p.heldRms), -40.0);
        EXPECT_LE(p.peak, 1.0);
        if (sound.pitched) {
            EXPECT_LT(std::fabs(p.lowestCents), 20.0); // detune and drift are meant
        }
        EXPECT_GE(p.silentAfter, 0.0) << "still sounding 10 s after the release";
        EXPECT_EQ(p.voicesLeft, 0u);
        // The arpeggiator plays the held keys one after another, not as a chord.
        if (sound.arp) {
            EXPECT_LT(p.voicesHeld, sound.chord.size());
        }
    }
}

// The sound document manager, set up on the framework's folders as the program sets it up, lists
// the program list in program-number order and loads each entry by its number; the list of factory
// presets a plug-in host sees holds every factory sound, sorted by kind, and loads each by its
// number; and next/previous at the Factory top step through all of them and wrap around.
TEST(FactorySounds, TheDocumentManagerFindsAndLoadsThem) {
    AudioEngine::Config config;
    config.soundName = "Sound Presets";
    config.soundType = "corvane_snd";
    config.soundFactoryPath = (soundFolder() / "Factory").string();
    config.soundProgramPath = (soundFolder() / "Program").string();
    AudioEngine engine(config, "Corvane", 2);
    SilentAudioIO io(&engine);
    Lumora::PresetDocFileManager* sound = engine.soundPresetFileManager();
    ASSERT_NE(sound, nullptr);

    const std::vector<Sound> programs = programSounds();
    ASSERT_EQ(sound->programList().size(), programs.size());
    for (unsigned i = 0; i < programs.size(); ++i) {
        SCOPED_TRACE(programs[i].name);
        EXPECT_TRUE(sound->loadProgram(i));
        EXPECT_EQ("Program/" + sound->presetName(), programs[i].name);
    }
    EXPECT_FALSE(sound->loadProgram(static_cast<unsigned>(programs.size())));

    // Byte order of the names, the order the Factory top lists them in.
    std::vector<std::string> expected;
    for (Sound const& s : factorySounds())
        expected.push_back(s.name);
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(expected.size(), 16u);
    ASSERT_EQ(expected.front(), "Bass - FM Growl Bass");

    // What the host lists: every sound a preset, none a folder.
    const std::vector<Lumora::PresetDocFileManager::Item> hostList = sound->factoryPrisetListForAUHost();
    std::vector<std::string> listed;
    for (auto const& item : hostList) {
        EXPECT_TRUE(item.isPreset()) << item.name();
        listed.push_back(item.stem());
    }
    EXPECT_EQ(listed, expected);
    ASSERT_EQ(sound->factoryPrisetList().size(), expected.size());
    for (unsigned i = 0; i < hostList.size(); ++i) {
        SCOPED_TRACE(listed[i]);
        sound->initialize();
        EXPECT_TRUE(sound->loadFactoryPrisetForAUHost(i));
        EXPECT_EQ(sound->presetName(), listed[i]);
        EXPECT_EQ(engine.serialize(kSoundDocument, SerializeWhere::Document), readFile(soundFolder() / "Factory" / (listed[i] + kFileType)).second);
    }
    EXPECT_FALSE(sound->loadFactoryPrisetForAUHost(static_cast<unsigned>(hostList.size())));

    // Next from the Factory top visits every sound in list order and wraps to the first;
    // previous from there wraps to the last and walks back down.
    ASSERT_TRUE(sound->changeDirectory("Factory:"));
    std::vector<std::string> forward;
    for (size_t step = 0; step < expected.size(); ++step) {
        ASSERT_TRUE(sound->loadNext());
        forward.push_back(sound->presetName());
    }
    EXPECT_EQ(forward, expected);
    ASSERT_TRUE(sound->loadNext());
    EXPECT_EQ(sound->presetName(), expected.front());
    std::vector<std::string> backward;
    for (size_t step = 0; step < expected.size(); ++step) {
        ASSERT_TRUE(sound->loadPrevious());
        backward.push_back(sound->presetName());
    }
    std::reverse(backward.begin(), backward.end());
    EXPECT_EQ(backward, expected);
}

// The glide lead slides legato from one key to the next instead of jumping.
TEST(FactorySounds, TheGlideLeadSlidesBetweenLegatoNotes) {
    const auto [read, text] = readFile(soundFolder() / "Factory" / ("Lead - Square Glide Lead" + std::string(kFileType)));
    ASSERT_TRUE(read);
    EngineRig rig;
    ASSERT_TRUE(rig.engine().deserialize(kSoundDocument, text, SerializeWhere::Document));
    const auto at = [](double seconds) { return static_cast<uint64_t>(seconds * kRate); };
    // Without effects, so that the echoes of the first key do not cover the second.
    rig.engine().parameterManager().getParameter("DELAY_SEND")->setConcreteValue(0.0f, Lumora::ParameterObserver::Token::Mixed);
    rig.engine().parameterManager().getParameter("REVERB_SEND")->setConcreteValue(0.0f, Lumora::ParameterObserver::Token::Mixed);
    const Stereo out = rig.render(at(1.2), 128, {noteOn(0, 72, kVelocity), noteOn(at(0.5), 79, kVelocity)});
    const double target = 440.0 * std::exp2((79 - 69) / 12.0);
    // Strongest partial between a fifth below and a little above the second key, in cents off it.
    const auto strongest = [&](double from) {
        constexpr size_t kWindow = 2048;
        double best = 0.0;
        double bestAmp = -1.0;
        for (double c = -800.0; c <= 100.0; c += 5.0) {
            const double a = amplitudeAt(out.left, at(from), kWindow, target * std::exp2(c / 1200.0), kRate);
            if (a > bestAmp) {
                bestAmp = a;
                best = c;
            }
        }
        return best;
    };
    const double before = strongest(0.4);
    const double early = strongest(0.52);
    const double settled = strongest(1.1);
    std::printf("glide: %+.0f, %+.0f, %+.0f cents off the second key\n", before, early, settled);
    EXPECT_NEAR(before, -700.0, 30.0);
    EXPECT_GT(early, -650.0);
    EXPECT_LT(early, -50.0);
    EXPECT_NEAR(settled, 0.0, 30.0);
}
