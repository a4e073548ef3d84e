#include "synthesis/voice/engine/VoiceMixFade.h"

#include <algorithm>
#include <thread>

#include "synthesis/voice/modules/ModuleCommon.h"

namespace Lumora::Corvane {

void VoiceMixFade::reserve(unsigned maxFrames)
{
    Module::grow(faded_, maxFrames);
}

const float* VoiceMixFade::process(const float* mix, unsigned frames, float sampleRate, unsigned soundingVoices)
{
    sounding_.store(soundingVoices > 0, std::memory_order_release);
    const float target = target_;
    const float* out = mix;
    if (!(gain_ == 1.0f && target == 1.0f)) {
        // A straight line of the glide time from wherever the fade stands.
        const float step = 1.0f / static_cast<float>(Module::glideFrames(sampleRate));
        float* faded = Module::grow(faded_, frames);
        for (unsigned i = 0; i < frames; ++i) {
            gain_ = target > gain_ ? std::min(target, gain_ + step) : std::max(target, gain_ - step);
            faded[i] = gain_ * mix[i];
        }
        out = faded;
    }
    silent_.store(target == 0.0f && gain_ == 0.0f, std::memory_order_release);
    blocks_.fetch_add(1, std::memory_order_acq_rel);
    return out;
}

bool VoiceMixFade::waitUntilSilent(std::chrono::milliseconds timeout, std::chrono::milliseconds stall) const
{
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto progress = start;
    unsigned long long blocks = blocks_.load(std::memory_order_acquire);
    while (!silent_.load(std::memory_order_acquire)) {
        if (!sounding_.load(std::memory_order_acquire))
            return true;
        const auto now = Clock::now();
        const unsigned long long b = blocks_.load(std::memory_order_acquire);
        if (b != blocks) {
            blocks = b;
            progress = now;
        }
        if (now - start > timeout || now - progress > stall)
            return false;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return true;
}

} // namespace Lumora::Corvane
