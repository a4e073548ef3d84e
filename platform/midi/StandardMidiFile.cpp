#include "platform/midi/StandardMidiFile.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace Platform {

namespace {

bool fail(std::string* error, const std::string& message) {
    if (error) *error = message;
    return false;
}

std::string hex(unsigned byte) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", byte & 0xFFu);
    return text;
}

struct PendingEvent {
    uint64_t tick;
    uint16_t track;
    uint32_t offset;
    uint32_t length;
};

struct PendingTempo {
    uint64_t tick;
    uint32_t microsecondsPerQuarter;
};

} // namespace

// Bounds-checked big-endian reads over one chunk or the whole file.
class StandardMidiFile::Reader {
public:
    explicit Reader(std::span<const uint8_t> data) : data_(data) {}

    std::size_t remaining() const { return data_.size() - pos_; }
    bool atEnd() const { return pos_ >= data_.size(); }

    bool u8(uint8_t& value) {
        if (remaining() < 1) return false;
        value = data_[pos_++];
        return true;
    }
    bool peek(uint8_t& value) const {
        if (remaining() < 1) return false;
        value = data_[pos_];
        return true;
    }
    bool u16(uint16_t& value) {
        if (remaining() < 2) return false;
        value = uint16_t((data_[pos_] << 8) | data_[pos_ + 1]);
        pos_ += 2;
        return true;
    }
    bool u32(uint32_t& value) {
        if (remaining() < 4) return false;
        value = (uint32_t(data_[pos_]) << 24) | (uint32_t(data_[pos_ + 1]) << 16) |
                (uint32_t(data_[pos_ + 2]) << 8) | uint32_t(data_[pos_ + 3]);
        pos_ += 4;
        return true;
    }
    // A variable-length quantity: seven bits per byte, most significant first, at most four bytes.
    bool vlq(uint32_t& value) {
        value = 0;
        for (int i = 0; i < 4; ++i) {
            uint8_t byte;
            if (!u8(byte)) return false;
            value = (value << 7) | (byte & 0x7Fu);
            if ((byte & 0x80) == 0) return true;
        }
        return false;
    }
    bool take(std::size_t count, std::span<const uint8_t>& out) {
        if (remaining() < count) return false;
        out = data_.subspan(pos_, count);
        pos_ += count;
        return true;
    }

private:
    std::span<const uint8_t> data_;
    std::size_t pos_ = 0;
};

namespace {

// Reads one track chunk's events into the shared stores; false with a message when malformed.
class TrackParser {
public:
    TrackParser(uint16_t track, std::vector<PendingEvent>& events, std::vector<uint8_t>& bytes,
                std::vector<PendingTempo>& tempos)
        : track_(track), events_(events), bytes_(bytes), tempos_(tempos) {}

    template <class Reader>
    bool parse(Reader& in, uint64_t& endTick, std::string* error) {
        const std::string where = "track " + std::to_string(track_) + ": ";
        uint64_t tick = 0;
        uint8_t running = 0;
        while (!in.atEnd()) {
            uint32_t delta;
            if (!in.vlq(delta)) return fail(error, where + "an event time runs past the chunk");
            tick += delta;
            endTick = tick;
            uint8_t status;
            if (!in.peek(status)) return fail(error, where + "an event is missing after its time");
            if (status < 0x80) {
                // Running status: the data bytes reuse the last channel status.
                if (running == 0) return fail(error, where + "a data byte without a status");
                status = running;
            } else {
                in.u8(status);
            }

            if (status < 0xF0) {
                if (!channelMessage(in, tick, status)) {
                    return fail(error, where + "the channel message " + hex(status) + " is cut short");
                }
                running = status;
            } else if (status == 0xFF) {
                bool endOfTrack = false;
                if (!metaEvent(in, tick, endOfTrack)) return fail(error, where + "a meta event runs past the chunk");
                if (endOfTrack) return true;
            } else if (status == 0xF0 || status == 0xF7) {
                if (!sysExEvent(in, tick, status)) {
                    return fail(error, where + "a system-exclusive event runs past the chunk");
                }
            } else {
                return fail(error, where + "the status " + hex(status) + " cannot appear in a file");
            }
        }
        return true;
    }

private:
    template <class Reader>
    bool channelMessage(Reader& in, uint64_t tick, uint8_t status) {
        const uint8_t kind = status & 0xF0;
        const std::size_t dataBytes = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
        uint8_t message[3] = {status, 0, 0};
        for (std::size_t i = 0; i < dataBytes; ++i) {
            if (!in.u8(message[1 + i]) || message[1 + i] >= 0x80) return false;
        }
        add(tick, std::span<const uint8_t>(message, 1 + dataBytes));
        return true;
    }

    template <class Reader>
    bool metaEvent(Reader& in, uint64_t tick, bool& endOfTrack) {
        uint8_t type;
        uint32_t length = 0;
        std::span<const uint8_t> data;
        if (!in.u8(type) || !in.vlq(length) || !in.take(length, data)) return false;
        if (type == 0x2F) endOfTrack = true;
        if (type == 0x51 && length == 3) {
            const uint32_t tempo = (uint32_t(data[0]) << 16) | (uint32_t(data[1]) << 8) | data[2];
            // A tempo of zero would make every later event happen at once; it is ignored.
            if (tempo != 0) tempos_.push_back({tick, tempo});
        }
        return true;
    }

    // F0 events carry a system-exclusive message without its F0; F7 events carry raw bytes.
    template <class Reader>
    bool sysExEvent(Reader& in, uint64_t tick, uint8_t status) {
        uint32_t length;
        std::span<const uint8_t> data;
        if (!in.vlq(length) || !in.take(length, data)) return false;
        const uint32_t offset = static_cast<uint32_t>(bytes_.size());
        if (status == 0xF0) bytes_.push_back(0xF0);
        bytes_.insert(bytes_.end(), data.begin(), data.end());
        const uint32_t size = static_cast<uint32_t>(bytes_.size()) - offset;
        if (size > 0) events_.push_back({tick, track_, offset, size});
        return true;
    }

    void add(uint64_t tick, std::span<const uint8_t> message) {
        const uint32_t offset = static_cast<uint32_t>(bytes_.size());
        bytes_.insert(bytes_.end(), message.begin(), message.end());
        events_.push_back({tick, track_, offset, static_cast<uint32_t>(message.size())});
    }

    const uint16_t track_;
    std::vector<PendingEvent>& events_;
    std::vector<uint8_t>& bytes_;
    std::vector<PendingTempo>& tempos_;
};

} // namespace

std::optional<StandardMidiFile> StandardMidiFile::parse(std::span<const uint8_t> data,
                                                        std::string* error) {
    Reader file(data);
    std::span<const uint8_t> id;
    uint32_t headerLength;
    if (!file.take(4, id) || !std::equal(id.begin(), id.end(), "MThd") || !file.u32(headerLength)) {
        fail(error, "not a Standard MIDI File");
        return std::nullopt;
    }
    std::span<const uint8_t> headerData;
    if (headerLength < 6 || !file.take(headerLength, headerData)) {
        fail(error, "the file header is cut short");
        return std::nullopt;
    }
    Reader header(headerData);
    uint16_t format, tracks, division;
    header.u16(format);
    header.u16(tracks);
    header.u16(division);
    if (format > 1) {
        fail(error, "format " + std::to_string(format) + " is not supported");
        return std::nullopt;
    }

    StandardMidiFile smf;
    smf.format_ = format;
    smf.division_ = static_cast<int16_t>(division);
    double smpteTicksPerSecond = 0;
    if (smf.division_ < 0) {
        const int fps = -static_cast<int8_t>(division >> 8);
        const int ticksPerFrame = division & 0xFF;
        if ((fps != 24 && fps != 25 && fps != 29 && fps != 30) || ticksPerFrame == 0) {
            fail(error, "the SMPTE division is invalid");
            return std::nullopt;
        }
        // 29 stands for drop-frame 30 at the 1000/1001 colour rate.
        smpteTicksPerSecond = (fps == 29 ? 30000.0 / 1001.0 : fps) * ticksPerFrame;
    } else if (division == 0) {
        fail(error, "the division is zero");
        return std::nullopt;
    }

    std::vector<PendingEvent> pending;
    std::vector<PendingTempo> tempos;
    uint64_t lastTick = 0;
    int found = 0;
    while (file.remaining() >= 8) {
        uint32_t length = 0;
        file.take(4, id);
        file.u32(length);
        std::span<const uint8_t> body;
        if (!file.take(length, body)) {
            fail(error, "a chunk runs past the end of the file");
            return std::nullopt;
        }
        if (!std::equal(id.begin(), id.end(), "MTrk")) continue;   // unknown chunks are skipped
        if (found == 0xFFFF) break;
        Reader track(body);
        uint64_t endTick = 0;
        TrackParser parser(static_cast<uint16_t>(found), pending, smf.bytes_, tempos);
        if (!parser.parse(track, endTick, error)) return std::nullopt;
        lastTick = std::max(lastTick, endTick);
        ++found;
    }
    if (found < tracks) {
        fail(error, "the file holds " + std::to_string(found) + " of its " + std::to_string(tracks) +
                        " tracks");
        return std::nullopt;
    }
    smf.tracks_ = found;

    // Tracks were read one after another, so a stable sort by tick leaves ties in track order.
    std::stable_sort(pending.begin(), pending.end(),
                     [](const PendingEvent& a, const PendingEvent& b) { return a.tick < b.tick; });
    std::stable_sort(tempos.begin(), tempos.end(),
                     [](const PendingTempo& a, const PendingTempo& b) { return a.tick < b.tick; });

    // seconds(tick) = segment start + (tick - segment tick) * microseconds per quarter
    //                 / (ticks per quarter * 10^6), segment by segment. An SMPTE division fixes
    // real time directly, so its tempo events change nothing.
    smf.tempos_.push_back({0, 0.0, 500000});
    if (smpteTicksPerSecond == 0) {
        for (const PendingTempo& t : tempos) {
            TempoChange& last = smf.tempos_.back();
            if (t.tick == last.tick) {
                last.microsecondsPerQuarter = t.microsecondsPerQuarter;   // the later one wins
                continue;
            }
            const long double elapsed = static_cast<long double>(t.tick - last.tick) *
                                        last.microsecondsPerQuarter / (division * 1e6L);
            smf.tempos_.push_back({t.tick, static_cast<double>(last.seconds + elapsed),
                                   t.microsecondsPerQuarter});
        }
    }

    smf.events_.reserve(pending.size());
    for (const PendingEvent& p : pending) {
        smf.events_.push_back({smf.secondsAt(p.tick), p.tick, p.track, p.offset, p.length});
        smf.longest_ = std::max<std::size_t>(smf.longest_, p.length);
        lastTick = std::max(lastTick, p.tick);
    }
    smf.duration_ = smf.secondsAt(lastTick);
    return smf;
}

double StandardMidiFile::secondsAt(uint64_t tick) const {
    if (division_ < 0) {
        const int fps = -static_cast<int8_t>(static_cast<uint16_t>(division_) >> 8);
        const long double rate = (fps == 29 ? 30000.0L / 1001.0L : fps) * (division_ & 0xFF);
        return static_cast<double>(tick / rate);
    }
    auto after = std::upper_bound(tempos_.begin(), tempos_.end(), tick,
                                  [](uint64_t t, const TempoChange& c) { return t < c.tick; });
    const TempoChange& segment = *(after - 1);
    const long double elapsed = static_cast<long double>(tick - segment.tick) *
                                segment.microsecondsPerQuarter / (division_ * 1e6L);
    return static_cast<double>(segment.seconds + elapsed);
}

std::optional<StandardMidiFile> StandardMidiFile::read(const std::string& path, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        fail(error, "cannot open " + path);
        return std::nullopt;
    }
    std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        fail(error, "cannot read " + path);
        return std::nullopt;
    }
    return parse(data, error);
}

} // namespace Platform
