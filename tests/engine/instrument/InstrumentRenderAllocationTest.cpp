#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <deque>
#include <new>
#include <vector>

#include "engine/instrument/iInstrument.h"
#include "engine/support/TestVoice.h"

// Counts every allocation made while counting is on, so that a test can show that rendering
// allocates nothing once render resources are allocated.
namespace {
std::atomic<bool> counting{false};
std::atomic<int> allocations{0};

void* countedAllocation(std::size_t n) {
    if (counting.load(std::memory_order_relaxed)) {
        allocations.fetch_add(1, std::memory_order_relaxed);
    }
    if (void* p = std::malloc(n == 0 ? 1 : n)) {
        return p;
    }
    throw std::bad_alloc();
}
} // namespace

void* operator new(std::size_t n) { return countedAllocation(n); }
void* operator new[](std::size_t n) { return countedAllocation(n); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

namespace Lumora {
namespace {

using Testing::TestInstrument;
using Testing::TestSetup;
using Testing::TestVoice;
using Testing::noteOff;
using Testing::noteOn;
using Testing::pedal;

TEST(InstrumentRenderAllocation, SteadyStateRenderingAllocatesNothing) {
    // The counter sees allocations at all.
    counting = true;
    auto* probe = new std::vector<int>(8);
    counting = false;
    delete probe;
    ASSERT_GE(allocations.exchange(0), 1);

    TestInstrument instrument(TestSetup{.shape = TestVoice::Shape::Sine, .releaseFrames = 700});
    instrument.allocateRenderResources(TestInstrument::kSampleRate);

    std::vector<std::vector<float>> buffers(2, std::vector<float>(4096));
    const std::vector<float*> outputs{buffers[0].data(), buffers[1].data()};
    const std::deque<MidiMessage> none;
    std::deque<MidiMessage> chord;
    for (int n = 48; n < 72; n += 2) {
        chord.push_back(noteOn(n));
    }
    std::deque<MidiMessage> release;
    for (int n = 48; n < 72; n += 4) {
        release.push_back(noteOff(n));
    }
    const std::deque<MidiMessage> mono{noteOn(60), noteOn(64), noteOff(64), noteOn(67), noteOff(60)};
    const std::deque<MidiMessage> pedalled{pedal(true), noteOn(72), noteOff(72), noteOn(72), pedal(false)};
    const std::deque<MidiMessage> bend{MidiMessage(0xE0, 0, 100), MidiMessage(0xA0, 60, 40)};

    auto block = [&](unsigned frames, const std::deque<MidiMessage>& midi) {
        instrument.audioProcess({}, outputs, frames, TestInstrument::kSampleRate, instrument.clock, midi);
    };

    counting = true;
    for (unsigned frames : {64u, 1u, 128u, 512u, 4096u}) {
        instrument.setMonoMode(iInstrument::monoMode_t::Poly);
        instrument.setMaxPolyphony(8);
        block(frames, chord); // twelve notes over a limit of eight: steals and fades
        block(frames, none);
        block(frames, release);
        instrument.setMaxPolyphony(3);
        block(frames, chord);
        block(frames, pedalled);
        block(frames, bend);
        instrument.setMonoMode(iInstrument::monoMode_t::MonoLegato);
        instrument.setPortamento(0.5f);
        block(frames, mono);
        instrument.allNoteOff();
        for (int i = 0; i < 4; ++i) {
            block(frames, none);
        }
    }
    counting = false;
    EXPECT_EQ(allocations.load(), 0);
}

} // namespace
} // namespace Lumora
