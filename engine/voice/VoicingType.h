#pragma once

namespace Lumora {

// How a note reaches a voice, and so how its envelopes and modules start.
enum class VoicingType : int {
    NewNote = 0,   // a fresh note: envelopes restart from zero
    Retrigger = 1, // the voice is taken over: envelopes restart from their current level
    Legato = 2,    // the voice glides on: envelopes are not gated again
};

} // namespace Lumora
