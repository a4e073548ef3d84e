#include "engine/tuning/MicroTuning.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <system_error>

namespace Lumora {

namespace {

constexpr char const* kVersion = "1";

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

char const* skipBlanks(char const* first, char const* last) {
    while (first != last && isBlank(*first)) {
        ++first;
    }
    return first;
}

// Decimal integer after leading blanks and an optional sign; trailing characters ignored.
// C locale whatever the process locale.
bool parseInt(std::string_view s, long long& value) {
    char const* first = skipBlanks(s.data(), s.data() + s.size());
    char const* const last = s.data() + s.size();
    if (first != last && *first == '+') {
        ++first;
    }
    auto const [ptr, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && ptr != first;
}

bool parseFloat(std::string_view s, float& value) {
    char const* first = skipBlanks(s.data(), s.data() + s.size());
    char const* const last = s.data() + s.size();
    if (first != last && *first == '+') {
        ++first;
    }
    auto const [ptr, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && ptr != first && !std::isnan(value);
}

} // namespace

MicroTuning::MicroTuning() {
    reset();
}

MicroTuning::~MicroTuning() = default;

uint64_t MicroTuning::pack(Entry e) {
    return (uint64_t(uint32_t(e.offset)) << 32) | uint64_t(std::bit_cast<uint32_t>(e.detune));
}

MicroTuning::Entry MicroTuning::unpack(uint64_t word) {
    return Entry{int32_t(uint32_t(word >> 32)), std::bit_cast<float>(uint32_t(word & 0xffffffffu))};
}

void MicroTuning::store(int pitchClass, Entry e) {
    if (e.detune == 0.0f) {
        e.detune = 0.0f; // no "-0" in the text
    }
    entries_[std::size_t(pitchClass)].store(pack(e), std::memory_order_relaxed);
    changes_.fetch_add(1, std::memory_order_release);
}

namespace {
// Pitch class of any note number; a negative one must not index outside the table.
int pitchClassOf(int note) {
    return ((note % MicroTuning::kPitchClasses) + MicroTuning::kPitchClasses) % MicroTuning::kPitchClasses;
}
} // namespace

MicroTuning::Entry MicroTuning::data(int note) const {
    return unpack(entries_[std::size_t(pitchClassOf(note))].load(std::memory_order_relaxed));
}

void MicroTuning::setDetune(int note, float detune) {
    if (std::isnan(detune)) {
        return;
    }
    int const pitchClass = pitchClassOf(note);
    Entry e = data(pitchClass);
    e.detune = std::clamp(detune, -kMaxDetune, kMaxDetune);
    store(pitchClass, e);
}

void MicroTuning::reset() {
    for (int i = 0; i < kPitchClasses; ++i) {
        store(i, Entry{});
    }
}

std::string MicroTuning::serialize() const {
    std::string text = kVersion;
    text += '\n';
    for (int i = 0; i < kPitchClasses; ++i) {
        Entry const e = data(i);
        char buffer[64];
        auto r = std::to_chars(buffer, buffer + sizeof buffer, e.offset);
        *r.ptr++ = ':';
        // %g with six significant digits: "0", "0.5", "-0.333333", "1e-05".
        r = std::to_chars(r.ptr, buffer + sizeof buffer, e.detune, std::chars_format::general, 6);
        text.append(buffer, r.ptr);
        text += '\n';
    }
    return text;
}

bool MicroTuning::readEntry(std::string const& line, Entry& e) {
    e = Entry{};
    std::string_view const view(line);
    std::size_t const colon = view.find(':');
    long long offset = 0;
    if (!parseInt(view.substr(0, colon), offset)) {
        return false;
    }
    e.offset = int32_t(std::clamp<long long>(offset, -kMaxOffset, kMaxOffset));
    if (colon == std::string_view::npos) {
        return true;
    }
    std::size_t const next = view.find(':', colon + 1);
    std::string_view const second =
        view.substr(colon + 1, next == std::string_view::npos ? std::string_view::npos : next - colon - 1);
    float detune = 0.0f;
    if (!parseFloat(second, detune)) {
        return false;
    }
    e.detune = std::clamp(detune, -kMaxDetune, kMaxDetune);
    return true;
}

bool MicroTuning::deserialize(std::string const& text) {
    if (text.empty()) {
        return true;
    }
    bool ok = true;
    bool versionRead = false;
    int pitchClass = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string const line = text.substr(start, end - start);
        start = end + 1;
        if (!versionRead) {
            long long version = 0;
            if (!parseInt(line, version) || version != 1) {
                return false;
            }
            versionRead = true;
            continue;
        }
        // Lines beyond the twelfth entry have nowhere to go and are skipped.
        if (pitchClass >= kPitchClasses) {
            continue;
        }
        Entry e;
        if (!readEntry(line, e)) {
            ok = false;
        }
        store(pitchClass++, e);
    }
    return ok;
}

} // namespace Lumora
