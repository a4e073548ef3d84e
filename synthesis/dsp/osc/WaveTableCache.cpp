#include "synthesis/dsp/osc/WaveTableCache.h"

#include "engine/files/FileSystem.h"

#include <atomic>
#include <bit>
#include <cmath>
#include <cstdio>
#include <string>

#include <unistd.h>

namespace Lumora::DSP::OSC::WaveTableCache {

static_assert(std::endian::native == std::endian::little, "the cache holds little-endian samples");

namespace {

// Every table of this library peaks below 1; anything beyond this (or not finite) is a damaged file.
constexpr float kLargestSample = 2.0f;

bool plausible(const float* v, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
        if (!(std::fabs(v[i]) <= kLargestSample))
            return false;
    return true;
}

} // namespace

std::string temporaryDirectory()
{
    std::string dir = Lumora::filesystem::temporaryPath();
    return dir.empty() ? std::string("/tmp") : dir;
}

bool read(const std::string& path, float* dst, std::size_t count)
{
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    const long expected = static_cast<long>(count * sizeof(float));
    bool ok = std::fseek(f, 0, SEEK_END) == 0 && std::ftell(f) == expected && std::fseek(f, 0, SEEK_SET) == 0 &&
              std::fread(dst, sizeof(float), count, f) == count;
    std::fclose(f);
    return ok && plausible(dst, count);
}

bool write(const std::string& path, const float* src, std::size_t count)
{
    // A name of its own per process and call, so that two programs building the same cache at once
    // never write into one file; the rename makes the finished file appear at once.
    static std::atomic<unsigned> serial{0};
    const std::string temporary =
        path + "." + std::to_string(::getpid()) + "." + std::to_string(serial.fetch_add(1)) + ".tmp";
    std::FILE* f = std::fopen(temporary.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(src, sizeof(float), count, f) == count;
    ok = (std::fflush(f) == 0) && ok;
    ok = (std::fclose(f) == 0) && ok;
    if (ok)
        ok = std::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok)
        std::remove(temporary.c_str());
    return ok;
}

bool load(const std::string& path, float* dst, std::size_t count, const std::function<void(float*)>& compute)
{
    if (read(path, dst, count))
        return true;
    compute(dst);
    write(path, dst, count); // a cache that cannot be written only costs the next launch the computation
    return false;
}

} // namespace Lumora::DSP::OSC::WaveTableCache
