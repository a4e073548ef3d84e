#pragma once

namespace Lumora {

// How a note reaches a voice, and so how its envelopes and modules start.
enum VoicingType : int {
    VoicingType_NewNote = 0,   // a fresh note: envelopes restart from zero
    VoicingType_Retrigger = 1, // the voice is taken over: envelopes restart from their current level
    VoicingType_Legato = 2,    // the voice glides on: envelopes keep running
};

} // namespace Lumora
