#pragma once

#include <atomic>
#include <chrono>
#include <vector>

namespace Lumora::Corvane {

// Fades the voice mix out while a sound is being loaded and back in once it is, so that a load
// under held notes never switches the sound with a step: the settings a glide can't carry (filter
// stages, routes, wave types) change while the voices are silent. The effects keep running over
// the faded mix, so their tails go on.
//
// Threads: hold/release and waitUntilSilent on the thread that loads (never the render thread);
// process on the render thread, which never waits for the loader.
class VoiceMixFade {
public:
    // Asks the render thread to fade the voices out (holds nest) or, once the last hold is
    // released, back in.
    void hold() { holds_.fetch_add(1, std::memory_order_acq_rel); }
    void release() { holds_.fetch_sub(1, std::memory_order_acq_rel); }

    // After hold(): waits until the render thread has faded the voices out, at most timeout. Returns
    // at once when no voice sounded in the last block, and gives up when no block is rendered for
    // stall (nothing renders, or the render runs on this very thread). Answers whether the voices
    // are silent.
    bool waitUntilSilent(std::chrono::milliseconds timeout, std::chrono::milliseconds stall) const;

    // Render thread, before the voices render: whether this block fades out or in. A release
    // counts from the next block on, whose voices all read the settings the load left.
    void beginBlock() { target_ = holds_.load(std::memory_order_acquire) > 0 ? 0.0f : 1.0f; }
    // Render thread: the voice mix as it should be heard, mix itself while no fade is under way (or
    // a fade buffer otherwise); soundingVoices is how many voices the block rendered.
    const float* process(const float* mix, unsigned frames, float sampleRate, unsigned soundingVoices);
    void reserve(unsigned maxFrames);

    float gain() const { return gain_; }
    // Render thread, after beginBlock: the mix fades out or in during this block. The voices then
    // read their settings every block, so that the settings a load left in silence are heard from
    // the first block of the fade-in, not a control span later.
    bool fading() const { return gain_ != 1.0f || target_ != 1.0f; }

    // Render thread: no hold asked for and the mix passing unfaded, as after the last block. A
    // block may then go without process: the voices' sounding state process left is still true
    // (no voice sounds in a block that skips it), which is all a loader's wait needs to answer.
    bool settled() const { return gain_ == 1.0f && target_ == 1.0f && holds_.load(std::memory_order_acquire) == 0; }

private:
    std::atomic<int> holds_{0};
    std::atomic<bool> silent_{false};
    std::atomic<bool> sounding_{false};
    std::atomic<unsigned long long> blocks_{0};
    float gain_ = 1.0f;
    float target_ = 1.0f;
    std::vector<float> faded_;
};

} // namespace Lumora::Corvane
