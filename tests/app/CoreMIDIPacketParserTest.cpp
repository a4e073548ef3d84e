#include "app/CoreMIDIObserver.h"
#include "app/CoreMIDIPacketParser.h"

#include <gtest/gtest.h>

#include <array>
#include <random>
#include <vector>

using Lumora::CoreMIDI::parsePacket;

namespace {

using Message = std::array<int, 4>;   // status, data1, data2, kind

struct Recorder : Lumora::CoreMIDI::Observer {
    void didChangeSources(int) override {}
    void didReceiveMidi(int status, int data1, int data2, int kind) override {
        messages.push_back({status, data1, data2, kind});
    }
    std::vector<Message> messages;
};

std::vector<Message> parse(const std::vector<uint8_t>& bytes, int kind = 0) {
    Recorder r;
    // Exactly sized on the heap, so that a read past the end is caught by the sanitizer.
    std::vector<uint8_t> packet(bytes);
    parsePacket(packet, kind, r);
    return r.messages;
}

struct Case {
    const char* what;
    std::vector<uint8_t> packet;
    std::vector<Message> expected;
};

} // namespace

TEST(CoreMIDIPacketParser, SplitsPacketsWithoutRunningStatus) {
    const std::vector<Case> cases{
        {"two notes", {0x90, 0x3C, 0x64, 0x80, 0x3C, 0x00}, {{0x90, 0x3C, 0x64, 0}, {0x80, 0x3C, 0x00, 0}}},
        {"program change then note", {0xC0, 0x05, 0x90, 0x3C, 0x64}, {{0xC0, 0x05, 0, 0}, {0x90, 0x3C, 0x64, 0}}},
        {"no running status", {0x90, 0x3C, 0x64, 0x3E, 0x64}, {{0x90, 0x3C, 0x64, 0}}},
        {"two-byte message takes a stray byte", {0xC0, 0x05, 0x40}, {{0xC0, 0x05, 0x40, 0}}},
        {"system exclusive", {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}, {}},
        {"clock", {0xF8}, {{0xF8, 0, 0, 0}}},
        {"start continue stop", {0xFA, 0xFB, 0xFC}, {{0xFA, 0, 0, 0}, {0xFB, 0, 0, 0}, {0xFC, 0, 0, 0}}},
        {"active sensing and others", {0xFE, 0xF9, 0xFD, 0xFF, 0xF1, 0x05, 0xF2, 0x01, 0x02, 0xF6}, {}},
        {"note cut short", {0x90, 0x3C}, {{0x90, 0x3C, 0, 0}}},
        {"controller cut short", {0xB0, 0x07}, {{0xB0, 0x07, 0, 0}}},
        {"lone status", {0x90}, {}},
        {"data only", {0x3C, 0x64, 0x7F}, {}},
        {"empty", {}, {}},
        {"clock inside a note", {0x90, 0xF8, 0x3C, 0x64}, {{0xF8, 0, 0, 0}}},
        {"clock after a note's first byte", {0x90, 0x3C, 0xF8}, {{0xF8, 0, 0, 0}}},
        {"pressure before a clock", {0xD0, 0x40, 0xF8}, {{0xD0, 0x40, 0, 0}, {0xF8, 0, 0, 0}}},
        {"status before the last byte", {0x90, 0xF8}, {{0xF8, 0, 0, 0}}},
        {"note inside system exclusive", {0xF0, 0x01, 0x90, 0x3C, 0x64, 0xF7}, {{0x90, 0x3C, 0x64, 0}}},
        {"pitch bend", {0xE3, 0x00, 0x40}, {{0xE3, 0x00, 0x40, 0}}},
    };
    for (const auto& c : cases) EXPECT_EQ(parse(c.packet), c.expected) << c.what;
}

TEST(CoreMIDIPacketParser, EachPacketStandsAloneAndCarriesItsKind) {
    Recorder r;
    const std::vector<uint8_t> first{0x90, 0x3C, 0x64};
    const std::vector<uint8_t> second{0x3E, 0x64};   // running status across packets: skipped
    parsePacket(first, 1, r);
    parsePacket(second, 1, r);
    EXPECT_EQ(r.messages, (std::vector<Message>{{0x90, 0x3C, 0x64, 1}}));
}

TEST(CoreMIDIPacketParser, RandomBytesGiveOnlyWellFormedMessages) {
    std::mt19937 random(99);
    for (int round = 0; round < 5000; ++round) {
        std::vector<uint8_t> bytes(random() % 12);
        for (auto& b : bytes) b = uint8_t(random());
        for (const Message& m : parse(bytes, 0)) {
            ASSERT_GE(m[0], 0x80);
            ASSERT_LT(m[0], 0x100);
            ASSERT_LT(m[1], 0x80);
            ASSERT_LT(m[2], 0x80);
        }
    }
}
