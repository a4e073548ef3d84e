#include "platform/midi/MidiPacketList.h"

namespace Platform {

void MidiPacketList::reserve(std::size_t packets, std::size_t bytes) {
    headers_.reserve(packets);
    bytes_.reserve(bytes);
}

void MidiPacketList::clear() {
    headers_.clear();
    bytes_.clear();
}

bool MidiPacketList::add(MidiTimeStamp timeStamp, std::span<const uint8_t> data) {
    if (data.empty() || data.size() > maxPacketLength) return false;
    headers_.push_back({timeStamp, bytes_.size(), data.size()});
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    return true;
}

bool MidiPacketList::add(MidiTimeStamp timeStamp, std::initializer_list<uint8_t> data) {
    return add(timeStamp, std::span<const uint8_t>(data.begin(), data.size()));
}

bool MidiPacketList::fits(std::size_t bytes) const {
    return headers_.size() < headers_.capacity() && bytes_.size() + bytes <= bytes_.capacity();
}

MidiPacket MidiPacketList::operator[](std::size_t index) const {
    const Header& h = headers_[index];
    return {h.timeStamp, std::span<const uint8_t>(bytes_.data() + h.offset, h.length)};
}

} // namespace Platform
