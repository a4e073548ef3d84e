#pragma once

#include "engine/midifx/ArpeggiatorData.h"

#include <optional>

// How the arpeggiator editor turns control values into record fields and what the record makes
// of the controls' enabled states, apart from any view.
//
// Every write is one whole-value store into one atomic field of the record, which the render
// thread reads at the start of each block without a lock; no field depends on another being
// written in the same block.
namespace ArpeggiatorEditing {

using Record = Lumora::ArpeggiatorData;

// The style that plays the step programs and the one that picks notes at random; neither uses
// the pattern length.
constexpr unsigned styleRandom = 4;
constexpr unsigned styleProgramed = 5;
// The length knobs show the length minus this.
constexpr unsigned lengthOffset = 2;

// A control value as an unsigned field value: truncated toward zero, then held to the range the
// record's documents can keep (a negative value is the lower end).
unsigned toUnsignedField(float value, unsigned lowest, unsigned highest);
// A control value as a 0..1 amount; a value that is not a number leaves the field alone.
std::optional<float> toAmount(float value);

// Header fields from control values.
void writeSyncToKeyOn(Record& record, float value);
void writeSwing(Record& record, float value);
void writeStyle(Record& record, float value);
void writeOctaves(Record& record, float value);
void writeRate(Record& record, float value);
void writeGate(Record& record, float value);
// The knob's value plus 2.
void writeStepLength(Record& record, float knobValue);
void writePatternLength(Record& record, float knobValue);
void writeAccentAmount(Record& record, float value);
void writeStaccatoAmount(Record& record, float value);

// Step fields; the step is the index modulo 16.
int stepIndexOfTag(int tag);
void writeStepActive(Record& record, int step, bool on);
void writeStepAccent(Record& record, int step, bool on);
void writeStepStaccato(Record& record, int step, bool on);
void writeStepPortamento(Record& record, int step, bool on);
// On writes an octave up (12 semitones), off none.
void writeStepOctaveUp(Record& record, int step, bool on);
void writeStepProgram(Record& record, int step, float programValue);
// A transpose above 0 shows the octave-up key on.
bool isOctaveUp(int transpose);

// The header's enabling rules.
bool isPatternLengthDisabled(unsigned style);
bool isSwingDisabled(unsigned rate);

// What the rows show of one step.
struct StepLook {
    bool keysDisabled;               // every key of the step
    bool faderDisabled;
    std::optional<double> dimAlpha;  // of the step's accent, staccato, portamento, octave-up keys and fader
};
StepLook stepLook(unsigned step, unsigned stepLength, unsigned style, bool active);

// The alphas, single-precision values widened as the interface uses them.
constexpr double disabledKnobAlpha = static_cast<double>(0.3f);
constexpr double inactiveStepAlpha = 0.5;

} // namespace ArpeggiatorEditing
