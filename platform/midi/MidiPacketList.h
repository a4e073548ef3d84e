#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace Platform {

// Nanoseconds on the sender's clock; 0 means "now". A Standard MIDI File source stamps its
// packets with the event's time on the file's timeline.
using MidiTimeStamp = uint64_t;

// One packet: raw MIDI bytes that arrived together. Nothing guarantees that the bytes form
// complete or well-formed messages; readers must parse them defensively.
struct MidiPacket {
    MidiTimeStamp timeStamp = 0;
    std::span<const uint8_t> data;
};

// An ordered list of packets. Packets are views into the list's own byte store, valid until the
// list changes. clear() keeps the capacity, so a sender that reserves up front and only adds what
// fits (fits()) never allocates while it sends.
class MidiPacketList {
public:
    void reserve(std::size_t packets, std::size_t bytes);
    void clear();

    // Appends a packet; false (nothing added) for an empty packet or one longer than 65535 bytes.
    bool add(MidiTimeStamp timeStamp, std::span<const uint8_t> data);
    bool add(MidiTimeStamp timeStamp, std::initializer_list<uint8_t> data);
    // Whether a packet of that many bytes can be added without growing the list.
    bool fits(std::size_t bytes) const;

    std::size_t size() const { return headers_.size(); }
    bool empty() const { return headers_.empty(); }
    MidiPacket operator[](std::size_t index) const;

    class Iterator {
    public:
        Iterator(const MidiPacketList* list, std::size_t index) : list_(list), index_(index) {}
        MidiPacket operator*() const { return (*list_)[index_]; }
        Iterator& operator++() { ++index_; return *this; }
        bool operator!=(const Iterator& o) const { return index_ != o.index_; }
    private:
        const MidiPacketList* list_;
        std::size_t index_;
    };
    Iterator begin() const { return Iterator(this, 0); }
    Iterator end() const { return Iterator(this, headers_.size()); }

    static constexpr std::size_t maxPacketLength = 65535;

private:
    struct Header {
        MidiTimeStamp timeStamp;
        std::size_t offset;
        std::size_t length;
    };
    std::vector<Header> headers_;
    std::vector<uint8_t> bytes_;
};

} // namespace Platform
