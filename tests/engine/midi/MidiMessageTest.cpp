#include <cmath>

#include <gtest/gtest.h>

#include "engine/midi/MidiMessage.h"

using Lumora::MidiMessage;
using Lumora::NoteNumberToHz;

TEST(MidiMessage, ThreeFieldFormClampsAndTurnsSilentNoteOnIntoNoteOff) {
    struct Case { int status, d1, d2; int wantStatus, wantD1, wantD2; };
    const Case cases[] = {
        {0x93, 60, 0, 0x83, 60, 0},      // note-on velocity 0 -> note-off, same channel
        {0x93, 60, 1, 0x93, 60, 1},
        {0x90, 300, -5, 0x80, 255, 0},   // data clamped first, then velocity 0 seen
        {0xB0, -5, 300, 0xB0, 0, 255},
        {0x1FF, 1, 2, 0xFF, 1, 2},       // status clamped to 255: a system message
        {-1, 1, 2, 0x00, 1, 2},
        {0xF8, 0, 0, 0xF8, 0, 0},        // system messages never become note-offs
        {0x80, 60, 0, 0x80, 60, 0},
    };
    for (const Case& c : cases) {
        const MidiMessage m(c.status, c.d1, c.d2);
        EXPECT_EQ(m.status(), c.wantStatus) << std::hex << c.status;
        EXPECT_EQ(m.data1(), c.wantD1) << std::hex << c.status;
        EXPECT_EQ(m.data2(), c.wantD2) << std::hex << c.status;
    }
}

TEST(MidiMessage, ChannelFormPutsTheClampedChannelIntoTheStatus) {
    struct Case { int status, channel, d1, d2; int wantStatus, wantD1, wantD2; };
    const Case cases[] = {
        {0x90, 20, 60, 100, 0x9F, 60, 100},
        {0x90, -3, 60, 100, 0x90, 60, 100},
        {0x97, 2, 60, 100, 0x92, 60, 100},   // channel bits of the status are replaced
        {0x90, 5, 60, 0, 0x85, 60, 0},
        {0xB0, 1, 123, 0, 0xB1, 123, 0},
        {0xC0, 15, 500, -1, 0xCF, 255, 0},
    };
    for (const Case& c : cases) {
        const MidiMessage m(c.status, c.channel, c.d1, c.d2);
        EXPECT_EQ(m.status(), c.wantStatus) << c.channel;
        EXPECT_EQ(m.data1(), c.wantD1);
        EXPECT_EQ(m.data2(), c.wantD2);
        EXPECT_EQ(m.channel(), c.wantStatus & 0x0F);
    }
}

TEST(MidiMessage, KindClassifiesChannelAndSystemMessages) {
    EXPECT_EQ(MidiMessage(0x9A, 1, 1).kind(), 0x90);
    EXPECT_EQ(MidiMessage(0xB3, 1, 1).kind(), 0xB0);
    EXPECT_EQ(MidiMessage(0xF8, 0, 0).kind(), 0xF8);
    EXPECT_EQ(MidiMessage(0xFA, 0, 0).kind(), 0xFA);
    EXPECT_TRUE(MidiMessage(0xFC, 0, 0).isSystem());
    EXPECT_FALSE(MidiMessage(0xEF, 0, 0).isSystem());
}

TEST(MidiMessage, PitchBendConversion) {
    struct Case { int status, d1, d2; float bend; };
    const Case cases[] = {
        {0xE0, 0, 64, 0.0f},
        {0xE0, 0, 0, -1.0f},
        {0xE5, 127, 127, 8191.0f / 8192.0f},
        {0xE0, 0, 96, 0.5f},
        {0x90, 0, 64, 0.0f},   // not a pitch bend
        {0xB0, 127, 127, 0.0f},
    };
    for (const Case& c : cases) {
        EXPECT_FLOAT_EQ(MidiMessage(c.status, c.d1, c.d2).toPitchBend(), c.bend)
            << std::hex << c.status << " " << c.d1 << " " << c.d2;
    }
}

TEST(NoteNumberToHz, TableFromNoteZeroBySemitoneSteps) {
    EXPECT_FLOAT_EQ(NoteNumberToHz(0), 8.175798915636872f);
    EXPECT_NEAR(NoteNumberToHz(69), 440.0f, 1e-3f);
    EXPECT_NEAR(NoteNumberToHz(60), 261.6256f, 1e-3f);
    EXPECT_NEAR(NoteNumberToHz(81) / NoteNumberToHz(69), 2.0f, 1e-5f);
    // Each entry is the previous one times the semitone ratio, in double precision.
    double expected = 8.175798915636872;
    for (int note = 1; note <= 255; ++note) {
        expected *= 1.059463094359;
        EXPECT_EQ(NoteNumberToHz(note), static_cast<float>(expected)) << note;
    }
    EXPECT_EQ(NoteNumberToHz(-7), NoteNumberToHz(0));
    EXPECT_EQ(NoteNumberToHz(1000), NoteNumberToHz(255));
    EXPECT_TRUE(std::isfinite(NoteNumberToHz(255)));
}
