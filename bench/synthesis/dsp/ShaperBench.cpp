#include "synthesis/dsp/common/ScopedFlushDenormals.h"
#include "synthesis/dsp/shaper/Amplifier.h"
#include "synthesis/dsp/shaper/AsymSaturator.h"
#include "synthesis/dsp/shaper/Crossfader.h"
#include "synthesis/dsp/shaper/Crossfader3.h"
#include "synthesis/dsp/shaper/Panner.h"
#include "synthesis/dsp/shaper/Saturator.h"
#include "synthesis/dsp/shaper/StereoAmp.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

using namespace Lumora::DSP;

namespace {

struct Buffers {
    explicit Buffers(unsigned n) : a(n), b(n), c(n), out(n), out2(n)
    {
        std::uint32_t s = 7;
        for (unsigned i = 0; i < n; ++i) {
            s = s * 1664525u + 1013904223u;
            a[i] = float(s >> 8) / float(1u << 24) * 2.0f - 1.0f;
            b[i] = -a[i];
            c[i] = a[i] * 0.5f;
        }
    }
    std::vector<float> a, b, c, out, out2;
};

template <class Run>
void runBlocks(benchmark::State& state, Run run)
{
    ScopedFlushDenormals guard;
    const unsigned n = unsigned(state.range(0));
    Buffers buf(n);
    int k = 0;
    for (auto _ : state) {
        // Alternate the setting so that every block ramps.
        run(buf, n, (++k & 1) ? 0.3f : 0.7f);
        benchmark::DoNotOptimize(buf.out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * n);
}

void BM_Saturator(benchmark::State& state)
{
    Saturator s;
    runBlocks(state, [&](Buffers& b, unsigned n, float) { s.process(b.out.data(), b.a.data(), n); });
}

void BM_AsymSaturator(benchmark::State& state)
{
    AsymSaturator s(0.8f, 200);
    runBlocks(state, [&](Buffers& b, unsigned n, float) { s.process(b.out.data(), b.a.data(), n); });
}

void BM_Amplifier(benchmark::State& state)
{
    Amplifier amp;
    runBlocks(state, [&](Buffers& b, unsigned n, float g) { amp.process(b.out.data(), b.a.data(), n, g); });
}

void BM_StereoAmp(benchmark::State& state)
{
    StereoAmp amp;
    runBlocks(state, [&](Buffers& b, unsigned n, float g) {
        amp.process(b.out.data(), b.out2.data(), b.a.data(), b.b.data(), n, g, 0.0f, 0.0f);
    });
}

void BM_Crossfader(benchmark::State& state)
{
    Crossfader x;
    runBlocks(state, [&](Buffers& b, unsigned n, float p) { x.process(b.out.data(), b.a.data(), b.b.data(), n, p, 1.5f); });
}

void BM_Crossfader3(benchmark::State& state)
{
    Crossfader3 x;
    runBlocks(state, [&](Buffers& b, unsigned n, float p) {
        x.process(b.out.data(), b.a.data(), b.b.data(), b.c.data(), n, p, 1.0f);
    });
}

void BM_Panner(benchmark::State& state)
{
    Panner p;
    runBlocks(state, [&](Buffers& b, unsigned n, float pan) { p.process(b.out.data(), b.out2.data(), b.a.data(), n, pan, 1.5f); });
}

} // namespace

BENCHMARK(BM_Saturator)->Arg(64)->Arg(128)->Arg(512);
BENCHMARK(BM_AsymSaturator)->Arg(64)->Arg(128)->Arg(512);
BENCHMARK(BM_Amplifier)->Arg(64)->Arg(128)->Arg(512);
BENCHMARK(BM_StereoAmp)->Arg(64)->Arg(128)->Arg(512);
BENCHMARK(BM_Crossfader)->Arg(64)->Arg(128)->Arg(512);
BENCHMARK(BM_Crossfader3)->Arg(64)->Arg(128)->Arg(512);
BENCHMARK(BM_Panner)->Arg(64)->Arg(128)->Arg(512);
