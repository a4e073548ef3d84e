#pragma once

#include "engine/parameter/TypedParameters.h"
#include "engine/synth/iSynthAudioEngine.h"

namespace Lumora {

// The parameters every synth shares, created when an audio I/O object attaches. The master
// settings travel only in the engine-wide state, the common ones in every sound, the
// arpeggiator switch with the arpeggiator settings, and keyboard hold in no text at all.
struct iSynthAudioEngine::SynthCommonParameters {
    struct Master {
        enum ID : int {
            Transpose = 2110,
            Tune = 2111,
            MaxPolyphony = 2120,
        };

        // The polyphony runs from 1 to capacity and starts at defaultPolyphony.
        Master(ParameterManager* manager, unsigned capacity, unsigned defaultPolyphony);

        Parameter_SInt transpose;
        Parameter_SFloat tune;
        Parameter_UInt maxPolyphony;
    };

    struct Common {
        enum ID : int {
            Volume = 2200,
            Portamento = 2210,
            Octave = 2211,
            PitchBendNegative = 2220,
            PitchBendPositive = 2221,
            MonoMode = 2230,
            Arpeggiator = 3000,
            KeyboardHold = 2001,
        };

        // Semitones beyond the first, each way.
        struct PitchBendRange {
            explicit PitchBendRange(ParameterManager* manager);
            Parameter_UInt negative;
            Parameter_UInt positive;
        };

        explicit Common(ParameterManager* manager);

        Parameter_UFloat volume;
        Parameter_UFloat portamento;
        Parameter_SInt octave;
        PitchBendRange pitchBendRange;
        Parameter_UInt monoMode;
        Parameter_Bool arpeggiator;
        // A host parameter that no text writes, reads or resets.
        Parameter_Bool keyboardHold;
    };

    SynthCommonParameters(ParameterManager* manager, unsigned capacity, unsigned defaultPolyphony)
        : master(manager, capacity, defaultPolyphony), common(manager) {}

    Master master;
    Common common;
};

} // namespace Lumora
