#pragma once

// The arpeggiator's state, shared by the arpeggiator and its note orders. Not part of the
// engine's interface.

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/audio/SyncInformation.h"
#include "engine/midifx/Arpeggiator.h"
#include "engine/midifx/Quantizer.h"

namespace Lumora::MIDI {

class Arpeggiator::Impl {
public:
    // One note order. Every order exists for the arpeggiator's whole life, so switching the
    // order on the render thread allocates nothing.
    class iPatternGenelator {
    public:
        iPatternGenelator(ARPEGGIO_STYLE style, Impl* owner) : style_(style), owner_(owner) {}
        virtual ~iPatternGenelator() = default;

        virtual bool usesPatternLength() const = 0;
        virtual unsigned patternLength() const { return UINT32_MAX; }
        virtual void setPatternLength(unsigned) {}
        // Picks one candidate for the step and schedules it.
        virtual void generate(PressedNoteSet const& candidates, uint32_t stepCounter,
                              unsigned stepIndex, Step const& step, TimeSignature const& ts) = 0;

        ARPEGGIO_STYLE style() const { return style_; }

    protected:
        // The candidate at position j modulo the count, counted from the lowest or highest.
        // An empty set gives an empty record, which plays nothing.
        static PressedNote candidateFromBottom(PressedNoteSet const& candidates, uint64_t j);
        static PressedNote candidateFromTop(PressedNoteSet const& candidates, uint64_t j);
        void generateAscending(PressedNoteSet const& candidates, uint32_t stepCounter,
                               Step const& step, TimeSignature const& ts);
        void generateDescending(PressedNoteSet const& candidates, uint32_t stepCounter,
                                Step const& step, TimeSignature const& ts);
        void scheduleNote(PressedNote const& candidate, Step const& step, TimeSignature const& ts);
        double noteLengthInBeats(float stepDuration, TimeSignature const& ts) const;

    private:
        uint32_t positionInPattern(uint32_t stepCounter) const;

        ARPEGGIO_STYLE style_;
        Impl* owner_;
    };

    explicit Impl(unsigned stepCapacity);
    virtual ~Impl() = default;

    bool prepareProcess(PressedNoteSet const& offlinePressedNotes);
    MidiQueue const& process(MidiQueue const& in, Clock const& clock);
    MidiQueue const& dispose();
    void allNotesOff();

    void setStyle(ARPEGGIO_STYLE style);

    iPatternGenelator* patternGenerator = nullptr;
    bool syncToKeyOn = false;
    QUANTIZATION_RATE rate = SixteenthNote;
    unsigned octaveRange = 0;
    float gate = 0.5f;
    std::atomic<unsigned> stepLength;
    std::vector<Step> steps;
    std::atomic<uint32_t> stepCounter{0};
    PressedNoteSet heldKeys;
    Quantizer quantizer;
    MidiQueue output;

private:
    bool absorbKeys(MidiQueue const& in);
    bool stepFires(Clock const& clock, bool noteOnCame) const;
    void playStep(Clock const& clock);

    std::array<std::unique_ptr<iPatternGenelator>, 6> generators_;
    PressedNoteSet candidates_;
};

} // namespace Lumora::MIDI
