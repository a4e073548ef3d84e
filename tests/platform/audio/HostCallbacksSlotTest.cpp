// The host callbacks handed from the main thread to a render thread without a lock: the render
// thread always sees one whole record, published records stay alive for it, and alternating
// hosts keep only their distinct records. Part of the ThreadSanitizer run (scripts/tsan.sh).
#include "platform/audio/HostCallbacksSlot.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace Platform;
using namespace Platform::InterAppAudio;

namespace {

// Two hosts whose tempo procedures answer with their own user data's value: a record mixed from
// two hosts would answer a tempo that does not belong to its user data.
struct Host {
    double tempo;
};

AudioStatus tempoOf(void* user, double* beat, double* tempo) {
    *beat = 0.0;
    *tempo = static_cast<Host*>(user)->tempo;
    return AudioErr::None;
}
AudioStatus tempoTwiceOf(void* user, double* beat, double* tempo) {
    *beat = 0.0;
    *tempo = 2.0 * static_cast<Host*>(user)->tempo;
    return AudioErr::None;
}

} // namespace

TEST(HostCallbacksSlot, ARenderThreadReadsWholeRecordsWhileTheMainThreadSwapsThem) {
    Host a{100.0}, b{200.0};
    HostCallbackInfo first, second;
    first.hostUserData = &a;
    first.beatAndTempoProc = tempoOf;
    second.hostUserData = &b;
    second.beatAndTempoProc = tempoTwiceOf;

    HostCallbacksSlot slot;
    EXPECT_EQ(slot.current().hostUserData, nullptr);
    EXPECT_EQ(slot.current().beatAndTempoProc, nullptr);

    std::atomic<bool> done{false};
    std::atomic<long> wrong{0}, asked{0};
    std::thread render([&] {
        while (!done.load(std::memory_order_relaxed)) {
            const HostCallbackInfo& host = slot.current();
            if (host.hostUserData == nullptr) {
                if (host.beatAndTempoProc != nullptr) ++wrong;
                continue;
            }
            double beat = -1.0, tempo = 0.0;
            host.beatAndTempoProc(host.hostUserData, &beat, &tempo);
            if (tempo != 100.0 && tempo != 400.0) ++wrong;
            ++asked;
        }
    });
    for (int i = 0; i < 20000; ++i) {
        slot.publish(i % 3 == 0 ? first : i % 3 == 1 ? second : HostCallbackInfo{});
        if (i % 64 == 0) std::this_thread::yield();
    }
    slot.publish(first);
    while (asked.load() == 0) std::this_thread::yield();
    done.store(true);
    render.join();

    EXPECT_EQ(wrong.load(), 0);
    EXPECT_EQ(slot.keptCount(), 3u);
    EXPECT_EQ(slot.current().hostUserData, &a);
}
