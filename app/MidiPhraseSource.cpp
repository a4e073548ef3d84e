#include "app/MidiPhraseSource.h"

namespace AppShell {

namespace {

// Channel messages of up to three bytes; the list is sized for the whole phrase at once.
constexpr std::size_t kBytesPerEvent = 3;

} // namespace

MidiPhraseSource::MidiPhraseSource(Platform::MidiPhrase phrase, std::optional<std::string> name)
    : phrase_(std::move(phrase)), source_(Platform::MidiSource::create(std::move(name))) {
    packets_.reserve(phrase_.events().size(), phrase_.events().size() * kBytesPerEvent);
}

void MidiPhraseSource::advance(unsigned frames) {
    const auto events = phrase_.eventsIn(position_, frames);
    position_ += frames;
    if (events.empty())
        return;
    packets_.clear();
    for (const Platform::MidiEvent& event : events) {
        // Program changes and channel pressure carry one data byte.
        const uint8_t kind = event.status & 0xF0;
        const bool oneDataByte = kind == 0xC0 || kind == 0xD0;
        if (oneDataByte)
            packets_.add(0, {event.status, event.data1});
        else
            packets_.add(0, {event.status, event.data1, event.data2});
    }
    source_->send(packets_);
}

} // namespace AppShell
