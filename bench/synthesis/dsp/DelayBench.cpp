#include "synthesis/dsp/delay/HiDampDelay.h"
#include "synthesis/dsp/delay/HiDampStereoDelay.h"
#include "synthesis/dsp/delay/MultiTapDelay.h"
#include "synthesis/dsp/delay/SingleDelay.h"
#include "synthesis/dsp/delay/v2/Delay.h"
#include "synthesis/dsp/delay/v2/MultiTapDelay.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace {

std::vector<float> signal(std::size_t n)
{
    std::vector<float> x(n);
    for (std::size_t i = 0; i < n; ++i)
        x[i] = std::sin(0.05f * static_cast<float>(i));
    return x;
}

// Every block moves the delay time a little, so that the gliding read path is measured.
void BM_SingleDelay(benchmark::State& state)
{
    const auto n = static_cast<unsigned>(state.range(0));
    Lumora::DSP::SingleDelay d(14, true, 1.0f);
    d.setFeedback(0.6f);
    const auto in = signal(n);
    std::vector<float> out(n);
    float t = 0.1f;
    for (auto _ : state) {
        t = t > 0.2f ? 0.1f : t + 0.0001f;
        d.setDelayTime(t);
        d.process(out.data(), in.data(), n);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}

void BM_HiDampDelay(benchmark::State& state)
{
    const auto n = static_cast<unsigned>(state.range(0));
    Lumora::DSP::HiDampDelay d(12);
    d.setDelayTimeBySecond(0.031f, 48000.0f);
    d.setFeedback(0.8f);
    const auto in = signal(n);
    std::vector<float> out(n);
    for (auto _ : state) {
        d.process(out.data(), in.data(), n);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}

void BM_MultiTapDelay(benchmark::State& state)
{
    const auto n = static_cast<unsigned>(state.range(0));
    Lumora::DSP::MultiTapDelay d(11, 2, nullptr);
    d.setDelayTime(0.3f);
    d.setTapTime(0, 0.2f);
    d.setTapTime(1, 0.4f);
    const auto in = signal(n);
    std::vector<float> out(n), t0(n), t1(n);
    float* taps[2] = {t0.data(), t1.data()};
    for (auto _ : state) {
        d.process(out.data(), taps, in.data(), n);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}

void BM_HiDampStereoDelay(benchmark::State& state)
{
    const auto n = static_cast<unsigned>(state.range(0));
    Lumora::DSP::HiDampStereoDelay d(17);
    d.setInterpolation(true);
    for (int ch : {0, 1}) {
        d.setDelayTimeBySecond(ch, ch ? 0.375f : 0.25f, 48000.0f);
        d.setFeedback(ch, 0.7f);
        d.setXfeedbackRatio(ch, 0.4f);
    }
    const auto in = signal(n);
    std::vector<float> l(n), r(n);
    for (auto _ : state) {
        d.process(l.data(), r.data(), in.data(), in.data(), n);
        benchmark::DoNotOptimize(l.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}

void BM_DelayV2AllPass(benchmark::State& state)
{
    const auto n = static_cast<unsigned>(state.range(0));
    Lumora::DSPv2::Delay d(14, nullptr, true, 1.0f);
    d.setSettings_bySample(3522, -0.625f, 0.625f);
    const auto in = signal(n);
    std::vector<float> out(n);
    for (auto _ : state) {
        d.process(out.data(), in.data(), n);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}

void BM_MultiTapDelayV2(benchmark::State& state)
{
    const auto n = static_cast<unsigned>(state.range(0));
    Lumora::DSPv2::MultiTapDelay d(16, 4);
    const unsigned times[4] = {5317, 3891, 2010, 12970};
    for (unsigned t = 0; t < 4; ++t)
        d.setTapSettings_bySamples(t, times[t], 0.0f, 0.5f);
    const auto in = signal(n);
    std::vector<float> t0(n), t1(n), t2(n), t3(n);
    float* taps[4] = {t0.data(), t1.data(), t2.data(), t3.data()};
    for (auto _ : state) {
        d.process(taps, in.data(), n);
        benchmark::DoNotOptimize(t0.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * n);
}

} // namespace

BENCHMARK(BM_SingleDelay)->Arg(64)->Arg(128)->Arg(512);
BENCHMARK(BM_HiDampDelay)->Arg(64)->Arg(128)->Arg(512);
BENCHMARK(BM_MultiTapDelay)->Arg(64)->Arg(128)->Arg(512);
BENCHMARK(BM_HiDampStereoDelay)->Arg(64)->Arg(128)->Arg(512);
BENCHMARK(BM_DelayV2AllPass)->Arg(64)->Arg(128)->Arg(512);
BENCHMARK(BM_MultiTapDelayV2)->Arg(64)->Arg(128)->Arg(512);
