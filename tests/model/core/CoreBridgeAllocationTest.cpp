#include <atomic>
#include <cstdlib>
#include <new>

#include <gtest/gtest.h>

#include "engine/synth/SynthCommonParameters.h"
#include "model/support/ModelTestSupport.h"

// Counts every allocation of this program while counting is switched on.
namespace {
std::atomic<bool> counting{false};
std::atomic<long> allocations{0};
} // namespace

[[gnu::noinline]] void* operator new(std::size_t size) {
    if (counting.load(std::memory_order_relaxed))
        allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
[[gnu::noinline]] void* operator new(std::size_t size, std::nothrow_t const&) noexcept {
    if (counting.load(std::memory_order_relaxed))
        allocations.fetch_add(1, std::memory_order_relaxed);
    return std::malloc(size == 0 ? 1 : size);
}
[[gnu::noinline]] void* operator new[](std::size_t size) { return operator new(size); }
[[gnu::noinline]] void* operator new[](std::size_t size, std::nothrow_t const& tag) noexcept { return operator new(size, tag); }
// Memory resources allocate through the aligned form.
[[gnu::noinline]] void* operator new(std::size_t size, std::align_val_t alignment) {
    if (counting.load(std::memory_order_relaxed))
        allocations.fetch_add(1, std::memory_order_relaxed);
    std::size_t const a = static_cast<std::size_t>(alignment);
    if (void* p = std::aligned_alloc(a, (size + a - 1) / a * a))
        return p;
    throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::nothrow_t const&) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete[](void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete[](void* p, std::nothrow_t const&) noexcept { std::free(p); }

using namespace ModelTest;
using Common = Lumora::iSynthAudioEngine::SynthCommonParameters::Common;

// What the render thread hands the model's bridges (parameter changes of automation and the
// MIDI mapping, processed MIDI, notifications) allocates nothing once the bridges have been
// through a few ticks: the parameter map reuses its pooled nodes and the queues their storage.
TEST(CoreBridgeAllocationTest, SteadyHandOversFromTheRenderThreadAllocateNothing) {
    CoreRig rig;
    rig.attachApp();
    rig.core->synth().allocateRenderResources(SynthTest::kRate);
    RecordingScreen screen;
    screen.attach(*rig.core);
    std::vector<float> left(SynthTest::kFrames), right(SynthTest::kFrames);
    std::vector<float*> outputs{left.data(), right.data()};
    std::deque<Lumora::MidiMessage> on{SynthTest::noteOn(60), SynthTest::noteOn(64)};
    std::deque<Lumora::MidiMessage> off{SynthTest::noteOff(60), SynthTest::noteOff(64)};
    int const ids[] = {Common::Volume, Common::Portamento, Common::Octave, Common::MonoMode};

    auto round = [&](int i, bool count) {
        counting = count;
        for (int id : ids)
            rig.param(id).setNormalizedValue(static_cast<float>(i % 10) / 10.0f + 0.05f, Token::Host,
                                             Lumora::AutomationEventType::SetValue);
        rig.io->renderBlock({}, outputs, SynthTest::kFrames, SynthTest::kRate, i % 2 ? off : on, {});
        rig.core->synth().provideNotification(Lumora::iAudioEngine::MidiLearnAssigned, i);
        counting = false;
        rig.core->onTimer(nullptr);
        screen.shown.clear();
        screen.midi.clear();
        screen.notifications.clear();
    };
    screen.shown.reserve(64);
    screen.midi.reserve(64);
    screen.notifications.reserve(64);
    for (int i = 0; i < 20; ++i)
        round(i, false);
    for (int i = 20; i < 220; ++i)
        round(i, true);
    EXPECT_EQ(allocations.load(), 0);
    screen.detach(*rig.core);
}

// A busy tick (a hundred controller messages and as many notifications) is handed over without
// the render thread allocating, from the first tick on, and every message reaches the screens
// once, in order.
TEST(CoreBridgeAllocationTest, BurstsBetweenTicksAllocateNothing) {
    CoreRig rig;
    rig.attachApp();
    RecordingScreen screen;
    screen.attach(*rig.core);
    screen.midi.reserve(1024);
    screen.notifications.reserve(1024);
    std::deque<Lumora::MidiMessage> burst;
    for (int i = 0; i < 100; ++i)
        burst.emplace_back(0xB0, i, 1);

    for (int tick = 0; tick < 3; ++tick) {
        counting = true;
        rig.core->synth().provideMidiMessage(burst);
        for (int i = 0; i < 100; ++i)
            rig.core->synth().provideNotification(Lumora::iAudioEngine::SixteenthTick, i);
        counting = false;
        rig.core->onTimer(nullptr);
    }
    EXPECT_EQ(allocations.load(), 0);
    ASSERT_EQ(screen.midi.size(), 300u);
    EXPECT_EQ(screen.midi[199], Lumora::MidiMessage(0xB0, 99, 1));
    int sixteenths = 0;
    for (auto const& [id, param] : screen.notifications)
        if (id == Lumora::iAudioEngine::SixteenthTick && param == sixteenths % 100)
            ++sixteenths;
    EXPECT_EQ(sixteenths, 300);
    screen.detach(*rig.core);
}
