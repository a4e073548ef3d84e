#include "plugin/lv2/Lv2HostTimeline.h"

#include <cmath>
#include <cstring>

#include <lv2/atom/util.h>

#include "platform/audiounit/AudioUnitTypes.h"

namespace Lumora::Lv2 {

namespace {

// A number atom of any of the types hosts send for time properties. The body is copied, not read
// in place: a host's buffer may not be 8-byte aligned.
bool numberOf(LV2_Atom const* atom, Lv2Urids const& urids, double& out) {
    if (atom == nullptr)
        return false;
    auto const* body = reinterpret_cast<unsigned char const*>(atom + 1);
    double value = 0.0;
    if (atom->type == urids.atomFloat && atom->size >= sizeof(float)) {
        float v;
        std::memcpy(&v, body, sizeof v);
        value = v;
    } else if (atom->type == urids.atomDouble && atom->size >= sizeof(double)) {
        std::memcpy(&value, body, sizeof value);
    } else if (atom->type == urids.atomInt && atom->size >= sizeof(std::int32_t)) {
        std::int32_t v;
        std::memcpy(&v, body, sizeof v);
        value = v;
    } else if (atom->type == urids.atomLong && atom->size >= sizeof(std::int64_t)) {
        std::int64_t v;
        std::memcpy(&v, body, sizeof v);
        value = static_cast<double>(v);
    } else {
        return false;
    }
    if (!std::isfinite(value))
        return false;
    out = value;
    return true;
}

// Positions further out than this are not a timeline a musician plays; the audio unit's sync
// treats them as unusable, so they are not taken.
constexpr double kLargestPosition = 1.0e9;

} // namespace

void Lv2HostTimeline::applyPosition(LV2_Atom_Object const& position, Lv2Urids const& urids) {
    LV2_Atom const* bar = nullptr;
    LV2_Atom const* barBeat = nullptr;
    LV2_Atom const* beat = nullptr;
    LV2_Atom const* beatUnit = nullptr;
    LV2_Atom const* beatsPerBar = nullptr;
    LV2_Atom const* bpm = nullptr;
    LV2_Atom const* frame = nullptr;
    LV2_Atom const* speed = nullptr;
    lv2_atom_object_get(&position, urids.timeBar, &bar, urids.timeBarBeat, &barBeat, urids.timeBeat, &beat,
                        urids.timeBeatUnit, &beatUnit, urids.timeBeatsPerBar, &beatsPerBar,
                        urids.timeBeatsPerMinute, &bpm, urids.timeFrame, &frame, urids.timeSpeed, &speed, 0);
    double value = 0.0;
    if (numberOf(beatsPerBar, urids, value) && value >= 1.0 && value <= 64.0)
        beatsPerBar_ = value;
    if (numberOf(beatUnit, urids, value) && value >= 1.0 && value <= 64.0)
        beatUnit_ = value;
    if (numberOf(bpm, urids, value) && value > 0.0 && value <= 1000.0)
        beatsPerMinute_ = value;
    if (numberOf(speed, urids, value))
        speed_ = value;
    if (numberOf(frame, urids, value) && std::fabs(value) < 9.0e15)
        frame_ = value;
    if (numberOf(bar, urids, value) && std::fabs(value) < kLargestPosition)
        bar_ = std::floor(value);
    if (numberOf(barBeat, urids, value) && value >= 0.0 && value < kLargestPosition) {
        barBeat_ = value;
    } else if (numberOf(beat, urids, value) && std::fabs(value) < kLargestPosition) {
        // Only the whole-song beat: bar and beat in the bar follow from it.
        bar_ = std::floor(value / beatsPerBar_);
        barBeat_ = value - bar_ * beatsPerBar_;
    }
    known_ = true;
    changed_ = true;
}

void Lv2HostTimeline::rollOn(std::uint32_t frames, double sampleRate) {
    if (sampleRate <= 0.0)
        return;
    double const moved = frames * speed_;
    changed_ = true;
    frame_ += moved;
    barBeat_ += moved * beatsPerMinute_ / (60.0 * sampleRate);
    if (barBeat_ >= beatsPerBar_ || barBeat_ < 0.0) {
        double const bars = std::floor(barBeat_ / beatsPerBar_);
        bar_ += bars;
        barBeat_ -= bars * beatsPerBar_;
    }
}

void Lv2HostTimeline::clear() {
    *this = Lv2HostTimeline();
}

bool Lv2HostTimeline::musicalContext(double* tempo, double* numerator, std::int64_t* denominator,
                                     double* beatPosition, std::int64_t* sampleOffsetToNextBeat,
                                     double* measureDownbeat, double sampleRate) const {
    if (!known_)
        return false;
    // LV2 counts tempo and positions in beats of the signature's note value, as the engine's
    // clock does (it scales beats by 4 / denominator into quarter notes itself).
    if (tempo != nullptr)
        *tempo = beatsPerMinute_;
    if (numerator != nullptr)
        *numerator = beatsPerBar_;
    if (denominator != nullptr)
        *denominator = static_cast<std::int64_t>(beatUnit_);
    if (beatPosition != nullptr)
        *beatPosition = this->beatPosition();
    if (sampleOffsetToNextBeat != nullptr) {
        double const toNext = std::ceil(barBeat_) - barBeat_;
        *sampleOffsetToNextBeat = static_cast<std::int64_t>(std::llround(toNext * 60.0 * sampleRate / beatsPerMinute_));
    }
    if (measureDownbeat != nullptr)
        *measureDownbeat = bar_ * beatsPerBar_;
    return true;
}

bool Lv2HostTimeline::transportState(std::uint64_t* flags, double* samplePosition, double* cycleStart,
                                     double* cycleEnd) {
    if (!known_)
        return false;
    bool const moving = rolling();
    if (flags != nullptr) {
        *flags = moving ? Platform::TransportStateFlags::Moving : 0;
        if (moving != movingReported_)
            *flags |= Platform::TransportStateFlags::Changed;
    }
    if (moving != movingReported_)
        changed_ = true;
    movingReported_ = moving;
    if (samplePosition != nullptr)
        *samplePosition = frame_;
    if (cycleStart != nullptr)
        *cycleStart = 0.0;
    if (cycleEnd != nullptr)
        *cycleEnd = 0.0;
    return true;
}

} // namespace Lumora::Lv2
