// The control-port scan: whatever way the host lays out its port values, a cycle in which none
// moved answers no, and a moved port is handed over once, with the value seen before it.

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

#include "plugin/lv2/Lv2PortScan.h"

using Lumora::Lv2::Lv2PortScan;

namespace {

constexpr std::size_t kPorts = 7;

struct Moved {
    std::size_t slot;
    float value;
    float before;
};

std::vector<Moved> takeMoved(Lv2PortScan& scan) {
    std::vector<Moved> moved;
    if (!scan.anyMoved())
        return moved;
    scan.takeMoved([&](std::size_t slot, float value, float before) { moved.push_back({slot, value, before}); });
    return moved;
}

// The host's values, kPorts of them, stride floats apart (1: one array, as Ardour keeps them;
// more: a value inside each port's record, as jalv keeps them).
struct HostValues {
    explicit HostValues(std::size_t stride) : stride(stride), storage(kPorts * stride, 0.0f) {
        for (std::size_t i = 0; i < kPorts; ++i)
            at(i) = static_cast<float>(i) * 0.25f;
    }
    float& at(std::size_t slot) { return storage[slot * stride]; }
    void connectAll(Lv2PortScan& scan) {
        for (std::size_t i = 0; i < kPorts; ++i)
            scan.connect(i, &at(i));
    }
    std::size_t stride;
    std::vector<float> storage;
};

class Lv2PortScanLayout : public ::testing::TestWithParam<std::size_t> {};

} // namespace

TEST_P(Lv2PortScanLayout, HandsOverEachMovedPortOnceWithItsFormerValue) {
    HostValues host(GetParam());
    Lv2PortScan scan(kPorts);
    host.connectAll(scan);

    // The first cycle sees every port for the first time.
    std::vector<Moved> first = takeMoved(scan);
    ASSERT_EQ(first.size(), kPorts);
    for (std::size_t i = 0; i < kPorts; ++i) {
        EXPECT_EQ(first[i].slot, i);
        EXPECT_EQ(first[i].value, host.at(i));
        EXPECT_TRUE(std::isnan(first[i].before));
    }
    EXPECT_FALSE(scan.anyMoved());

    // The first, a middle and the last port (the fold's tail when the count is odd).
    for (std::size_t slot : {std::size_t{0}, std::size_t{3}, kPorts - 1}) {
        float const before = host.at(slot);
        host.at(slot) = 0.9f;
        std::vector<Moved> moved = takeMoved(scan);
        ASSERT_EQ(moved.size(), 1u) << "slot " << slot;
        EXPECT_EQ(moved[0].slot, slot);
        EXPECT_EQ(moved[0].value, 0.9f);
        EXPECT_EQ(moved[0].before, before);
        EXPECT_FALSE(scan.anyMoved());
    }

    // Bits, not values: -0 after 0 is handed over for the caller to judge, then settles.
    host.at(0) = 0.0f;
    takeMoved(scan);
    host.at(0) = -0.0f;
    std::vector<Moved> signedZero = takeMoved(scan);
    ASSERT_EQ(signedZero.size(), 1u);
    EXPECT_EQ(signedZero[0].before, 0.0f);
    EXPECT_FALSE(scan.anyMoved());
}

INSTANTIATE_TEST_SUITE_P(HostLayouts, Lv2PortScanLayout, ::testing::Values(1u, 2u, 5u));

TEST(Lv2PortScan, ADisconnectedPortIsNotReadAndAReconnectionIsSeen) {
    HostValues host(1);
    Lv2PortScan scan(kPorts);
    host.connectAll(scan);
    takeMoved(scan);

    // One port gone breaks the one array: the others are still read.
    scan.connect(2, nullptr);
    host.at(2) = 5.0f;
    EXPECT_FALSE(scan.anyMoved());
    host.at(4) = 5.0f;
    std::vector<Moved> moved = takeMoved(scan);
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0].slot, 4u);

    // Connected again, and then to another array with other values: both are read from there.
    scan.connect(2, &host.at(2));
    moved = takeMoved(scan);
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0].slot, 2u);
    EXPECT_EQ(moved[0].value, 5.0f);

    HostValues other(1);
    other.at(6) = -1.0f;
    other.at(2) = 5.0f;
    other.at(4) = 5.0f;
    other.connectAll(scan);
    moved = takeMoved(scan);
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0].slot, 6u);
    other.at(1) = 2.0f;
    moved = takeMoved(scan);
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(moved[0].slot, 1u);
}

TEST(Lv2PortScan, SlotsBeyondThePortsAreIgnored) {
    float value = 1.0f;
    Lv2PortScan scan(2);
    scan.connect(2, &value);
    scan.connect(static_cast<std::size_t>(-1), &value);
    EXPECT_FALSE(scan.anyMoved());
    Lv2PortScan none;
    EXPECT_FALSE(none.anyMoved());
}
