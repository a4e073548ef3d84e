#pragma once

#include <cstdint>

namespace Lumora {

// The clock source a render call follows.
enum class SyncMethod : int32_t {
    Internal = 0,
    Midi = 1,
    Host = 2,
    Link = 3,
};

struct TimeSignature {
    uint32_t numerator = 4;   // beats per bar
    uint32_t denominator = 4; // note value of one beat
};

// Built by the shell for every engine call: which clock the call follows and where the
// host's timeline stands at its first frame.
struct SyncInformation {
    int32_t state = 0; // a SyncMethod value
    TimeSignature timeSignature;
    double tempo = 120.0;           // beats per minute
    double beatPosition = 0.0;      // beats at the first frame of the call
    double barStartPosition = 0.0;  // beat position at which the current bar began
};

} // namespace Lumora
