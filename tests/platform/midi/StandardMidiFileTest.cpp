#include "platform/midi/StandardMidiFile.h"

#include "support/SmfBuilder.h"

#include <gtest/gtest.h>

#include <random>

using Platform::StandardMidiFile;
using MidiTest::SmfBuilder;

namespace {

std::vector<uint8_t> bytesOf(const StandardMidiFile& smf, std::size_t index) {
    auto span = smf.bytes(smf.events()[index]);
    return {span.begin(), span.end()};
}

} // namespace

TEST(StandardMidiFile, FormatZeroExpandsRunningStatusAndFollowsTempoChanges) {
    SmfBuilder b(0, 480);
    b.track()
        .event(0, {0x90, 60, 100})
        .event(0, {64, 90})            // running status: another note-on
        .event(480, {60, 0})           // still running status, velocity 0
        .tempo(0, 250000)              // 240 bpm from tick 480 on
        .event(480, {0x80, 64, 0})
        .event(0, {0xC1, 7})
        .event(240, {8})               // running status of a one-byte message
        .end(0);
    std::string error;
    auto smf = StandardMidiFile::parse(b.bytes(), &error);
    ASSERT_TRUE(smf) << error;
    EXPECT_EQ(smf->format(), 0);
    EXPECT_EQ(smf->numberOfTracks(), 1);
    ASSERT_EQ(smf->events().size(), 6u);

    const std::vector<std::vector<uint8_t>> expected{
        {0x90, 60, 100}, {0x90, 64, 90}, {0x90, 60, 0}, {0x80, 64, 0}, {0xC1, 7}, {0xC1, 8}};
    const double times[] = {0.0, 0.0, 0.5, 0.75, 0.75, 0.875};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(bytesOf(*smf, i), expected[i]) << i;
        EXPECT_DOUBLE_EQ(smf->events()[i].seconds, times[i]) << i;
    }
    EXPECT_DOUBLE_EQ(smf->durationSeconds(), 0.875);
    EXPECT_EQ(smf->longestEvent(), 3u);
}

TEST(StandardMidiFile, FormatOneMergesTracksAndAppliesTheTempoTrackToAll) {
    SmfBuilder b(1, 96);
    b.track().tempo(0, 1000000).tempo(96, 500000).end(0);   // 60 bpm, then 120 bpm from beat 1
    b.track().event(0, {0x90, 48, 80}).event(192, {0x80, 48, 0}).end(0);
    b.track().event(0, {0x91, 72, 80}).event(96, {0x81, 72, 0}).end(0);
    std::string error;
    auto smf = StandardMidiFile::parse(b.bytes(), &error);
    ASSERT_TRUE(smf) << error;
    EXPECT_EQ(smf->numberOfTracks(), 3);
    ASSERT_EQ(smf->events().size(), 4u);
    // Ties keep track order; tick 96 is 1 s, tick 192 is 1.5 s.
    EXPECT_EQ(bytesOf(*smf, 0), (std::vector<uint8_t>{0x90, 48, 80}));
    EXPECT_EQ(bytesOf(*smf, 1), (std::vector<uint8_t>{0x91, 72, 80}));
    EXPECT_EQ(bytesOf(*smf, 2), (std::vector<uint8_t>{0x81, 72, 0}));
    EXPECT_EQ(bytesOf(*smf, 3), (std::vector<uint8_t>{0x80, 48, 0}));
    EXPECT_EQ(smf->events()[1].track, 2);
    EXPECT_DOUBLE_EQ(smf->events()[2].seconds, 1.0);
    EXPECT_DOUBLE_EQ(smf->events()[3].seconds, 1.5);
    ASSERT_EQ(smf->tempoChanges().size(), 2u);
    EXPECT_EQ(smf->tempoChanges()[1].tick, 96u);
}

TEST(StandardMidiFile, SystemExclusiveIsKeptMetaTextIsSkippedAndUnknownChunksIgnored) {
    SmfBuilder b(0, 480);
    b.track()
        .event(0, {0xFF, 0x03, 0x04, 'l', 'e', 'a', 'd'})
        .event(0, {0xF0, 0x04, 0x7E, 0x7F, 0x09, 0xF7})
        .event(10, {0xB0, 7, 100})
        .end(0);
    auto data = b.bytes();
    data.insert(data.end(), {'X', 'Y', 'Z', 'W', 0, 0, 0, 2, 1, 2});
    auto smf = StandardMidiFile::parse(data);
    ASSERT_TRUE(smf);
    ASSERT_EQ(smf->events().size(), 2u);
    EXPECT_EQ(bytesOf(*smf, 0), (std::vector<uint8_t>{0xF0, 0x7E, 0x7F, 0x09, 0xF7}));
    EXPECT_EQ(bytesOf(*smf, 1), (std::vector<uint8_t>{0xB0, 7, 100}));
}

TEST(StandardMidiFile, SmpteDivisionCountsRealTimeAndIgnoresTempo) {
    // 25 frames per second, 40 ticks per frame: 1000 ticks a second.
    SmfBuilder b(0, uint16_t((uint8_t(-25) << 8) | 40));
    b.track().tempo(0, 250000).event(500, {0x90, 60, 1}).end(0);
    auto smf = StandardMidiFile::parse(b.bytes());
    ASSERT_TRUE(smf);
    ASSERT_EQ(smf->events().size(), 1u);
    EXPECT_DOUBLE_EQ(smf->events()[0].seconds, 0.5);
}

TEST(StandardMidiFile, ZeroTempoIsIgnored) {
    SmfBuilder b(0, 100);
    b.track().tempo(0, 0).event(100, {0x90, 60, 1}).end(0);
    auto smf = StandardMidiFile::parse(b.bytes());
    ASSERT_TRUE(smf);
    EXPECT_DOUBLE_EQ(smf->events()[0].seconds, 0.5);
}

struct MalformedCase {
    const char* what;
    std::vector<uint8_t> data;
};

TEST(StandardMidiFile, MalformedFilesFailWithAMessage) {
    auto trackWith = [](std::initializer_list<uint8_t> raw, uint16_t format = 0, int declared = -1) {
        SmfBuilder b(format, 96);
        b.track().raw(raw);
        return b.bytes(declared);
    };
    auto cut = [](std::vector<uint8_t> d, std::size_t n) {
        d.resize(d.size() - n);
        return d;
    };
    SmfBuilder good(0, 96);
    good.track().event(0, {0x90, 60, 100}).end(0);
    std::vector<uint8_t> longChunk = good.bytes();
    longChunk[21] += 10;   // the track's length now runs past the file

    const std::vector<MalformedCase> cases{
        {"empty", {}},
        {"wrong magic", {'R', 'I', 'F', 'F', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96}},
        {"short header", {'M', 'T', 'h', 'd', 0, 0, 0, 4, 0, 0, 0, 1}},
        {"header longer than file", {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0}},
        {"format 2", trackWith({0x00, 0xFF, 0x2F, 0x00}, 2)},
        {"division zero", [] { SmfBuilder b(0, 0); b.track().end(); return b.bytes(); }()},
        {"bad SMPTE rate", [] { SmfBuilder b(0, 0xE928); b.track().end(); return b.bytes(); }()},
        {"chunk past end", longChunk},
        {"missing track", trackWith({0x00, 0xFF, 0x2F, 0x00}, 1, 2)},
        {"data byte first", trackWith({0x00, 0x3C, 0x40})},
        {"note cut at chunk end", trackWith({0x00, 0x90, 0x3C})},
        {"status inside note", trackWith({0x00, 0x90, 0x3C, 0x80, 0x40})},
        {"time without event", trackWith({0x00, 0x90, 0x3C, 0x40, 0x81})},
        {"time too long", trackWith({0x81, 0x81, 0x81, 0x81, 0x00, 0x90, 0x3C, 0x40})},
        {"meta past chunk", trackWith({0x00, 0xFF, 0x01, 0x7F, 'a'})},
        {"sysex past chunk", trackWith({0x00, 0xF0, 0x10, 0x01, 0xF7})},
        {"realtime in file", trackWith({0x00, 0xF8})},
        {"undefined system status", trackWith({0x00, 0xF4})},
        {"file cut inside track", cut(good.bytes(), 2)},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(StandardMidiFile::parse(c.data, &error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }
}

TEST(StandardMidiFile, EveryPrefixAndRandomCorruptionIsReadSafely) {
    SmfBuilder b(1, 480);
    b.track().tempo(0, 400000).event(0, {0xFF, 0x03, 0x02, 'h', 'i'}).end(0);
    b.track().event(0, {0x90, 60, 100}).event(10, {62, 100}).event(5, {0xF0, 0x02, 0x01, 0xF7})
        .event(100, {0xE0, 0x00, 0x40}).end(0);
    const auto data = b.bytes();
    ASSERT_TRUE(StandardMidiFile::parse(data));
    for (std::size_t n = 0; n < data.size(); ++n) {
        // A heap copy of exactly n bytes, so that any read past it is caught by the sanitizer.
        std::vector<uint8_t> prefix(data.begin(), data.begin() + n);
        (void)StandardMidiFile::parse(prefix);
    }
    std::mt19937 random(1234);
    for (int round = 0; round < 2000; ++round) {
        auto corrupt = data;
        const int flips = 1 + round % 4;
        for (int i = 0; i < flips; ++i) corrupt[random() % corrupt.size()] = uint8_t(random());
        auto smf = StandardMidiFile::parse(corrupt);
        if (!smf) continue;
        for (const auto& e : smf->events()) {
            ASSERT_GT(e.length, 0u);
            ASSERT_TRUE(e.seconds >= 0);
            ASSERT_LE(smf->bytes(e).size(), e.length);
        }
    }
}

TEST(StandardMidiFile, ReadsAFileAndReportsAMissingOne) {
    std::string error;
    EXPECT_FALSE(StandardMidiFile::read("/nonexistent/dir/file.mid", &error));
    EXPECT_NE(error.find("cannot open"), std::string::npos);
}
