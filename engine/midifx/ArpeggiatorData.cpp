#include "engine/midifx/ArpeggiatorData.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <system_error>
#include <type_traits>

#include "engine/midifx/Arpeggiator.h"

namespace Lumora {

namespace {

// Numbers in stored text are read and written with std::from_chars/std::to_chars, which
// follow the C locale whatever the process locale is.

std::string_view skipBlanks(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' ||
                               text[i] == '\v' || text[i] == '\f')) {
        ++i;
    }
    text.remove_prefix(i);
    if (text.size() > 1 && text[0] == '+' && text[1] != '-') {
        text.remove_prefix(1);
    }
    return text;
}

// The leading decimal integer of a text (blanks and a sign first, trailing text ignored),
// saturated to the range of long long.
std::optional<long long> leadingInt(std::string_view text) {
    text = skipBlanks(text);
    long long value = 0;
    auto const [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error == std::errc::result_out_of_range) {
        return text.front() == '-' ? std::numeric_limits<long long>::min()
                                   : std::numeric_limits<long long>::max();
    }
    if (error != std::errc{}) {
        return std::nullopt;
    }
    return value;
}

// The leading decimal float of a text; not-a-number does not count as a value.
std::optional<float> leadingFloat(std::string_view text) {
    text = skipBlanks(text);
    double value = 0.0;
    auto const [end, error] = std::from_chars(text.data(), text.data() + text.size(), value,
                                              std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        // Too small to hold reads as 0, too large as a huge number of its sign; the caller
        // clamps either into range.
        std::string_view const number(text.data(), static_cast<std::size_t>(end - text.data()));
        std::size_t const exponent = number.find_first_of("eE");
        bool const tiny = exponent != std::string_view::npos && exponent + 1 < number.size() &&
                          number[exponent + 1] == '-';
        value = tiny ? 0.0 : (number.front() == '-' ? -1.0e30 : 1.0e30);
    } else if (error != std::errc{} || std::isnan(value)) {
        return std::nullopt;
    }
    return static_cast<float>(std::clamp(value, -1.0e30, 1.0e30));
}

int clampInt(long long value, int low, int high) {
    return static_cast<int>(std::clamp<long long>(value, low, high));
}

// Up to six significant digits without trailing zeros ("%g").
void appendFloat(std::string& text, float value) {
    char buffer[32];
    auto const result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 6);
    text.append(buffer, result.ptr);
}

void appendInt(std::string& text, long long value) {
    char buffer[24];
    auto const result = std::to_chars(buffer, buffer + sizeof buffer, value);
    text.append(buffer, result.ptr);
}

// Splits a text into lines at line feeds; a last line without its line feed counts too.
class LineReader {
public:
    explicit LineReader(std::string_view text) : rest_(text) {}
    std::optional<std::string_view> next() {
        if (rest_.empty()) {
            return std::nullopt;
        }
        std::size_t const end = rest_.find('\n');
        std::string_view const line = rest_.substr(0, end);
        rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
        return line;
    }

private:
    std::string_view rest_;
};

enum class Field { Version, Sync, Swing, Style, Octaves, Rate, Gate, StepLength, PatternLength,
                   StepLengthMinus2, PatternLengthMinus2, Accent, Staccato };

constexpr Field kHeaderV1[] = {Field::Version, Field::Style, Field::Octaves, Field::Rate, Field::Gate,
                               Field::StepLengthMinus2, Field::PatternLengthMinus2, Field::Accent,
                               Field::Staccato};
constexpr Field kHeaderV2[] = {Field::Version, Field::Sync, Field::Swing, Field::Style, Field::Octaves,
                               Field::Rate, Field::Gate, Field::StepLength, Field::PatternLength,
                               Field::Accent, Field::Staccato};

bool isFloatField(Field field) {
    return field == Field::Swing || field == Field::Gate || field == Field::Accent || field == Field::Staccato;
}

} // namespace

void ArpeggiatorData::Step::reset() {
    active = true;
    transpose = 0;
    accent = false;
    staccato = false;
    portamento = false;
    program = 0;
}

void ArpeggiatorData::initialize() {
    syncToKeyOn = false;
    swing = 0.0f;
    style = 0;
    octaves = 0;
    rate = 2;
    gate = 0.5f;
    stepLength = 16;
    patternLength = 8;
    accentAmount = 0.5f;
    staccatoAmount = 0.5f;
    for (Step& step : steps) {
        step.reset();
    }
}

void ArpeggiatorData::setupArpeggiator(MIDI::Arpeggiator& arpeggiator) const {
    using MIDI::Arpeggiator;
    arpeggiator.setSyncToKeyOn(syncToKeyOn);
    unsigned const s = style;
    arpeggiator.setStyle(s >= 1 && s <= 5 ? static_cast<Arpeggiator::ARPEGGIO_STYLE>(s + 1) : Arpeggiator::Up);
    unsigned const r = rate;
    arpeggiator.setRate(r == 0 ? MIDI::QuarterNote : r == 1 ? MIDI::EighthNote : MIDI::SixteenthNote);
    arpeggiator.setOctaveRange(std::min(octaves.load(), 3u));
    arpeggiator.setDuration(std::clamp(gate.load(), 0.0f, 1.0f));
    arpeggiator.setStepLength(stepLength);
    arpeggiator.setPatternLength(patternLength);

    // One snapshot of the flags, so that every step sees the same program.
    unsigned const length = arpeggiator.stepLength();
    std::array<bool, kStepCount> active{};
    for (unsigned i = 0; i < kStepCount; ++i) {
        active[i] = steps[i].active;
    }
    float const accentOff = accentAmount;
    float const staccatoOff = staccatoAmount;
    for (unsigned i = 0; i < length; ++i) {
        Step const& from = steps[i % kStepCount];
        Arpeggiator::Step& to = arpeggiator.step(i);
        to.setActive(active[i % kStepCount]);
        to.setVelocity(from.accent ? 1.0f : 1.0f - accentOff);
        if (from.staccato) {
            to.setDuration(1.0f - staccatoOff);
        } else {
            // Held until just before the next active step (not wrapping to step 0).
            unsigned j = i + 1;
            while (j < length && !active[j % kStepCount]) {
                ++j;
            }
            to.setDuration(static_cast<float>(j - i) - 0.01f);
        }
        to.setTranspose(from.transpose);
        to.setProgram(from.program);
    }
}

std::string ArpeggiatorData::serialize() const {
    std::string text;
    text.reserve(256);
    auto line = [&text](auto value) {
        if constexpr (std::is_same_v<decltype(value), float>) {
            appendFloat(text, value);
        } else {
            appendInt(text, static_cast<long long>(value));
        }
        text += '\n';
    };
    line(2);
    line(syncToKeyOn ? 1 : 0);
    line(swing.load());
    line(style.load());
    line(octaves.load());
    line(rate.load());
    line(gate.load());
    line(stepLength.load());
    line(patternLength.load());
    line(accentAmount.load());
    line(staccatoAmount.load());
    for (Step const& step : steps) {
        appendInt(text, step.active ? 1 : 0);
        text += ',';
        appendInt(text, step.transpose);
        text += ',';
        appendInt(text, step.accent ? 1 : 0);
        text += ',';
        appendInt(text, step.staccato ? 1 : 0);
        text += ',';
        appendInt(text, step.portamento ? 1 : 0);
        text += ',';
        appendInt(text, step.program);
        text += '\n';
    }
    return text;
}

bool ArpeggiatorData::deserialize(std::string_view text) {
    std::optional<std::string_view> const first = LineReader(text).next();
    if (!first) {
        return false;
    }
    std::optional<long long> const version = leadingInt(*first);
    if (version == 1) {
        return deserialize_v1(text);
    }
    if (version == 2) {
        return deserialize_v2(text);
    }
    return false;
}

namespace {

// Reads the header lines of one version into the record; false when a value does not
// convert or the version line does not match. Sets *complete when the text ended first.
template <std::size_t N>
bool readHeader(ArpeggiatorData& data, LineReader& lines, Field const (&fields)[N], int version,
                bool& textEnded) {
    textEnded = false;
    for (Field const field : fields) {
        std::optional<std::string_view> const line = lines.next();
        if (!line) {
            textEnded = true;
            return true;
        }
        std::optional<long long> integer;
        std::optional<float> real;
        if (isFloatField(field)) {
            real = leadingFloat(*line);
            if (!real) {
                return false;
            }
        } else {
            integer = leadingInt(*line);
            if (!integer) {
                return false;
            }
        }
        switch (field) {
        case Field::Version:
            if (*integer != version) {
                return false;
            }
            break;
        case Field::Sync: data.syncToKeyOn = *integer != 0; break;
        case Field::Swing: data.swing = std::clamp(*real, 0.0f, 1.0f); break;
        case Field::Style: data.style = static_cast<unsigned>(clampInt(*integer, 0, 5)); break;
        case Field::Octaves: data.octaves = static_cast<unsigned>(clampInt(*integer, 0, 2)); break;
        case Field::Rate: data.rate = static_cast<unsigned>(clampInt(*integer, 0, 2)); break;
        case Field::Gate: data.gate = std::clamp(*real, 0.0f, 1.0f); break;
        case Field::StepLength: data.stepLength = static_cast<unsigned>(clampInt(*integer, 2, 16)); break;
        case Field::PatternLength: data.patternLength = static_cast<unsigned>(clampInt(*integer, 2, 16)); break;
        case Field::StepLengthMinus2: data.stepLength = static_cast<unsigned>(clampInt(*integer, 0, 14) + 2); break;
        case Field::PatternLengthMinus2:
            data.patternLength = static_cast<unsigned>(clampInt(*integer, 0, 14) + 2);
            break;
        case Field::Accent: data.accentAmount = std::clamp(*real, 0.0f, 1.0f); break;
        case Field::Staccato: data.staccatoAmount = std::clamp(*real, 0.0f, 1.0f); break;
        }
    }
    return true;
}

// One step line: the step is reset, then each field present sets its value.
bool readStep(ArpeggiatorData::Step& step, std::string_view line) {
    step.reset();
    for (int field = 0; field < 6; ++field) {
        std::size_t const comma = line.find(',');
        std::optional<long long> const value = leadingInt(line.substr(0, comma));
        if (!value) {
            return false;
        }
        switch (field) {
        case 0: step.active = *value != 0; break;
        case 1: step.transpose = clampInt(*value, 0, 12); break;
        case 2: step.accent = *value != 0; break;
        case 3: step.staccato = *value != 0; break;
        case 4: step.portamento = *value != 0; break;
        case 5: step.program = clampInt(*value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()); break;
        }
        if (comma == std::string_view::npos) {
            break;
        }
        line.remove_prefix(comma + 1);
    }
    return true;
}

template <std::size_t N>
bool readText(ArpeggiatorData& data, std::string_view text, Field const (&header)[N], int version) {
    LineReader lines(text);
    bool textEnded = false;
    if (!readHeader(data, lines, header, version, textEnded)) {
        return false;
    }
    if (textEnded) {
        return true;
    }
    // Lines beyond the last step have no step to fill and are ignored.
    for (ArpeggiatorData::Step& step : data.steps) {
        std::optional<std::string_view> const line = lines.next();
        if (!line) {
            return true;
        }
        if (!readStep(step, *line)) {
            return false;
        }
    }
    return true;
}

} // namespace

bool ArpeggiatorData::deserialize_v1(std::string_view text) { return readText(*this, text, kHeaderV1, 1); }

bool ArpeggiatorData::deserialize_v2(std::string_view text) { return readText(*this, text, kHeaderV2, 2); }

} // namespace Lumora
