#pragma once

#include <cstdint>

#include <lv2/atom/atom.h>

#include "plugin/lv2/Lv2Urids.h"

namespace Lumora::Lv2 {

// The host's timeline as its time:Position events describe it, answering the audio unit's
// musical-context and transport questions. A host sends a position when something changes
// (tempo, a jump, start or stop), not every cycle, so between events the timeline moves on by
// itself at the last tempo and speed.
//
// Render thread only: events are applied, the blocks asked and the timeline advanced inside
// `run`, in that order.
class Lv2HostTimeline {
public:
    // Takes every property the object carries (time:bar, barBeat or beat, beatUnit,
    // beatsPerBar, beatsPerMinute, frame, speed); properties that are missing, of another type
    // or not usable keep their last values.
    void applyPosition(LV2_Atom_Object const& position, Lv2Urids const& urids);
    // Moves a rolling timeline on by frames at its tempo and speed.
    void advance(std::uint32_t frames, double sampleRate) {
        if (rolling())
            rollOn(frames, sampleRate);
    }
    // Forgets every position: the unit follows its internal tempo until a host sends one.
    void clear();

    bool known() const { return known_; }
    bool rolling() const { return known_ && speed_ != 0.0; }
    double tempo() const { return beatsPerMinute_; }
    // In beats of the signature's note value from the song's start.
    double beatPosition() const { return bar_ * beatsPerBar_ + barBeat_; }

    // The audio unit's musical-context block: false until a host sent a position.
    bool musicalContext(double* tempo, double* numerator, std::int64_t* denominator, double* beatPosition,
                        std::int64_t* sampleOffsetToNextBeat, double* measureDownbeat, double sampleRate) const;
    // The audio unit's transport block; the change flag is set once after a start or stop.
    bool transportState(std::uint64_t* flags, double* samplePosition, double* cycleStart, double* cycleEnd);

    // Whether the blocks may answer otherwise than when last asked (a position came, the timeline
    // rolled on, or the last transport answer carried the change flag, which the next one drops);
    // forgets it.
    bool takeChange() {
        bool const changed = changed_;
        changed_ = false;
        return changed;
    }

private:
    void rollOn(std::uint32_t frames, double sampleRate);

    bool known_ = false;
    double bar_ = 0.0;
    double barBeat_ = 0.0;
    double beatsPerBar_ = 4.0;
    double beatUnit_ = 4.0;
    double beatsPerMinute_ = 120.0;
    double frame_ = 0.0;
    double speed_ = 0.0;
    bool movingReported_ = false;
    bool changed_ = true;
};

} // namespace Lumora::Lv2
