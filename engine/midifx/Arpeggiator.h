#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "engine/midifx/Effector.h"

namespace Lumora::MIDI {

// The grid of the arpeggiator's steps. Other values mean "no grid" to the quantizer.
enum QUANTIZATION_RATE : int {
    QuarterNote = 1,
    EighthNote = 2,
    SixteenthNote = 3,
    ThirtySecondNote = 4,
};

// Plays the keys that are down one at a time on a rhythmic grid: up to eight octaves above
// them, in one of six orders, shaped by a program of steps. It absorbs the keys' note
// messages and sends its own notes through a quantizer that ends each note after its length
// on the (swung) clock it is given. Render thread only, except currentStepNumber().
class Arpeggiator : public Effector {
public:
    enum ARPEGGIO_STYLE : int {
        Up = 1,
        Down = 2,
        UpDown = 3,
        DownUp = 4,
        Random = 5,
        Programmed = 6,
    };

    // One step of the program.
    class Step {
    public:
        bool active() const { return active_; }
        int transpose() const { return transpose_; }
        float velocity() const { return velocity_; }
        float duration() const { return duration_; }
        int program() const { return program_; }

        void setActive(bool on) { active_ = on; }
        // Semitones added to the chosen note.
        void setTranspose(int semitones) { transpose_ = semitones; }
        // Factor applied to the key's velocity; negative becomes 0.
        void setVelocity(float factor) { velocity_ = factor > 0.0f ? factor : 0.0f; }
        // Length in steps; negative becomes 0.
        void setDuration(float steps) { duration_ = steps > 0.0f ? steps : 0.0f; }
        // Which candidate the programmed order picks: 0 the lowest, -1 the highest.
        void setProgram(int program) { program_ = program; }

    private:
        bool active_ = true;
        int transpose_ = 0;
        float velocity_ = 1.0f;
        float duration_ = 1.0f;
        int program_ = 0;
    };

    static constexpr unsigned kMaxOctaveRange = 8;

    explicit Arpeggiator(unsigned stepCapacity = 16);
    ~Arpeggiator() override;

    void setSyncToKeyOn(bool on);
    bool syncToKeyOn() const;
    // 1..6 switches the note order; any other value is ignored.
    void setStyle(ARPEGGIO_STYLE style);
    ARPEGGIO_STYLE style() const;
    void setRate(QUANTIZATION_RATE rate);
    QUANTIZATION_RATE rate() const;
    // Extra octaves above the keys, at most 8.
    void setOctaveRange(unsigned octaves);
    unsigned octaveRange() const;
    // The gate: the fraction of a step that a note sounds; negative becomes 0.
    void setDuration(float gate);
    float duration() const;

    unsigned stepCapacity() const;
    unsigned stepLength() const;
    // 0 becomes 1; limited to the step capacity.
    void setStepLength(unsigned length);
    // Step i modulo the step length.
    Step& step(unsigned i);
    Step const& step(unsigned i) const;

    // Passed to the current order; only the four directional orders use it.
    void setPatternLength(unsigned length);
    unsigned patternLength() const;

    // The step counter modulo the step length. Safe to read from any thread.
    unsigned currentStepNumber() const;

    PressedNoteSet const& heldKeys() const;
    // Notes started and not yet ended.
    std::size_t soundingNoteCount() const;

    class Impl;

protected:
    bool _prepareProcess(PressedNoteSet const& offlinePressedNotes) override;
    MidiQueue const& _process(MidiQueue const& in, Clock const& clock) override;
    MidiQueue const& _dispose() override;
    void _allNotesOff() override;

private:
    std::unique_ptr<Impl> impl_;
};

} // namespace Lumora::MIDI
