#include "platform/midi/AlsaSeqEvent.h"

#include <gtest/gtest.h>

#include <cstring>

using Platform::MidiBytes;
using Platform::midiBytesOf;

namespace {

snd_seq_event_t noteEvent(int type, int channel, int note, int velocity) {
    snd_seq_event_t e;
    std::memset(&e, 0, sizeof e);
    e.type = static_cast<snd_seq_event_type_t>(type);
    e.data.note.channel = static_cast<unsigned char>(channel);
    e.data.note.note = static_cast<unsigned char>(note);
    e.data.note.velocity = static_cast<unsigned char>(velocity);
    return e;
}

snd_seq_event_t controlEvent(int type, int channel, unsigned param, int value) {
    snd_seq_event_t e;
    std::memset(&e, 0, sizeof e);
    e.type = static_cast<snd_seq_event_type_t>(type);
    e.data.control.channel = static_cast<unsigned char>(channel);
    e.data.control.param = param;
    e.data.control.value = value;
    return e;
}

} // namespace

TEST(AlsaSeqEvent, TurnsChannelAndRealTimeEventsIntoTheirMessages) {
    struct Case {
        const char* what;
        snd_seq_event_t event;
        MidiBytes expected;
    };
    const Case cases[] = {
        {"note on", noteEvent(SND_SEQ_EVENT_NOTEON, 3, 60, 100), {0x93, 60, 100}},
        // The message type, not the translation, turns a silent note-on into a note-off.
        {"note on at velocity 0", noteEvent(SND_SEQ_EVENT_NOTEON, 0, 60, 0), {0x90, 60, 0}},
        {"note off", noteEvent(SND_SEQ_EVENT_NOTEOFF, 15, 61, 64), {0x8F, 61, 64}},
        {"key pressure", noteEvent(SND_SEQ_EVENT_KEYPRESS, 1, 62, 30), {0xA1, 62, 30}},
        {"controller", controlEvent(SND_SEQ_EVENT_CONTROLLER, 2, 7, 99), {0xB2, 7, 99}},
        {"controller value clamped", controlEvent(SND_SEQ_EVENT_CONTROLLER, 0, 200, 1000), {0xB0, 127, 127}},
        {"program change", controlEvent(SND_SEQ_EVENT_PGMCHANGE, 4, 0, 5), {0xC4, 5, 0}},
        {"channel pressure", controlEvent(SND_SEQ_EVENT_CHANPRESS, 0, 0, 77), {0xD0, 77, 0}},
        {"pitch bend centre", controlEvent(SND_SEQ_EVENT_PITCHBEND, 0, 0, 0), {0xE0, 0x00, 0x40}},
        {"pitch bend lowest", controlEvent(SND_SEQ_EVENT_PITCHBEND, 5, 0, -8192), {0xE5, 0x00, 0x00}},
        {"pitch bend highest", controlEvent(SND_SEQ_EVENT_PITCHBEND, 0, 0, 8191), {0xE0, 0x7F, 0x7F}},
        {"pitch bend beyond the range", controlEvent(SND_SEQ_EVENT_PITCHBEND, 0, 0, 20000), {0xE0, 0x7F, 0x7F}},
        {"clock", controlEvent(SND_SEQ_EVENT_CLOCK, 0, 0, 0), {0xF8, 0, 0}},
        {"start", controlEvent(SND_SEQ_EVENT_START, 0, 0, 0), {0xFA, 0, 0}},
        {"continue", controlEvent(SND_SEQ_EVENT_CONTINUE, 0, 0, 0), {0xFB, 0, 0}},
        {"stop", controlEvent(SND_SEQ_EVENT_STOP, 0, 0, 0), {0xFC, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto bytes = midiBytesOf(c.event);
        ASSERT_TRUE(bytes.has_value());
        EXPECT_EQ(bytes->status, c.expected.status);
        EXPECT_EQ(bytes->data1, c.expected.data1);
        EXPECT_EQ(bytes->data2, c.expected.data2);
    }
}

TEST(AlsaSeqEvent, AnswersNothingForEventsThatAreNoChannelOrRealTimeMessage) {
    const int types[] = {SND_SEQ_EVENT_SYSEX,      SND_SEQ_EVENT_PORT_START,   SND_SEQ_EVENT_PORT_EXIT,
                         SND_SEQ_EVENT_CLIENT_START, SND_SEQ_EVENT_PORT_SUBSCRIBED, SND_SEQ_EVENT_SONGPOS,
                         SND_SEQ_EVENT_CONTROL14,  SND_SEQ_EVENT_NONREGPARAM, SND_SEQ_EVENT_SENSING,
                         SND_SEQ_EVENT_NOTE};
    for (int type : types) {
        SCOPED_TRACE(type);
        EXPECT_FALSE(midiBytesOf(controlEvent(type, 0, 1, 2)).has_value());
    }
}
