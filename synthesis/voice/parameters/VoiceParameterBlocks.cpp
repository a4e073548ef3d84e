#include "synthesis/voice/parameters/VoiceParameterBlocks.h"

namespace Lumora::Corvane::ParameterBlocks {

Pitch::Pitch(ParameterManager* m)
    : drift(m, 10101, "Pitch Drift", "PITCH_DRIFT", 0.25f),
      envDepth(m, 10104, "Pitch ENV Depth", "PITCH_ENV_DEPTH", 0.0f),
      lfoDepth(m, 10107, "Pitch lFO Depth", "PITCH_LFO_DEPTH", 0.0f),
      env(m, {10102, "Pitch ENV Attack", "PITCH_ENV_A"}, {10103, "Pitch ENV Decay", "PITCH_ENV_D"}),
      lfo(m, {10105, "Pitch LFO Rate", "PITCH_LFO_RATE"}) {}

Osc::Osc(ParameterManager* m)
    : modType(m, 10203, "FM Type", "OSC_MOD_TYPE", 1, 1),
      modDepth(m, 10204, "FM Mix", "OSC_MOD_DEPTH", 0.0f),
      modFreq(m, 10205, "FM Frequency", "OSC_MOD_FREQ", 0.5f),
      modEnvDepth(m, 10206, "FM ENV Depth", "OSC_MOD_ENV_DEPTH", 0.0f),
      modLfoDepth(m, 10207, "FM LFO Depth", "OSC_MOD_LFO_DEPTH", 0.0f),
      modTarget(m, 10215, "FM Mod Target", "OSC_MOD_TRAGET", 0, 1),
      subLevel(m, 10212, "SubOSC Level", "OSC_SUB_LEVEL", 0.0f),
      waveMix(m, 10200, "OSC WaveMix", "OSC_WAVEMIX", -1.0f),
      waveEnv(m, 10201, "OSC WaveMix ENV", "OSC_WAVE_ENV", 0.0f),
      waveLfo(m, 10202, "OSC WaveMix LFO", "OSC_WAVE_LFO", 0.0f),
      env(m, {10208, "OSC ENV Attack", "OSC_MOD_ENV_A"}, {10209, "OSC ENV Decay", "OSC_MOD_ENV_D"}),
      lfo(m, {10210, "OSC LFO Rate", "OSC_MOD_LFO_RATE"}),
      detune(m, 10213, "OSC Detune", "OSC_DETUNE", 0.0f),
      level(m, 10214, "OSC Level", "OSC_LEVEL", 0.8f) {}

Noise::Noise(ParameterManager* m)
    : type(m, 10300, "Noise Type", "NOISE_TYPE", 0, 5),
      level(m, 10303, "Noise Level", "NOISE_LEVEL", 0.0f),
      env(m, {10301, "Noise ENV Attack", "NOISE_ATTACK"}, {10302, "Noise ENV Decay", "NOISE_DECAY"},
          0.0f, 1.0f) {}

Resonator::Resonator(ParameterManager* m)
    : wetOsc(m, 10400, "Resonator Osc", "RESONATOR_WETOSC", 0.0f),
      wetNoise(m, 10401, "Resonator Noise", "RESONATOR_WETNOISE", 0.0f),
      pitch(m, 10402, "Resonator Pitch", "RESONATOR_PITCH", 0.0f),
      pitchEnv(m, 10403, "Resonator Pitch ENV", "RESONATOR_PITCH_ENV", 0.0f),
      pitchLfo(m, 10404, "Resonator Pitch LFO", "RESONATOR_PITCH_LFO", 0.0f),
      feedback(m, 10405, "Resonator Feedback", "RESONATOR_FEEDBACK", 0.0f),
      envDepth(m, 10406, "Resonator FdbkENV", "RESONATOR_ENV_DEPTH", 0.0f),
      lfoDepth(m, 10407, "Resonator FdbkLFO", "RESONATOR_LFO_DEPTH", 0.0f),
      lpf(m, 10408, "Resonator LPF", "RESONATOR_LPF", 1.0f),
      env(m, {10410, "Resonator ENV Attack", "RESONATOR_ENV_A"},
          {10411, "Resonator ENV Decay", "RESONATOR_ENV_D"}),
      lfo(m, {10412, "Resonator LFO Rate", "RESONATOR_LFO_RATE"}),
      outputRoute(m, 10409, "Resonator Route", "RESONATOR_OUTPUTROUTE", 1, 1) {}

Filter::Filter(ParameterManager* m)
    : type(m, 10500, "Filter Type", "FILTER_TYPE", 1, 1),
      freq(m, 10501, "Filter Cutoff", "FILTER_FREQ", 1.0f),
      velo(m, 10504, "Filter Cutoff Velocity", "FILTER_VELO", 0.5f),
      key(m, 10505, "Filter Cutoff Keyboard", "FILTER_KEY", 0.0f),
      envDepth(m, 10502, "Filter Cutoff ENV", "FILTER_ENV_DEPTH", 0.0f),
      lfoDepth(m, 10503, "Filter Cutoff LFO", "FILTER_LFO_DEPTH", 0.0f),
      reso(m, 10506, "Filter Resonance", "FILTER_RESO", 0.0f),
      low(m, 10507, "Filter Low", "FILTER_LOW", 0.0f),
      drive(m, 10508, "Filter Drive", "FILTER_DRIVE", 0.0f),
      env(m, {10509, "Filter ENV Attack", "FILTER_ENV_A"}, {10510, "Filter ENV Decay", "FILTER_ENV_D"},
          {10511, "Filter ENV Sustain", "FILTER_ENV_S"},
          {10512, "Filter ENV Release", "FILTER_ENV_R"}, 0.0f, 0.5f, 0.0f, 0.5f),
      lfo(m, {10513, "Filter LFO Rate", "FILTER_LFO_RATE"}) {}

AMP::AMP(ParameterManager* m)
    : level(m, 10600, "AMP Level", "AMP_LEVEL", 0.5f),
      velocity(m, 10601, "AMP Velocity", "AMP_VELOCITY", 0.25f),
      env(m, {10602, "AMP ENV Attack", "AMP_ENV_A"}, {10603, "AMP ENV Decay", "AMP_ENV_D"},
          {10604, "AMP ENV Sustain", "AMP_ENV_S"}, {10605, "AMP ENV Release", "AMP_ENV_R"}, 0.0f,
          0.5f, 1.0f, 0.0f) {}

} // namespace Lumora::Corvane::ParameterBlocks
