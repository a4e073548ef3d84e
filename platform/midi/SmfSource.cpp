#include "platform/midi/SmfSource.h"

#include <algorithm>
#include <cmath>

namespace Platform {

namespace {
constexpr std::size_t reservedPackets = 256;
constexpr std::size_t reservedBytes = 4096;
} // namespace

std::shared_ptr<SmfSource> SmfSource::create(StandardMidiFile file, std::optional<std::string> name,
                                             int32_t uniqueId) {
    return std::shared_ptr<SmfSource>(new SmfSource(std::move(file), std::move(name), uniqueId));
}

SmfSource::SmfSource(StandardMidiFile file, std::optional<std::string> name, int32_t uniqueId)
    : MidiSource(std::move(name), uniqueId), file_(std::move(file)) {
    // Sized so that any single event fits into an emptied list: a block never allocates.
    packets_.reserve(reservedPackets, std::max(reservedBytes, file_.longestEvent()));
}

uint64_t SmfSource::frameOf(double seconds, double sampleRate) {
    const double frame = std::floor(seconds * sampleRate + 1e-6);
    return frame > 0 ? static_cast<uint64_t>(frame) : 0;
}

void SmfSource::advance(unsigned frames, double sampleRate) {
    if (!(sampleRate > 0) || !std::isfinite(sampleRate)) return;
    if (rate_ > 0 && rate_ != sampleRate) {
        position_ = static_cast<uint64_t>(std::llround(static_cast<double>(position_) * sampleRate / rate_));
    }
    rate_ = sampleRate;
    const uint64_t end = position_ + frames;

    const auto& events = file_.events();
    packets_.clear();
    for (; next_ < events.size(); ++next_) {
        const StandardMidiFile::Event& event = events[next_];
        if (frameOf(event.seconds, sampleRate) >= end) break;
        const auto bytes = file_.bytes(event);
        if (bytes.size() > MidiPacketList::maxPacketLength) continue;   // cannot travel in a packet
        if (!packets_.fits(bytes.size())) {
            send(packets_);
            packets_.clear();
        }
        packets_.add(static_cast<MidiTimeStamp>(std::llround(event.seconds * 1e9)), bytes);
    }
    send(packets_);
    packets_.clear();
    position_ = end;
}

void SmfSource::rewind() {
    next_ = 0;
    position_ = 0;
}

} // namespace Platform
