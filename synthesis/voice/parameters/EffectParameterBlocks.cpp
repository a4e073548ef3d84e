#include "synthesis/voice/parameters/EffectParameterBlocks.h"

namespace Lumora::Corvane::ParameterBlocks {

Chorus::Chorus(ParameterManager* m)
    : wet(m, 11100, "Chorus Wet", "CHORUS_WET", 0.0f),
      depth(m, 11101, "Chorus Depth", "CHORUS_DEPTH", 0.5f),
      spread(m, 11104, "Chorus Spread", "CHORUS_SPREAD", 0.0f),
      lfo(m, {11102, "Chorus Modulation Rate", "CHORUS_RATE"}, 0.3f) {}

DelayFilter::DelayFilter(ParameterManager* m)
    : wet(m, 11300, "DelayFilter Wet", "DELAY_FLT_WET", 0.0f),
      freq(m, 11301, "DelayFilter Cutoff", "DELAY_FLT_FREQ", 0.5f),
      reso(m, 11302, "DelayFilter Resonance", "DELAY_FLT_RESO", 0.0f),
      modDepth(m, 11303, "DelayFilter MOD Depth", "DELAY_FLT_MODDEPTH", 0.0f),
      lfo(m, {11304, "DelayFilter MOD Rate", "DELAY_FLT_MODRATE"}, 0.3f),
      drive(m, 11306, "DelayFilter Drive", "DELAY_FLT_DRIVE", 0.0f) {}

Delay::Delay(ParameterManager* m)
    : send(m, 11200, "Delay Send", "DELAY_SEND", 0.0f),
      timeL(m, 11201, "Delay Time (L)", "DELAY_TIME_L", 1, 7),
      timeR(m, 11202, "Delay Time (R)", "DELAY_TIME_R", 3, 7),
      timeModDepth(m, 11203, "Delay Time MOD", "DELAY_TIME_MOD_DEPTH", 0.0f),
      timeModLfo(m, {11204, "Delay Time MOD Rate", "DELAY_TIME_MOD_RATE"}),
      feedback(m, 11206, "Delay Feedback", "DELAY_FEEDBACK", 0.5f),
      crossFeedback(m, 11207, "Delay Cross Feedback", "DELAY_CROSSFEEDBACK", 1.0f),
      hiDamp(m, 11208, "Delay HighDamp", "DELAY_HIDAMP", 0.25f),
      hpf(m, 11209, "Delay HPF", "DELAY_HPF", 0.0f),
      filter(m) {}

Reverb::Reverb(ParameterManager* m)
    : send(m, 11400, "Reverb Send", "REVERB_SEND", 0.0f),
      type(m, 11405, "Reverb Type", "REVERB_TYPE", 1, 1),
      predelay(m, 11401, "Reverb PreDelay", "REVERB_PREDELAY", 0.2f),
      time(m, 11402, "Reverb Time", "REVERB_TIME", 0.5f),
      hiDamp(m, 11403, "Reverb HighDamp", "REVERB_HIDAMP", 0.5f),
      hpf(m, 11404, "Reverb HPF", "REVERB_HPF", 0.0f) {}

} // namespace Lumora::Corvane::ParameterBlocks
