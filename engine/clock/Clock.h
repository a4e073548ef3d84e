#pragma once

#include <cmath>
#include <cstdint>
#include <memory>

#include "engine/audio/SyncInformation.h"

namespace Lumora {

class MidiClockTracker;

// The musical time of one render block. Before each block one "pre" step fixes tempo, time
// signature and the position of the block's first frame and derives which grid points were
// passed; after the block the matching "post" step predicts where the next block starts.
// Render thread only.
class Clock {
public:
    // One grid: how many grid points lie at or before the position (floor), whether that
    // number changed with this block, and how far past the last point the block starts.
    struct Counter {
        bool triggered = false;
        int32_t count = -1;
        double fraction = 0.0;
    };

    enum SyncMode : uint32_t { SyncInternal = 0, SyncMidi = 1, SyncHost = 2 };

    Clock();
    virtual ~Clock();

    Clock(Clock const&) = delete;
    Clock& operator=(Clock const&) = delete;

    virtual TimeSignature const& timeSignature() const;
    virtual double bpm() const;
    virtual bool isTempoChanged() const;
    virtual uint64_t sampleTime() const;
    virtual double absoluteTime() const;
    virtual double beatPosition() const;
    virtual double beatPosition_bar() const;
    virtual double quaterNotePosition() const;
    virtual bool isRewinded() const;
    virtual double secPerBeat() const;
    virtual double beatPerSec() const;
    virtual double beatPerQuaterNote() const;
    virtual double secPerQuaterNote() const;

    virtual bool isTriggered_beat() const;
    virtual bool isTriggered_4() const;
    virtual bool isTriggered_6() const;
    virtual bool isTriggered_8() const;
    virtual bool isTriggered_12() const;
    virtual bool isTriggered_16() const;
    virtual bool isTriggered_32() const;

    virtual double distanceToTrigger_beat() const;
    virtual double distanceToTrigger_4() const;
    virtual double distanceToTrigger_6() const;
    virtual double distanceToTrigger_8() const;
    virtual double distanceToTrigger_12() const;
    virtual double distanceToTrigger_16() const;
    virtual double distanceToTrigger_32() const;

    virtual double distanceToNextTrigger_beat() const;
    virtual double distanceToNextTrigger_4() const;
    virtual double distanceToNextTrigger_6() const;
    virtual double distanceToNextTrigger_8() const;
    virtual double distanceToNextTrigger_12() const;
    virtual double distanceToNextTrigger_16() const;
    virtual double distanceToNextTrigger_32() const;

    virtual int32_t beat() const;
    virtual int32_t beat4() const;
    virtual int32_t beat6() const;
    virtual int32_t beat8() const;
    virtual int32_t beat12() const;
    virtual int32_t beat16() const;
    virtual int32_t beat32() const;

    virtual Counter const& beatCounter() const;
    virtual Counter const& beat4Counter() const;
    virtual Counter const& beat6Counter() const;
    virtual Counter const& beat8Counter() const;
    virtual Counter const& beat12Counter() const;
    virtual Counter const& beat16Counter() const;
    virtual Counter const& beat32Counter() const;

    void internalSync_pre(TimeSignature const& ts, double bpm, bool restart);
    void internalSync_post(unsigned frames, float sampleRate);
    void midiSync_pre(TimeSignature const& ts, double bpm, bool restart, unsigned ticks);
    void midiSync_post(unsigned frames, float sampleRate);
    void hostSync_pre(TimeSignature const& ts, double bpm, double beatPosition, double barPosition);
    void hostSync_post(unsigned frames, float sampleRate);

    uint32_t syncMode() const { return syncMode_; }
    // Whether the MIDI clock currently drives the position (lock state 1 or 2).
    bool isMidiClockLocked() const;
    // 0 idle, 1 starting, 2 locked, 3 dropping out.
    uint32_t midiClockLockState() const;
    double midiClockTempo() const;

    // Grid helpers shared with the groove clock. A counter triggers when its count changes,
    // unless silent (a jump back to before the downbeat, which is no grid point reached).
    // Floor, not truncation: a position moving up through 0 from below (host pre-roll, a timing
    // shift) changes the count from -1 to 0 and so fires the downbeat. The fraction is therefore
    // always in [0, 1). Inline, since thirteen grids are counted again before every block.
    static void updateCounter(Counter& counter, double position, bool silent = false) {
        // A count beyond 32 bits (or of no number) cannot be taken: the counter holds still. The
        // floor of a position in this range is a 32-bit count, |floor(p)| < 2^31 - 1.
        if (!(position >= -2147483646.0 && position < 2147483647.0)) {
            counter.triggered = false;
            return;
        }
        // Floor through truncation, which rounds a negative position up.
        auto count = static_cast<int32_t>(position);
        count -= static_cast<double>(count) > position ? 1 : 0;
        counter.triggered = !silent && count != counter.count;
        counter.count = count;
        // The count of -0 converts to +0, and -0 - +0 is -0 where floor's -0 gave +0: adding +0
        // turns that one case into +0 and leaves every other difference as it is.
        counter.fraction = (position - static_cast<double>(count)) + 0.0;
    }
    // A rewind that lands before position 0 (MIDI clock just locked, host pre-roll after a
    // jump, a positive timing shift after a restart) fires no grid: the downbeat fires when
    // position 0 is then crossed.
    static bool isSilentJump(bool rewound, double position) { return rewound && position < 0.0; }
    static double distanceToTrigger(Counter const& counter);
    static double distanceToNextTrigger(Counter const& counter);
    // Position within the bar: fraction plus the whole beats modulo the numerator.
    static double barPositionOf(double beatPosition, uint32_t numerator);

    // Points per quarter note of the grids 4, 6, 8, 12, 16 and 32.
    static constexpr int kGridCount = 6;
    static constexpr double kGridScale[kGridCount] = {1.0, 1.5, 2.0, 3.0, 4.0, 8.0};

protected:
    void pre_process(TimeSignature const& ts, double bpm, double beatPosition, double barPosition);

private:
    void advance(unsigned frames, float sampleRate);

    uint32_t syncMode_ = SyncInternal;
    TimeSignature timeSignature_{};
    double tempo_ = 120.0;
    double previousTempo_ = 0.0;
    uint64_t sampleTime_ = 0;
    double absoluteTime_ = 0.0;
    double beatPosition_ = 0.0;
    double barPosition_ = 0.0;
    double nextBeatPosition_ = 0.0;
    double nextBarPosition_ = 0.0;
    bool rewound_ = false;
    double lastPosition_ = -1.0;
    Counter beatCounter_{};
    Counter grids_[kGridCount]{};
    std::unique_ptr<MidiClockTracker> tracker_;
};

} // namespace Lumora
