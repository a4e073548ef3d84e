#pragma once

#include "synthesis/voice/parameters/ParameterGroups.h"

// The parameter blocks of the instrument's effects, built and registered in the order the
// table lists them. The constants ahead of the parameters are fixed by the table; no screen or
// document changes them.
namespace Lumora::Corvane::ParameterBlocks {

struct Chorus {
    explicit Chorus(ParameterManager* manager);

    bool enabled = true;
    // Base delay as a share of the chorus buffer before scaling (0.9 · t + 0.1).
    float fixedTime = 0.25f;
    // Feedback of the chorus line; 0 keeps it a pure chorus.
    float fixedFeedback = 0.0f;
    UnitParameter wet;            // CHORUS_WET
    UnitParameter depth;          // CHORUS_DEPTH
    UnitParameter spread;         // CHORUS_SPREAD
    LFO lfo;                      // CHORUS_RATE
};

// The filter-and-drive section on the delay's echoes.
struct DelayFilter {
    explicit DelayFilter(ParameterManager* manager);

    bool enabled = true;
    UnitParameter wet;            // DELAY_FLT_WET
    UnitParameter freq;           // DELAY_FLT_FREQ
    UnitParameter reso;           // DELAY_FLT_RESO
    UnitParameter modDepth;       // DELAY_FLT_MODDEPTH
    LFO lfo;                      // DELAY_FLT_MODRATE
    UnitParameter drive;          // DELAY_FLT_DRIVE
};

struct Delay {
    explicit Delay(ParameterManager* manager);

    bool enabled = true;
    UnitParameter send;           // DELAY_SEND
    ChoiceParameter timeL;        // DELAY_TIME_L: 1..8 sixteenths
    ChoiceParameter timeR;        // DELAY_TIME_R
    UnitParameter timeModDepth;   // DELAY_TIME_MOD_DEPTH
    LFO timeModLfo;               // DELAY_TIME_MOD_RATE
    UnitParameter feedback;       // DELAY_FEEDBACK
    UnitParameter crossFeedback;  // DELAY_CROSSFEEDBACK
    UnitParameter hiDamp;         // DELAY_HIDAMP
    UnitParameter hpf;            // DELAY_HPF
    DelayFilter filter;
};

struct Reverb {
    explicit Reverb(ParameterManager* manager);

    bool enabled = true;
    UnitParameter send;           // REVERB_SEND
    ChoiceParameter type;         // REVERB_TYPE: 0 compact mono, 1 stereo
    UnitParameter predelay;       // REVERB_PREDELAY
    UnitParameter time;           // REVERB_TIME
    UnitParameter hiDamp;         // REVERB_HIDAMP
    UnitParameter hpf;            // REVERB_HPF
};

} // namespace Lumora::Corvane::ParameterBlocks
