// The product's parameter table checked entry by entry, and its text form through the manager.
#include <cstdint>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/parameter/ParameterManager.h"
#include "engine/parameter/TypedParameters.h"
#include "synthesis/voice/parameters/Parameters.h"
#include "synthesis/voice/parameters/ParametersConverter.h"

namespace Lumora::Corvane {
namespace {

using T = Parameter::Type;
using Token = ParameterObserver::Token;

struct Entry {
    int id;
    const char* key;
    const char* displayName;
    T type;
    float min;
    float max;
    float defaultValue;
    uint32_t options;
    uint32_t what;
    unsigned interval;
};

// Every entry of the table, in its order: id, key, display name, type, range, default (concrete),
// options, content mask, notification interval.
const std::vector<Entry> kTable = {
    {10101, "PITCH_DRIFT", "Pitch Drift", T::UFloat, 0, 1, 0.25, 0x0, 0x10100, 0},
    {10104, "PITCH_ENV_DEPTH", "Pitch ENV Depth", T::SFloat, -1, 1, 0, 0x0, 0x10100, 0},
    {10107, "PITCH_LFO_DEPTH", "Pitch lFO Depth", T::UFloat, 0, 1, 0, 0x0, 0x10100, 0},
    {10102, "PITCH_ENV_A", "Pitch ENV Attack", T::UFloat, 0, 1, 0, 0x0, 0x10100, 0},
    {10103, "PITCH_ENV_D", "Pitch ENV Decay", T::UFloat, 0, 1, 0.5, 0x0, 0x10100, 0},
    {10105, "PITCH_LFO_RATE", "Pitch LFO Rate", T::UFloat, 0, 1, 0.5, 0x0, 0x10100, 0},
    {10106, "PITCH_LFO_RATE_OUTPUT", "", T::UFloat, 0, 1, 0, 0x1C01, 0x0, 1100},
    {10203, "OSC_MOD_TYPE", "FM Type", T::UInt, 0, 1, 1, 0x0, 0x10100, 0},
    {10204, "OSC_MOD_DEPTH", "FM Mix", T::UFloat, 0, 1, 0, 0x0, 0x10100, 0},
    {10205, "OSC_MOD_FREQ", "FM Frequency", T::UFloat, 0, 1, 0.5, 0x0, 0x10100, 0},
    {10206, "OSC_MOD_ENV_DEPTH", "FM ENV Depth", T::SFloat, -1, 1, 0, 0x0, 0x10100, 0},
    {10207, "OSC_MOD_LFO_DEPTH", "FM LFO Depth", T::UFloat, 0, 1, 0, 0x0, 0x10100, 0},
    {10215, "OSC_MOD_TRAGET", "FM Mod Target", T::UInt, 0, 1, 0, 0x0, 0x10100, 0},
    {10212, "OSC_SUB_LEVEL", "SubOSC Level", T::UFloat, 0, 1, 0, 0x0, 0x10100, 0},
    {10200, "OSC_WAVEMIX", "OSC WaveMix", T::SFloat, -1, 1, -1, 0x0, 0x10100, 0},
    {10201, "OSC_WAVE_ENV", "OSC WaveMix ENV", T::SFloat, -1, 1, 0, 0x0, 0x10100, 0},
    {10202, "OSC_WAVE_LFO", "OSC WaveMix LFO", T::UFloat, 0, 1, 0, 0x0, 0x10100, 0},
    {10208, "OSC_MOD_ENV_A", "OSC ENV Attack", T::UFloat, 0, 1, 0, 0x0, 0x10100, 0},
    {10209, "OSC_MOD_ENV_D", "OSC ENV Decay", T::UFloat, 0, 1, 0.5, 0x0, 0x10100, 0},
    {10210, "OSC_MOD_LFO_RATE", "OSC LFO Rate", T::UFloat, 0, 1, 0.5, 0x0, 0x10100, 0},
    {10211, "OSC_MOD_LFO_RATE_OUTPUT", "", T::UFloat, 0, 1, 0, 0x1C01, 0x0, 1100},
    {10213, "OSC_DETUNE", "OSC Detune", T::UFloat, 0, 1, 0, 0x0, 0x10100, 0},
    {10214, "OSC_LEVEL", "OSC Level", T::UFloat, 0, 1, 0.8, 0x0, 0x10100, 0},
    {10300, "NOISE_TYPE", "Noise Type", T::UInt, 0, 5, 0, 0x0, 0x10100, 0},
    {10303, "NOISE_LEVEL", "Noise Level", T::UFloat, 0, 1, 0, 0x0, 0x10100, 0},
    {10301, "NOISE_ATTACK", "Noise ENV Attack", T::UFloat, 0, 1, 0, 0x0, 0x10100, 0},
    {10302, "NOISE_DECAY", "Noise ENV Decay", T::UFloat, 0, 1, 1, 0x0, 0x10100, 0},
    {10400, "RESONATOR_WETOSC", "Resonator Osc", T::UFloat, 0, 1, 0, 0x0, 0x10100, 0},
    {10401, "RESONATOR_WETNOISE", "Resonator Noise", T::UFloat, 0, 1, 0, 0x0, 0x10100, 0},
    {10402, "RESONATOR_PITCH", "Resonator Pitch", T::SFloat, -1, 1, 0, 0x0, 0x10100, 0},
    {10403, "RESONATOR_PITCH_ENV", "Resonator Pitch ENV", T::SFloat, -1, 1, 0, 0x0, 0x10100, 0},
    {10404, "RESONATOR_PITCH_LFO", "Resonator Pitch LFO", T::UFloat, 0, 1, 0, 0x0, 0x10100, 0},
    {10405, "RESONATOR_FEEDBACK", "Resonator Feedback", T::SFloat, -1, 1, 0, 0x0, 0x10100, 0},
    {10406, "RESONATOR_ENV_DEPTH", "Resonator FdbkENV", T::SFloat, -1, 1, 0, 0x0, 0x10100, 0},
    {10407, "RESONATOR_LFO_DEPTH", "Resonator FdbkLFO", T::UFloat, 0, 1, 0, 0x0, 0x10100, 0},
    {10408, "RESONATOR_LPF", "Resonator LPF", T::UFloat, 0, 1, 1, 0x0, 0x10100, 0},
    {10410, "RESONATOR_ENV_A", "Resonator ENV Attack", T::UFloat, 0, 1, 0, 0x0, 0x10100, 0},
    {10411, "RESONATOR_ENV_D", "Resonator ENV Decay", T::UFloat, 0, 1, 0.5, 0x0, 0x10100, 0},
    {10412, "RESONATOR_LFO_RATE", "Resonator LFO Rate", T::UFloat, 0, 1, 0.5, 0x0, 0x10100, 0},
    {10413, "RESONATOR_LFO_RATE_OUTPUT", "", T::UFloat, 0, 1, 0, 0x1C01, 0x0, 1100},
    {10409, "RESONATOR_OUTPUTROUTE", "Resonator Route", T::UInt, 0, 1, 1, 0x0, 0x10100, 0},
    {10500, "FILTER_TYPE", "Filter Type", T::UInt, 0, 1, 1, 0x0, 0x10100, 0},
    {10501, "FILTER_FREQ", "Filter Cutoff", T::UFloat, 0, 1, 1, 0x0, 0x10100, 0},
    {10504, "FILTER_VELO", "Filter Cutoff Velocity", T::UFloat, 0, 1, 0.5, 0x0, 0x10100, 0},
    {10505, "FILTER_KEY", "Filter Cutoff Keyboard", T::UFloat, 0, 1, 0, 0x0, 0x10100, 0},
    {10502, "FILTER_ENV_DEPTH", "Filter Cutoff ENV", T::SFloat, -1, 1, 0, 0x0, 0x10100, 0},
    {10503, "FILTER_LFO_DEPTH", "Filter Cutoff LFO", T::UFloat, 0, 1, 0, 0x0, 0x10100, 0},
    {10506, "FILTER_RESO", "Filter Resonance", T::UFloat, 0, 1, 0, 0x0, 0x10100, 0},
    {10507, "FILTER_LOW", "Filter Low", T::SFloat, -1, 1, 0, 0x0, 0x10100, 0},
    {10508, "FILTER_DRIVE", "Filter Drive", T::UFloat, 0, 1, 0, 0x0, 0x10100, 0},
    {10509, "FILTER_ENV_A", "Filter ENV Attack", T::UFloat, 0, 1, 0, 0x0, 0x10100, 0},
    {10510, "FILTER_ENV_D", "Filter ENV Decay", T::UFloat, 0, 1, 0.5, 0x0, 0x10100, 0},
    {10511, "FILTER_ENV_S", "Filter ENV Sustain", T::UFloat, 0, 1, 0, 0x0, 0x10100, 0},
    {10512, "FILTER_ENV_R", "Filter ENV Release", T::UFloat, 0, 1, 0.5, 0x0, 0x10100, 0},
    {10513, "FILTER_LFO_RATE", "Filter LFO Rate", T::UFloat, 0, 1, 0.5, 0x0, 0x10100, 0},
    {10514, "FILTER_LFO_RATE_OUTPUT", "", T::UFloat, 0, 1, 0, 0x1C01, 0x0, 1100},
    {10600, "AMP_LEVEL", "AMP Level", T::UFloat, 0, 1, 0.5, 0x0, 0x10100, 0},
    {10601, "AMP_VELOCITY", "AMP Velocity", T::UFloat, 0, 1, 0.25, 0x0, 0x10100, 0},
    {10602, "AMP_ENV_A", "AMP ENV Attack", T::UFloat, 0, 1, 0, 0x0, 0x10100, 0},
    {10603, "AMP_ENV_D", "AMP ENV Decay", T::UFloat, 0, 1, 0.5, 0x0, 0x10100, 0},
    {10604, "AMP_ENV_S", "AMP ENV Sustain", T::UFloat, 0, 1, 1, 0x0, 0x10100, 0},
    {10605, "AMP_ENV_R", "AMP ENV Release", T::UFloat, 0, 1, 0, 0x0, 0x10100, 0},
    {11100, "CHORUS_WET", "Chorus Wet", T::UFloat, 0, 1, 0, 0x0, 0x10100, 0},
    {11101, "CHORUS_DEPTH", "Chorus Depth", T::UFloat, 0, 1, 0.5, 0x0, 0x10100, 0},
    {11104, "CHORUS_SPREAD", "Chorus Spread", T::UFloat, 0, 1, 0, 0x0, 0x10100, 0},
    {11102, "CHORUS_RATE", "Chorus Modulation Rate", T::UFloat, 0, 1, 0.3, 0x0, 0x10100, 0},
    {11103, "CHORUS_RATE_OUTPUT", "", T::UFloat, 0, 1, 0, 0x1C01, 0x0, 1100},
    {11200, "DELAY_SEND", "Delay Send", T::UFloat, 0, 1, 0, 0x0, 0x10100, 0},
    {11201, "DELAY_TIME_L", "Delay Time (L)", T::UInt, 0, 7, 1, 0x0, 0x10100, 0},
    {11202, "DELAY_TIME_R", "Delay Time (R)", T::UInt, 0, 7, 3, 0x0, 0x10100, 0},
    {11203, "DELAY_TIME_MOD_DEPTH", "Delay Time MOD", T::UFloat, 0, 1, 0, 0x0, 0x10100, 0},
    {11204, "DELAY_TIME_MOD_RATE", "Delay Time MOD Rate", T::UFloat, 0, 1, 0.5, 0x0, 0x10100, 0},
    {11205, "DELAY_TIME_MOD_RATE_OUTPUT", "", T::UFloat, 0, 1, 0, 0x1C01, 0x0, 1100},
    {11206, "DELAY_FEEDBACK", "Delay Feedback", T::UFloat, 0, 1, 0.5, 0x0, 0x10100, 0},
    {11207, "DELAY_CROSSFEEDBACK", "Delay Cross Feedback", T::UFloat, 0, 1, 1, 0x0, 0x10100, 0},
    {11208, "DELAY_HIDAMP", "Delay HighDamp", T::UFloat, 0, 1, 0.25, 0x0, 0x10100, 0},
    {11209, "DELAY_HPF", "Delay HPF", T::UFloat, 0, 1, 0, 0x0, 0x10100, 0},
    {11300, "DELAY_FLT_WET", "DelayFilter Wet", T::UFloat, 0, 1, 0, 0x0, 0x10100, 0},
    {11301, "DELAY_FLT_FREQ", "DelayFilter Cutoff", T::UFloat, 0, 1, 0.5, 0x0, 0x10100, 0},
    {11302, "DELAY_FLT_RESO", "DelayFilter Resonance", T::UFloat, 0, 1, 0, 0x0, 0x10100, 0},
    {11303, "DELAY_FLT_MODDEPTH", "DelayFilter MOD Depth", T::UFloat, 0, 1, 0, 0x0, 0x10100, 0},
    {11304, "DELAY_FLT_MODRATE", "DelayFilter MOD Rate", T::UFloat, 0, 1, 0.3, 0x0, 0x10100, 0},
    {11305, "DELAY_FLT_MODRATE_OUTPUT", "", T::UFloat, 0, 1, 0, 0x1C01, 0x0, 1100},
    {11306, "DELAY_FLT_DRIVE", "DelayFilter Drive", T::UFloat, 0, 1, 0, 0x0, 0x10100, 0},
    {11400, "REVERB_SEND", "Reverb Send", T::UFloat, 0, 1, 0, 0x0, 0x10100, 0},
    {11405, "REVERB_TYPE", "Reverb Type", T::UInt, 0, 1, 1, 0x0, 0x10100, 0},
    {11401, "REVERB_PREDELAY", "Reverb PreDelay", T::UFloat, 0, 1, 0.2, 0x0, 0x10100, 0},
    {11402, "REVERB_TIME", "Reverb Time", T::UFloat, 0, 1, 0.5, 0x0, 0x10100, 0},
    {11403, "REVERB_HIDAMP", "Reverb HighDamp", T::UFloat, 0, 1, 0.5, 0x0, 0x10100, 0},
    {11404, "REVERB_HPF", "Reverb HPF", T::UFloat, 0, 1, 0, 0x0, 0x10100, 0},
    {10001, "", "", T::UInt, 0, 100, 0, 0x1C01, 0x0, 0},
};

float normalizedDefault(const Entry& e) {
    switch (e.type) {
    case T::SFloat: return (e.defaultValue + 1.0f) / 2.0f;
    case T::UInt: return e.defaultValue / 127.0f;
    default: return e.defaultValue;
    }
}

void expectRange(const Parameter& p, const Entry& e) {
    switch (e.type) {
    case T::UFloat: {
        const auto* u = dynamic_cast<const Parameter_UFloat*>(&p);
        ASSERT_NE(u, nullptr);
        EXPECT_EQ(u->minValue(), e.min);
        EXPECT_EQ(u->maxValue(), e.max);
        break;
    }
    case T::SFloat: {
        const auto* s = dynamic_cast<const Parameter_SFloat*>(&p);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->minValue(), e.min);
        EXPECT_EQ(s->maxValue(), e.max);
        break;
    }
    case T::UInt: {
        const auto* u = dynamic_cast<const Parameter_UInt*>(&p);
        ASSERT_NE(u, nullptr);
        EXPECT_EQ(u->minValue(), static_cast<uint32_t>(e.min));
        EXPECT_EQ(u->maxValue(), static_cast<uint32_t>(e.max));
        break;
    }
    default: ADD_FAILURE() << "unexpected type in the table";
    }
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

class ParameterTable : public ::testing::Test {
protected:
    Parameters::Converter converter;
    ParameterManager manager{"Corvane", 2, &converter};
    Parameters params{&manager};
};

TEST_F(ParameterTable, EveryEntryMatchesTheTable) {
    ASSERT_EQ(kTable.size(), 91u);
    EXPECT_EQ(manager.getParameterMap().size(), kTable.size());
    for (const Entry& e : kTable) {
        SCOPED_TRACE(e.id);
        const Parameter* p = manager.getParameter(e.id);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->id(), e.id);
        EXPECT_EQ(p->serializedName(), e.key);
        EXPECT_EQ(p->displayName(), e.displayName);
        EXPECT_EQ(p->type(), e.type);
        expectRange(*p, e);
        EXPECT_FLOAT_EQ(p->defaultValue(), normalizedDefault(e));
        EXPECT_FLOAT_EQ(p->normalizedValue(), p->defaultValue());
        EXPECT_FLOAT_EQ(p->concreteValue(), e.defaultValue);
        EXPECT_EQ(static_cast<uint32_t>(p->options()), e.options);
        EXPECT_EQ(static_cast<uint32_t>(p->serializeWhat()), e.what);
        EXPECT_EQ(p->notifyInterval(), e.interval);
    }
}

// The modules read the blocks by member: each member must be the parameter of its key.
TEST_F(ParameterTable, BlockMembersAreTheirParameters) {
    const std::vector<std::pair<const Parameter*, const char*>> members = {
        {&params.pitch.drift, "PITCH_DRIFT"}, {&params.pitch.envDepth, "PITCH_ENV_DEPTH"},
        {&params.pitch.lfoDepth, "PITCH_LFO_DEPTH"}, {&params.pitch.env.attack, "PITCH_ENV_A"},
        {&params.pitch.env.decay, "PITCH_ENV_D"}, {&params.pitch.lfo.rate, "PITCH_LFO_RATE"},
        {&params.pitch.lfo.output, "PITCH_LFO_RATE_OUTPUT"},
        {&params.osc.modType, "OSC_MOD_TYPE"}, {&params.osc.modDepth, "OSC_MOD_DEPTH"},
        {&params.osc.modFreq, "OSC_MOD_FREQ"}, {&params.osc.modEnvDepth, "OSC_MOD_ENV_DEPTH"},
        {&params.osc.modLfoDepth, "OSC_MOD_LFO_DEPTH"}, {&params.osc.modTarget, "OSC_MOD_TRAGET"},
        {&params.osc.subLevel, "OSC_SUB_LEVEL"}, {&params.osc.waveMix, "OSC_WAVEMIX"},
        {&params.osc.waveEnv, "OSC_WAVE_ENV"}, {&params.osc.waveLfo, "OSC_WAVE_LFO"},
        {&params.osc.env.attack, "OSC_MOD_ENV_A"}, {&params.osc.env.decay, "OSC_MOD_ENV_D"},
        {&params.osc.lfo.rate, "OSC_MOD_LFO_RATE"},
        {&params.osc.lfo.output, "OSC_MOD_LFO_RATE_OUTPUT"}, {&params.osc.detune, "OSC_DETUNE"},
        {&params.osc.level, "OSC_LEVEL"},
        {&params.noise.type, "NOISE_TYPE"}, {&params.noise.level, "NOISE_LEVEL"},
        {&params.noise.env.attack, "NOISE_ATTACK"}, {&params.noise.env.decay, "NOISE_DECAY"},
        {&params.resonator.wetOsc, "RESONATOR_WETOSC"},
        {&params.resonator.wetNoise, "RESONATOR_WETNOISE"},
        {&params.resonator.pitch, "RESONATOR_PITCH"},
        {&params.resonator.pitchEnv, "RESONATOR_PITCH_ENV"},
        {&params.resonator.pitchLfo, "RESONATOR_PITCH_LFO"},
        {&params.resonator.feedback, "RESONATOR_FEEDBACK"},
        {&params.resonator.envDepth, "RESONATOR_ENV_DEPTH"},
        {&params.resonator.lfoDepth, "RESONATOR_LFO_DEPTH"},
        {&params.resonator.lpf, "RESONATOR_LPF"},
        {&params.resonator.env.attack, "RESONATOR_ENV_A"},
        {&params.resonator.env.decay, "RESONATOR_ENV_D"},
        {&params.resonator.lfo.rate, "RESONATOR_LFO_RATE"},
        {&params.resonator.lfo.output, "RESONATOR_LFO_RATE_OUTPUT"},
        {&params.resonator.outputRoute, "RESONATOR_OUTPUTROUTE"},
        {&params.filter.type, "FILTER_TYPE"}, {&params.filter.freq, "FILTER_FREQ"},
        {&params.filter.velo, "FILTER_VELO"}, {&params.filter.key, "FILTER_KEY"},
        {&params.filter.envDepth, "FILTER_ENV_DEPTH"},
        {&params.filter.lfoDepth, "FILTER_LFO_DEPTH"}, {&params.filter.reso, "FILTER_RESO"},
        {&params.filter.low, "FILTER_LOW"}, {&params.filter.drive, "FILTER_DRIVE"},
        {&params.filter.env.attack, "FILTER_ENV_A"}, {&params.filter.env.decay, "FILTER_ENV_D"},
        {&params.filter.env.sustain, "FILTER_ENV_S"},
        {&params.filter.env.release, "FILTER_ENV_R"},
        {&params.filter.lfo.rate, "FILTER_LFO_RATE"},
        {&params.filter.lfo.output, "FILTER_LFO_RATE_OUTPUT"},
        {&params.amp.level, "AMP_LEVEL"}, {&params.amp.velocity, "AMP_VELOCITY"},
        {&params.amp.env.attack, "AMP_ENV_A"}, {&params.amp.env.decay, "AMP_ENV_D"},
        {&params.amp.env.sustain, "AMP_ENV_S"}, {&params.amp.env.release, "AMP_ENV_R"},
        {&params.chorus.wet, "CHORUS_WET"}, {&params.chorus.depth, "CHORUS_DEPTH"},
        {&params.chorus.spread, "CHORUS_SPREAD"}, {&params.chorus.lfo.rate, "CHORUS_RATE"},
        {&params.chorus.lfo.output, "CHORUS_RATE_OUTPUT"},
        {&params.delay.send, "DELAY_SEND"}, {&params.delay.timeL, "DELAY_TIME_L"},
        {&params.delay.timeR, "DELAY_TIME_R"},
        {&params.delay.timeModDepth, "DELAY_TIME_MOD_DEPTH"},
        {&params.delay.timeModLfo.rate, "DELAY_TIME_MOD_RATE"},
        {&params.delay.timeModLfo.output, "DELAY_TIME_MOD_RATE_OUTPUT"},
        {&params.delay.feedback, "DELAY_FEEDBACK"},
        {&params.delay.crossFeedback, "DELAY_CROSSFEEDBACK"},
        {&params.delay.hiDamp, "DELAY_HIDAMP"}, {&params.delay.hpf, "DELAY_HPF"},
        {&params.delay.filter.wet, "DELAY_FLT_WET"}, {&params.delay.filter.freq, "DELAY_FLT_FREQ"},
        {&params.delay.filter.reso, "DELAY_FLT_RESO"},
        {&params.delay.filter.modDepth, "DELAY_FLT_MODDEPTH"},
        {&params.delay.filter.lfo.rate, "DELAY_FLT_MODRATE"},
        {&params.delay.filter.lfo.output, "DELAY_FLT_MODRATE_OUTPUT"},
        {&params.delay.filter.drive, "DELAY_FLT_DRIVE"},
        {&params.reverb.send, "REVERB_SEND"}, {&params.reverb.type, "REVERB_TYPE"},
        {&params.reverb.predelay, "REVERB_PREDELAY"}, {&params.reverb.time, "REVERB_TIME"},
        {&params.reverb.hiDamp, "REVERB_HIDAMP"}, {&params.reverb.hpf, "REVERB_HPF"},
    };
    std::set<const Parameter*> distinct;
    for (const auto& [param, key] : members) {
        EXPECT_EQ(param->serializedName(), key);
        EXPECT_EQ(manager.getParameter(std::string(key)), param) << key;
        distinct.insert(param);
    }
    EXPECT_EQ(distinct.size(), 90u);
    EXPECT_EQ(manager.getParameter(10001), &params.voiceCount);
}

TEST_F(ParameterTable, BlockConstants) {
    EXPECT_EQ(params.filter.saturatorType, 1u);
    EXPECT_TRUE(params.chorus.enabled);
    EXPECT_FLOAT_EQ(params.chorus.fixedTime, 0.25f);
    EXPECT_FLOAT_EQ(params.chorus.fixedFeedback, 0.0f);
    EXPECT_TRUE(params.delay.enabled);
    EXPECT_TRUE(params.delay.filter.enabled);
    EXPECT_TRUE(params.reverb.enabled);
}

TEST_F(ParameterTable, ImportantIdsInOrderAndPresent) {
    const std::vector<int> ids(Parameters::importantIndexes);
    EXPECT_EQ(ids, (std::vector<int>{10501, 10506, 10508, 10502, 10509, 10510, 10200, 10204,
                                     10205, 10402}));
    manager.setImportantParameters(Parameters::importantIndexes);
    EXPECT_EQ(manager.importantParameters(), ids);
    for (int id : ids) {
        const Parameter* p = manager.getParameter(id);
        ASSERT_NE(p, nullptr) << id;
        EXPECT_FALSE(p->hasOption(Parameter::Options::HiddenFromHost)) << id;
    }
}

TEST_F(ParameterTable, HostSeesTheSoundParametersOnly) {
    int visible = 0;
    int hidden = 0;
    for (const auto& [id, p] : manager.getParameterMap()) {
        const bool readback = p->hasOption(Parameter::Options::HiddenFromHost);
        (readback ? hidden : visible)++;
    }
    EXPECT_EQ(visible, 83);
    EXPECT_EQ(hidden, 8);
}

// Every content mask that holds the sound writes the same 83 lines after the header.
TEST_F(ParameterTable, SerializedSoundHasHeaderAnd83Lines) {
    for (SerializeWhat what : {SerializeWhat::SoundPreset, SerializeWhat::FullState,
                               SerializeWhat::SoundParameters, SerializeWhat::GlobalSettings}) {
        SCOPED_TRACE(static_cast<uint32_t>(what));
        const std::vector<std::string> lines = linesOf(manager.serialize(what, SerializeWhere::Document));
        ASSERT_EQ(lines.size(), 84u);
        EXPECT_EQ(lines[0], "Corvane\tversion:2");
        for (size_t i = 1; i < lines.size(); ++i) {
            const size_t tab = lines[i].find('\t');
            ASSERT_NE(tab, std::string::npos) << lines[i];
            EXPECT_FALSE(lines[i].substr(0, tab).ends_with("_OUTPUT")) << lines[i];
        }
    }
    EXPECT_EQ(manager.serialize(SerializeWhat::ArpeggiatorPart, SerializeWhere::Document), "");
    // The ids are written in ascending order: the voice parameters come before the effects.
    const std::vector<std::string> lines =
        linesOf(manager.serialize(SerializeWhat::SoundPreset, SerializeWhere::Document));
    EXPECT_EQ(lines[1], "PITCH_DRIFT\t0.250000");
    EXPECT_EQ(lines[2], "PITCH_ENV_A\t0.000000");
    EXPECT_EQ(lines[83], "REVERB_TYPE\t0.007874");
}

// Read-backs are written by the render thread only: no text resets, reads or writes them.
TEST_F(ParameterTable, InitializeRestoresTheSoundAndLeavesReadbacks) {
    for (const auto& [id, p] : manager.getParameterMap()) {
        p->setNormalizedValue(p->defaultValue() > 0.5f ? 0.0f : 1.0f, Token::ViewController,
                              AutomationEventType::None);
    }
    params.pitch.lfo.output.setValue(0.7f, Token::EngineReadback, AutomationEventType::None);
    params.voiceCount.setValue(5, Token::EngineReadback, AutomationEventType::None);

    manager.initialize(SerializeWhat::SoundPreset, SerializeWhere::Document);

    EXPECT_FLOAT_EQ(params.osc.waveMix.concreteValue(), -1.0f);     // saw
    EXPECT_FLOAT_EQ(params.osc.modDepth.concreteValue(), 0.0f);     // no FM
    EXPECT_FLOAT_EQ(params.filter.freq.concreteValue(), 1.0f);      // open
    EXPECT_FLOAT_EQ(params.filter.type.concreteValue(), 1.0f);      // two stages
    EXPECT_FLOAT_EQ(params.amp.level.concreteValue(), 0.5f);
    EXPECT_FLOAT_EQ(params.amp.env.sustain.concreteValue(), 1.0f);
    EXPECT_FLOAT_EQ(params.noise.level.concreteValue(), 0.0f);
    EXPECT_FLOAT_EQ(params.resonator.wetOsc.concreteValue(), 0.0f);
    EXPECT_FLOAT_EQ(params.resonator.wetNoise.concreteValue(), 0.0f);
    EXPECT_FLOAT_EQ(params.chorus.wet.concreteValue(), 0.0f);
    EXPECT_FLOAT_EQ(params.delay.send.concreteValue(), 0.0f);
    EXPECT_FLOAT_EQ(params.reverb.send.concreteValue(), 0.0f);
    for (const Entry& e : kTable) {
        const Parameter* p = manager.getParameter(e.id);
        if (e.options == 0) {
            EXPECT_FLOAT_EQ(p->normalizedValue(), p->defaultValue()) << e.id;
        }
    }
    EXPECT_FLOAT_EQ(params.pitch.lfo.output.normalizedValue(), 0.7f);
    EXPECT_FLOAT_EQ(params.voiceCount.concreteValue(), 5.0f);
}

TEST_F(ParameterTable, TextRoundTripsAndIgnoresReadbackLines) {
    params.osc.waveMix.setConcreteValue(0.5f, Token::ViewController);
    params.noise.type.setValue(4, Token::ViewController, AutomationEventType::None);
    params.delay.filter.drive.setValue(0.3f, Token::ViewController, AutomationEventType::None);
    const std::string text = manager.serialize(SerializeWhat::SoundPreset, SerializeWhere::Document);

    manager.initialize(SerializeWhat::SoundPreset, SerializeWhere::Document);
    params.pitch.lfo.output.setValue(0.4f, Token::EngineReadback, AutomationEventType::None);
    ASSERT_TRUE(manager.deserialize(SerializeWhat::SoundPreset,
                                    text + "PITCH_LFO_RATE_OUTPUT\t0.900000\n",
                                    SerializeWhere::Document));
    EXPECT_EQ(manager.serialize(SerializeWhat::SoundPreset, SerializeWhere::Document), text);
    EXPECT_FLOAT_EQ(params.noise.type.concreteValue(), 4.0f);
    EXPECT_FLOAT_EQ(params.pitch.lfo.output.normalizedValue(), 0.4f);
}

TEST_F(ParameterTable, IntegerParametersClampToTheirRange) {
    params.noise.type.setValue(9, Token::ViewController, AutomationEventType::None);
    EXPECT_FLOAT_EQ(params.noise.type.concreteValue(), 5.0f);
    params.delay.timeL.setNormalizedValue(1.0f, Token::ViewController, AutomationEventType::None);
    EXPECT_FLOAT_EQ(params.delay.timeL.concreteValue(), 7.0f);
    EXPECT_FLOAT_EQ(params.delay.timeL.normalizedMaxValue(), 7.0f / 127.0f);
    params.voiceCount.setValue(120, Token::EngineReadback, AutomationEventType::None);
    EXPECT_FLOAT_EQ(params.voiceCount.concreteValue(), 100.0f);
}

TEST(ParameterTableLifetime, DestroyingTheTableEmptiesTheManager) {
    ParameterManager manager("Corvane", 2, nullptr);
    {
        Parameters params(&manager);
        EXPECT_EQ(manager.getParameterMap().size(), 91u);
    }
    EXPECT_TRUE(manager.getParameterMap().empty());
}

} // namespace
} // namespace Lumora::Corvane
