#include "SmfBuilder.h"

namespace MidiTest {

void SmfBuilder::putVlq(std::vector<uint8_t>& out, uint32_t value) {
    uint8_t groups[5];
    int n = 0;
    do {
        groups[n++] = value & 0x7F;
        value >>= 7;
    } while (value != 0);
    while (n-- > 0) out.push_back(static_cast<uint8_t>(groups[n] | (n > 0 ? 0x80 : 0)));
}

SmfBuilder::Track& SmfBuilder::Track::event(uint32_t delta, std::initializer_list<uint8_t> bytes) {
    putVlq(data, delta);
    data.insert(data.end(), bytes);
    return *this;
}

SmfBuilder::Track& SmfBuilder::Track::tempo(uint32_t delta, uint32_t us) {
    return event(delta, {0xFF, 0x51, 0x03, uint8_t(us >> 16), uint8_t(us >> 8), uint8_t(us)});
}

SmfBuilder::Track& SmfBuilder::Track::end(uint32_t delta) { return event(delta, {0xFF, 0x2F, 0x00}); }

SmfBuilder::Track& SmfBuilder::Track::raw(std::initializer_list<uint8_t> bytes) {
    data.insert(data.end(), bytes);
    return *this;
}

SmfBuilder::Track& SmfBuilder::track() {
    tracks_.emplace_back();
    return tracks_.back();
}

std::vector<uint8_t> SmfBuilder::bytes(int declaredTracks) const {
    auto put16 = [](std::vector<uint8_t>& out, uint16_t v) {
        out.push_back(uint8_t(v >> 8));
        out.push_back(uint8_t(v));
    };
    auto put32 = [](std::vector<uint8_t>& out, uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(v >> shift));
    };
    std::vector<uint8_t> out{'M', 'T', 'h', 'd'};
    put32(out, 6);
    put16(out, format_);
    put16(out, uint16_t(declaredTracks < 0 ? tracks_.size() : declaredTracks));
    put16(out, division_);
    for (const Track& t : tracks_) {
        out.insert(out.end(), {'M', 'T', 'r', 'k'});
        put32(out, uint32_t(t.data.size()));
        out.insert(out.end(), t.data.begin(), t.data.end());
    }
    return out;
}

} // namespace MidiTest
