#include "engine/midifx/Quantizer.h"

#include <algorithm>
#include <cmath>

#include "engine/clock/Clock.h"

namespace Lumora::MIDI {

namespace {

struct NoteEntry {
    int channel = 0;
    int note = 0;
    int velocity = 0;
    int rate = 0;
    double length = 0.0;
    double start = 0.0;
};

// A table of notes keyed by (channel, note) with fixed storage: an index per key into a
// dense array, so lookups are direct and iteration only visits entries in use.
class NoteTable {
public:
    static constexpr int kChannels = 16;
    static constexpr int kNotes = 256;
    static constexpr std::size_t kKeys = kChannels * kNotes;

    NoteTable() { slot_.fill(kNone); }

    NoteEntry* find(int channel, int note) {
        int16_t const s = slot_[key(channel, note)];
        return s == kNone ? nullptr : &entries_[static_cast<std::size_t>(s)];
    }

    // Adds or replaces the entry of the key.
    void put(NoteEntry const& entry) {
        if (NoteEntry* existing = find(entry.channel, entry.note)) {
            *existing = entry;
            return;
        }
        slot_[key(entry.channel, entry.note)] = static_cast<int16_t>(count_);
        entries_[count_++] = entry;
    }

    // Removes the entry at position i; the last entry takes its place.
    void removeAt(std::size_t i) {
        slot_[key(entries_[i].channel, entries_[i].note)] = kNone;
        --count_;
        if (i != count_) {
            entries_[i] = entries_[count_];
            slot_[key(entries_[i].channel, entries_[i].note)] = static_cast<int16_t>(i);
        }
    }

    void clear() {
        for (std::size_t i = 0; i < count_; ++i) {
            slot_[key(entries_[i].channel, entries_[i].note)] = kNone;
        }
        count_ = 0;
    }

    std::size_t size() const { return count_; }
    NoteEntry& operator[](std::size_t i) { return entries_[i]; }

private:
    static constexpr int16_t kNone = -1;
    static std::size_t key(int channel, int note) {
        return static_cast<std::size_t>(channel) * kNotes + static_cast<std::size_t>(note);
    }

    std::array<int16_t, kKeys> slot_{};
    std::array<NoteEntry, kKeys> entries_{};
    std::size_t count_ = 0;
};

bool isTriggered(Clock const& clock, int rate) {
    switch (rate) {
    case 1: return clock.isTriggered_4();
    case 2: return clock.isTriggered_8();
    case 3: return clock.isTriggered_16();
    case 4: return clock.isTriggered_32();
    default: return true;
    }
}

} // namespace

class Quantizer::Impl {
public:
    Impl() : output(makeMidiQueue()) {}
    virtual ~Impl() = default;

    void schedule(NoteEntry const& entry);
    MidiQueue const& process(Clock const& clock);
    MidiQueue const& dispose();

    NoteTable scheduled;
    NoteTable sounding;
    MidiQueue output;
    bool endAllSounding = false;

private:
    void noteOff(NoteEntry const& entry, int velocity) {
        output.emplace_back(0x80, entry.channel, entry.note, velocity);
    }
    void endAll();
    void emitDueNoteOffs(double position);
    void emitDueNoteOns(Clock const& clock);
};

void Quantizer::Impl::schedule(NoteEntry const& entry) {
    if (scheduled.find(entry.channel, entry.note) == nullptr) {
        scheduled.put(entry);
    }
}

void Quantizer::Impl::endAll() {
    for (std::size_t i = 0; i < sounding.size(); ++i) {
        noteOff(sounding[i], 0);
    }
    sounding.clear();
    endAllSounding = false;
}

MidiQueue const& Quantizer::Impl::process(Clock const& clock) {
    output.clear();
    if (clock.isRewinded() || endAllSounding) {
        endAll();
    }
    emitDueNoteOffs(clock.beatPosition());
    emitDueNoteOns(clock);
    return output;
}

void Quantizer::Impl::emitDueNoteOffs(double position) {
    for (std::size_t i = 0; i < sounding.size();) {
        NoteEntry const& entry = sounding[i];
        if (entry.length == 0.0 || entry.start + entry.length <= position) {
            noteOff(entry, entry.velocity);
            sounding.removeAt(i);
        } else {
            ++i;
        }
    }
}

void Quantizer::Impl::emitDueNoteOns(Clock const& clock) {
    double const position = clock.beatPosition();
    for (std::size_t i = 0; i < scheduled.size();) {
        NoteEntry entry = scheduled[i];
        if (!isTriggered(clock, entry.rate)) {
            ++i;
            continue;
        }
        // A note that still sounds is ended and started again, so every request is heard.
        if (NoteEntry const* still = sounding.find(entry.channel, entry.note)) {
            noteOff(*still, still->velocity);
        }
        output.emplace_back(0x90, entry.channel, entry.note, entry.velocity);
        entry.start = position;
        sounding.put(entry);
        scheduled.removeAt(i);
    }
}

MidiQueue const& Quantizer::Impl::dispose() {
    output.clear();
    scheduled.clear();
    endAll();
    return output;
}

Quantizer::Quantizer() : impl_(std::make_unique<Impl>()) {}

Quantizer::~Quantizer() = default;

void Quantizer::schedule(int channel, int note, int velocity, int rate, double lengthInBeats) {
    // Messages carry data bytes 0..255, so notes beyond that sound as the nearest byte and
    // share its key. Velocity 0 would read as a note-off.
    NoteEntry entry;
    entry.channel = std::clamp(channel, 0, NoteTable::kChannels - 1);
    entry.note = std::clamp(note, 0, NoteTable::kNotes - 1);
    entry.velocity = std::clamp(velocity, 1, 255);
    entry.rate = rate;
    // A length that is not a finite positive number ends the note at the next block.
    entry.length = std::isfinite(lengthInBeats) && lengthInBeats > 0.0 ? lengthInBeats : 0.0;
    impl_->schedule(entry);
}

MidiQueue const& Quantizer::process(Clock const& clock) { return impl_->process(clock); }

MidiQueue const& Quantizer::dispose() { return impl_->dispose(); }

void Quantizer::allNotesOff() {
    impl_->scheduled.clear();
    impl_->endAllSounding = true;
}

std::size_t Quantizer::scheduledCount() const { return impl_->scheduled.size(); }

std::size_t Quantizer::soundingCount() const { return impl_->sounding.size(); }

} // namespace Lumora::MIDI
