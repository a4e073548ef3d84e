// The ALSA fallback's MIDI path allocates nothing once running: neither the reader's delivery of
// an event into the queue nor the ALSA driver's render thread taking it into its blocks.
#include "common/CountingAllocator.h"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstring>
#include <thread>

#include <alsa/asoundlib.h>

#include "platform/audio/AlsaDriver.h"
#include "platform/audio/OutputUnit.h"
#include "platform/midi/AlsaSequencer.h"

using namespace Platform;

TEST(AlsaMidiAllocation, DeliveringAndRenderingSequencerEventsAllocatesNothing) {
    AlsaSequencer sequencer;   // the reader's delivery, driven by hand (no device needed)
    OutputUnit unit;
    ASSERT_TRUE(unit.setSampleRate(48000.0));
    ASSERT_TRUE(unit.setMaximumFramesPerSlice(64));
    std::array<uint8_t, 512> notes{};
    std::atomic<std::size_t> heard{0};
    ASSERT_TRUE(unit.setRenderCallback([&](const OutputUnit::RenderCall& call) {
        for (const MidiEvent& e : call.midi) {
            const std::size_t n = heard.load(std::memory_order_relaxed);
            if (n < notes.size()) notes[n] = e.data1;
            heard.store(n + 1, std::memory_order_release);
        }
        return true;
    }));
    ASSERT_TRUE(unit.initialize());
    ASSERT_TRUE(unit.start());
    AlsaDriver driver(unit);
    driver.setMidiInput(&sequencer.queue());
    std::string error;
    ASSERT_TRUE(driver.open("null", &error)) << error;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));   // past the driver's first periods

    snd_seq_event_t event;
    std::memset(&event, 0, sizeof event);
    constexpr int kEvents = 300;
    counting = true;
    for (int i = 0; i < kEvents; ++i) {
        snd_seq_ev_set_noteon(&event, 0, i % 128, 100);
        sequencer.deliver(event, midiHostTimeNow());
        if (i % 30 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (heard.load(std::memory_order_acquire) < static_cast<std::size_t>(kEvents) &&
           std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    counting = false;
    driver.close();

    EXPECT_EQ(allocations.load(), 0);
    ASSERT_EQ(heard.load(), static_cast<std::size_t>(kEvents));
    for (int i = 0; i < kEvents; ++i) ASSERT_EQ(notes[static_cast<std::size_t>(i)], i % 128) << i;
}

// A source that left asks for all notes to be released: the request and the period that plays it
// allocate nothing either.
TEST(AlsaMidiAllocation, ReleasingAllNotesAllocatesNothing) {
    OutputUnit unit;
    ASSERT_TRUE(unit.setSampleRate(48000.0));
    ASSERT_TRUE(unit.setMaximumFramesPerSlice(64));
    std::atomic<int> releases{0};
    ASSERT_TRUE(unit.setRenderCallback([&](const OutputUnit::RenderCall& call) {
        for (const MidiEvent& e : call.midi)
            if ((e.status & 0xF0) == 0xB0 && e.data1 == 123) releases.fetch_add(1, std::memory_order_release);
        return true;
    }));
    ASSERT_TRUE(unit.initialize());
    ASSERT_TRUE(unit.start());
    AlsaDriver driver(unit);
    std::string error;
    ASSERT_TRUE(driver.open("null", &error)) << error;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));   // past the driver's first periods

    allocations = 0;
    counting = true;
    for (int request = 1; request <= 3; ++request) {
        driver.releaseAllNotes();
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (releases.load(std::memory_order_acquire) < 16 * request && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    counting = false;
    driver.close();

    EXPECT_EQ(allocations.load(), 0);
    EXPECT_EQ(releases.load(), 48);
}
