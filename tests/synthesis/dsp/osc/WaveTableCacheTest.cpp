#include "synthesis/dsp/osc/SawOsc.h"
#include "synthesis/dsp/osc/SineOsc.h"
#include "synthesis/dsp/osc/SquareOsc.h"
#include "synthesis/dsp/osc/TriangleOsc.h"
#include "synthesis/dsp/osc/WaveTableCache.h"
#include "synthesis/dsp/osc/OscTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <thread>
#include <vector>

using namespace Lumora::DSP::OSC;
namespace fs = std::filesystem;

namespace {

const std::string& gCache = DspTest::tableCacheDirectory();

void writeBytes(const std::string& path, const void* data, std::size_t bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    if (bytes)
        std::fwrite(data, 1, bytes, f);
    std::fclose(f);
}

std::vector<float> ramp(std::size_t n)
{
    std::vector<float> v(n);
    for (std::size_t i = 0; i < n; ++i)
        v[i] = float(i % 200) / 200.0f - 0.5f;
    return v;
}

} // namespace

// Runs first in this program: several engines starting at once build each table set once, write
// the four cache files with their exact sizes, and a later read of a file gives bit-identical tables.
TEST(WaveTableCache, ConcurrentFirstConstructionWritesExactFiles)
{
    ASSERT_FALSE(fs::exists(gCache + "/saw_1024_0256.wavtbl"));
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([t] {
            switch (t % 4) {
            case 0: { SawOsc o; break; }
            case 1: { SquareOsc o; break; }
            case 2: { TriangleOsc o; break; }
            default: { SineOsc o; break; }
            }
            SawOsc s; // every thread also waits for the saw, built by whichever came first
            EXPECT_NEAR(SawOsc::table(0)[256], 0.50930f, 1e-4);
        });
    for (auto& t : threads)
        t.join();

    struct File {
        const char* name;
        unsigned count;
        const float* tables;
    };
    for (const File& f : {File{"sine", 1, SineOsc::table(0)}, File{"saw", 256, SawOsc::table(0)},
                          File{"square", 128, SquareOsc::table(0)}, File{"triangle", 128, TriangleOsc::table(0)}}) {
        const std::string path = WaveTableOsc::wavetablePath(f.name, 1024, f.count);
        char expected[64];
        std::snprintf(expected, sizeof expected, "/%s_1024_%04u.wavtbl", f.name, f.count);
        EXPECT_EQ(path, gCache + expected);
        ASSERT_TRUE(fs::exists(path)) << path;
        EXPECT_EQ(fs::file_size(path), std::uintmax_t(f.count) * 1024 * 4) << f.name;
        std::vector<float> back(std::size_t(f.count) * 1024);
        ASSERT_TRUE(WaveTableCache::read(path, back.data(), back.size()));
        // In memory each table is followed by its guard.
        for (unsigned k = 0; k < f.count; ++k) {
            const float* table = f.tables + std::size_t(k) * WaveTableOsc::kGuardedTableLength;
            EXPECT_EQ(0, std::memcmp(back.data() + std::size_t(k) * 1024, table, 1024 * sizeof(float)))
                << f.name << " table " << k;
            EXPECT_EQ(table[1024], table[0]) << f.name << " table " << k;
        }
    }
    // No temporary files are left behind.
    int entries = 0;
    for (const auto& e : fs::directory_iterator(gCache))
        entries += e.path().extension() == ".wavtbl" ? 1 : 100;
    EXPECT_EQ(entries, 4);
}

TEST(WaveTableCache, DamagedFilesAreRejectedAndRebuilt)
{
    const std::string path = gCache + "/probe_1024_0002.wavtbl";
    const std::size_t count = 2048;
    const auto good = ramp(count);
    std::vector<float> dst(count);

    EXPECT_FALSE(WaveTableCache::read(path, dst.data(), count)); // missing

    writeBytes(path, good.data(), count * 4 - 4); // one sample short
    EXPECT_FALSE(WaveTableCache::read(path, dst.data(), count));
    writeBytes(path, good.data(), 0); // empty
    EXPECT_FALSE(WaveTableCache::read(path, dst.data(), count));
    auto longer = good;
    longer.push_back(0.0f);
    writeBytes(path, longer.data(), longer.size() * 4); // too long
    EXPECT_FALSE(WaveTableCache::read(path, dst.data(), count));
    auto garbage = good;
    garbage[100] = std::numeric_limits<float>::quiet_NaN();
    garbage[200] = 1e20f;
    writeBytes(path, garbage.data(), count * 4); // right size, impossible contents
    EXPECT_FALSE(WaveTableCache::read(path, dst.data(), count));

    // load() computes over the damaged file and replaces it with a good one.
    int computed = 0;
    auto compute = [&](float* t) {
        ++computed;
        std::memcpy(t, good.data(), count * 4);
    };
    EXPECT_FALSE(WaveTableCache::load(path, dst.data(), count, compute));
    EXPECT_EQ(computed, 1);
    EXPECT_EQ(dst, good);
    EXPECT_EQ(fs::file_size(path), count * 4);
    std::fill(dst.begin(), dst.end(), 0.0f);
    EXPECT_TRUE(WaveTableCache::load(path, dst.data(), count, compute));
    EXPECT_EQ(computed, 1);
    EXPECT_EQ(dst, good);
}

TEST(WaveTableCache, UnwritableDirectoryStillGivesTables)
{
    const std::string path = gCache + "/no-such-folder/x_1024_0001.wavtbl";
    std::vector<float> dst(1024);
    const auto good = ramp(1024);
    EXPECT_FALSE(WaveTableCache::load(path, dst.data(), dst.size(), [&](float* t) { std::memcpy(t, good.data(), 4096); }));
    EXPECT_EQ(dst, good);
    EXPECT_FALSE(WaveTableCache::write(path, good.data(), good.size()));
}
