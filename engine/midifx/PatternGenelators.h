#pragma once

#include "engine/midifx/ArpeggiatorImpl.h"

namespace Lumora::MIDI {

// The four directional orders walk the candidates by the step counter, modulo a pattern
// length; up-down and down-up turn direction with the step index.
class DirectionalPatternGenelator : public Arpeggiator::Impl::iPatternGenelator {
public:
    using iPatternGenelator::iPatternGenelator;
    bool usesPatternLength() const override { return true; }
    unsigned patternLength() const override { return patternLength_; }
    void setPatternLength(unsigned n) override { patternLength_ = n; }

private:
    unsigned patternLength_ = UINT32_MAX;
};

class UpPatternGenelator : public DirectionalPatternGenelator {
public:
    explicit UpPatternGenelator(Arpeggiator::Impl* owner)
        : DirectionalPatternGenelator(Arpeggiator::Up, owner) {}
    void generate(PressedNoteSet const& candidates, uint32_t stepCounter, unsigned stepIndex,
                  Arpeggiator::Step const& step, TimeSignature const& ts) override;
};

class DownPatternGenelator : public DirectionalPatternGenelator {
public:
    explicit DownPatternGenelator(Arpeggiator::Impl* owner)
        : DirectionalPatternGenelator(Arpeggiator::Down, owner) {}
    void generate(PressedNoteSet const& candidates, uint32_t stepCounter, unsigned stepIndex,
                  Arpeggiator::Step const& step, TimeSignature const& ts) override;
};

class UpDownPatternGenelator : public DirectionalPatternGenelator {
public:
    explicit UpDownPatternGenelator(Arpeggiator::Impl* owner)
        : DirectionalPatternGenelator(Arpeggiator::UpDown, owner) {}
    void generate(PressedNoteSet const& candidates, uint32_t stepCounter, unsigned stepIndex,
                  Arpeggiator::Step const& step, TimeSignature const& ts) override;
};

class DownUpPatternGenelator : public DirectionalPatternGenelator {
public:
    explicit DownUpPatternGenelator(Arpeggiator::Impl* owner)
        : DirectionalPatternGenelator(Arpeggiator::DownUp, owner) {}
    void generate(PressedNoteSet const& candidates, uint32_t stepCounter, unsigned stepIndex,
                  Arpeggiator::Step const& step, TimeSignature const& ts) override;
};

// A uniform choice among the candidates from a fixed-seed generator of its own (the C
// library's rand may take a lock, which the render thread must not).
class RandomPatternGenelator : public Arpeggiator::Impl::iPatternGenelator {
public:
    explicit RandomPatternGenelator(Arpeggiator::Impl* owner)
        : iPatternGenelator(Arpeggiator::Random, owner) {}
    bool usesPatternLength() const override { return false; }
    void generate(PressedNoteSet const& candidates, uint32_t stepCounter, unsigned stepIndex,
                  Arpeggiator::Step const& step, TimeSignature const& ts) override;

private:
    uint32_t next();
    uint32_t state_ = 0x2545F491u;
};

// The step's program picks the candidate: 0 the lowest upwards, -1 the highest downwards,
// limited to the candidates there are.
class ProgramedPatternGenelator : public Arpeggiator::Impl::iPatternGenelator {
public:
    explicit ProgramedPatternGenelator(Arpeggiator::Impl* owner)
        : iPatternGenelator(Arpeggiator::Programmed, owner) {}
    bool usesPatternLength() const override { return false; }
    void generate(PressedNoteSet const& candidates, uint32_t stepCounter, unsigned stepIndex,
                  Arpeggiator::Step const& step, TimeSignature const& ts) override;
};

} // namespace Lumora::MIDI
