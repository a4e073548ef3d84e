#include "screens/arpeggiator/ArpeggiatorEditing.h"

#include <algorithm>
#include <cmath>

namespace ArpeggiatorEditing {

namespace {

constexpr auto relaxed = std::memory_order_relaxed;

// The ranges the record's documents keep; a value outside one would change on the next load.
constexpr unsigned maxStyle = 5;
constexpr unsigned maxOctaves = 2;
constexpr unsigned maxRate = 2;
constexpr unsigned minLength = 2;
constexpr unsigned maxLength = 16;
constexpr int octave = 12;

Record::Step* stepOf(Record& record, int step)
{
    return &record.steps[static_cast<unsigned>(stepIndexOfTag(step))];
}

void writeAmount(std::atomic<float>& field, float value)
{
    if (auto amount = toAmount(value))
        field.store(*amount, relaxed);
}

} // namespace

unsigned toUnsignedField(float value, unsigned lowest, unsigned highest)
{
    if (std::isnan(value))
        return lowest;
    float const whole = std::trunc(value);
    if (whole <= static_cast<float>(lowest))
        return lowest;
    if (whole >= static_cast<float>(highest))
        return highest;
    return static_cast<unsigned>(whole);
}

std::optional<float> toAmount(float value)
{
    if (std::isnan(value))
        return std::nullopt;
    return std::clamp(value, 0.0f, 1.0f);
}

void writeSyncToKeyOn(Record& record, float value) { record.syncToKeyOn.store(value != 0.0f, relaxed); }
void writeSwing(Record& record, float value) { writeAmount(record.swing, value); }
void writeStyle(Record& record, float value) { record.style.store(toUnsignedField(value, 0, maxStyle), relaxed); }
void writeOctaves(Record& record, float value) { record.octaves.store(toUnsignedField(value, 0, maxOctaves), relaxed); }
void writeRate(Record& record, float value) { record.rate.store(toUnsignedField(value, 0, maxRate), relaxed); }
void writeGate(Record& record, float value) { writeAmount(record.gate, value); }

void writeStepLength(Record& record, float knobValue)
{
    record.stepLength.store(toUnsignedField(knobValue + lengthOffset, minLength, maxLength), relaxed);
}

void writePatternLength(Record& record, float knobValue)
{
    record.patternLength.store(toUnsignedField(knobValue + lengthOffset, minLength, maxLength), relaxed);
}

void writeAccentAmount(Record& record, float value) { writeAmount(record.accentAmount, value); }
void writeStaccatoAmount(Record& record, float value) { writeAmount(record.staccatoAmount, value); }

int stepIndexOfTag(int tag)
{
    constexpr int count = static_cast<int>(Record::kStepCount);
    return ((tag % count) + count) % count;
}

void writeStepActive(Record& record, int step, bool on) { stepOf(record, step)->active.store(on, relaxed); }
void writeStepAccent(Record& record, int step, bool on) { stepOf(record, step)->accent.store(on, relaxed); }
void writeStepStaccato(Record& record, int step, bool on) { stepOf(record, step)->staccato.store(on, relaxed); }
void writeStepPortamento(Record& record, int step, bool on) { stepOf(record, step)->portamento.store(on, relaxed); }
void writeStepOctaveUp(Record& record, int step, bool on) { stepOf(record, step)->transpose.store(on ? octave : 0, relaxed); }

void writeStepProgram(Record& record, int step, float programValue)
{
    if (std::isnan(programValue))
        return;
    // Program values are small; the clamp keeps the conversion defined for any float.
    float const whole = std::trunc(std::clamp(programValue, -1.0e6f, 1.0e6f));
    stepOf(record, step)->program.store(static_cast<int>(whole), relaxed);
}

bool isOctaveUp(int transpose) { return transpose > 0; }

bool isPatternLengthDisabled(unsigned style) { return style == styleRandom || style == styleProgramed; }
bool isSwingDisabled(unsigned rate) { return rate < 2; }

StepLook stepLook(unsigned step, unsigned stepLength, unsigned style, bool active)
{
    bool const inLength = step < stepLength;
    StepLook look{!inLength, !(style == styleProgramed && inLength), std::nullopt};
    if (inLength)
        look.dimAlpha = active ? 1.0 : inactiveStepAlpha;
    return look;
}

} // namespace ArpeggiatorEditing
