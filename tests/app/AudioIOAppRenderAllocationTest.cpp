#include <atomic>
#include <cstdlib>
#include <new>

#include "app/support/AudioIOAppTestSupport.h"
#include "engine/synth/SynthTestSupport.h"
#include "linkkit/ABLLinkObject.h"
#include "platform/audio/InterAppAudio.h"

// Counts the allocations of the rendering thread while counting is switched on there (the Link
// session's own threads allocate as they please).
namespace {
thread_local bool counting = false;
std::atomic<long> allocations{0};
} // namespace

// Out of line, so that a debugger can stop at a counted allocation.
__attribute__((noinline)) void countAllocation() { allocations.fetch_add(1, std::memory_order_relaxed); }

void* operator new(std::size_t size) {
    if (counting) {
        countAllocation();
    }
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

using namespace AppAudioTest;
using Lumora::SyncMethod;

namespace {
class AppAudioRenderAllocation : public Fixture {};
} // namespace

// Once the engine is warmed up, a render call of the app's audio I/O allocates nothing under any
// sync method: not for its channel lists, the sync information, the host's answers, the Link
// render state or the hand-over of the queued MIDI.
TEST_F(AppAudioRenderAllocation, SteadyStateRenderCallsAllocateNothing) {
    SynthTest::TestSynth synth;
    auto io = std::make_unique<Lumora::AudioIO_for_iOS_App>(&synth, testConfig());
    ASSERT_TRUE(io->open(128, 48000.0f));
    ASSERT_TRUE(io->start());
    Platform::OutputUnit& unit = *io->audioUnit();
    Platform::InterAppAudioHost host;
    ASSERT_TRUE(host.connect(testDescription()));
    host.setPlaying(true);
    host.setTempo(128.0);
    ABLLink* link = io->link();
    // The user's Link switch is turned on only after the kit was activated, and off before any
    // other activation, so the session never goes on the network (whose threads allocate).
    auto select = [&](SyncMethod method) {
        link->setUserEnabled(false);
        io->setSyncMethod(method);
        link->setUserEnabled(method == SyncMethod::Link);
    };

    const SyncMethod methods[] = {SyncMethod::Internal, SyncMethod::Midi, SyncMethod::Host, SyncMethod::Link};
    auto cycle = [&](int i, bool count) {
        select(methods[(i / 50) % 4]);
        if (i % 8 == 0) io->impl().didReceiveMidi(0x90, 60 + i % 5, 100, 1);
        if (i % 8 == 4) io->impl().didReceiveMidi(0x80, 60 + (i - 4) % 5, 0, 1);
        if (i % 50 == 25) io->proposeBpm(100.0 + i % 7);
        counting = count;
        const auto status = unit.render(128);
        counting = false;
        ASSERT_EQ(status, Platform::OutputUnit::Status::Ok);
    };
    for (int i = 0; i < 400; ++i) cycle(i, false);   // warm up: every container reaches its size
    for (int i = 400; i < 1200; ++i) cycle(i, true);
    EXPECT_EQ(allocations.load(), 0);
    EXPECT_FALSE(link->isAppliedEnabled());
    io->close();
}
