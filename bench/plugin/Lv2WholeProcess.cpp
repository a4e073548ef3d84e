#include "bench/plugin/Lv2WholeProcess.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include <lv2/atom/atom.h>

#include "platform/foundation/support/ScratchFolder.h"
#include "plugin/lv2/support/Lv2TestHost.h"
#include "tests/synthesis/voice/engine/EngineFixture.h"

namespace WholeProcess {

namespace {

constexpr char const* kStateKey = "urn:corvane:lv2:Corvane:state#LumoraData";
constexpr double kSilenceSeconds = 0.5;

[[noreturn]] void fail(char const* what) {
    std::fprintf(stderr, "plug-in row: %s\n", what);
    std::exit(1);
}

// The plug-in writes its documents and settings into folders of the run's own.
struct PluginFolders {
    PluginFolders() { Lv2Test::useProgramTemporaryFolder(); }
    ScratchFolder home{true};
};

} // namespace

Result renderPlugin(std::string const& stateText, float rate, unsigned notes, double seconds, unsigned block,
                    bool timeBlocks) {
    static PluginFolders const folders;
    static Lv2Test::World world;
    if (world.plugin() == nullptr)
        fail("Corvane not found on LV2_PATH (build the target CorvaneLv2Bundle)");
    auto instance = std::make_unique<Lv2Test::Instance>(world, rate);
    if (!instance->valid())
        fail("the plug-in did not instantiate");
    // The string property as a host keeps it: with its terminating zero.
    std::string bytes = stateText;
    bytes.push_back('\0');
    if (instance->restoreProperties({{kStateKey, {LV2_ATOM__String, bytes}}}) != LV2_STATE_SUCCESS)
        fail("the plug-in did not take the sound's state");
    instance->runWorker();

    std::vector<Lv2Test::Event> const none;
    auto const silence = static_cast<std::uint64_t>(kSilenceSeconds * rate);
    for (std::uint64_t done = 0; done < silence; done += block) {
        instance->run(static_cast<std::uint32_t>(std::min<std::uint64_t>(block, silence - done)), none);
        instance->runWorker();
    }

    std::vector<Lv2Test::Event> chord;
    for (unsigned i = 0; i < notes; ++i)
        chord.push_back(Lv2Test::Event::note(0, static_cast<std::uint8_t>(36 + (i * 7) % 60), 100));

    auto const frames = static_cast<std::uint64_t>(seconds * rate);
    std::vector<float> keptLeft(frames);
    std::vector<float> keptRight(frames);
    std::vector<double> blockCpu;
    if (timeBlocks)
        blockCpu.reserve(frames / block + 1);

    double const start = processCpuSeconds();
    for (std::uint64_t done = 0; done < frames; done += block) {
        auto const n = static_cast<std::uint32_t>(std::min<std::uint64_t>(block, frames - done));
        double const blockStart = timeBlocks ? threadCpuSeconds() : 0.0;
        instance->run(n, done == 0 ? chord : none);
        instance->runWorker();
        if (timeBlocks)
            blockCpu.push_back((threadCpuSeconds() - blockStart) * static_cast<double>(rate) / n);
        std::memcpy(keptLeft.data() + done, instance->left().data(), n * sizeof(float));
        std::memcpy(keptRight.data() + done, instance->right().data(), n * sizeof(float));
    }
    Result r;
    r.cpuSeconds = processCpuSeconds() - start;
    takeWorstBlocks(blockCpu, r);
    double const l = EngineTest::rms(keptLeft);
    double const rr = EngineTest::rms(keptRight);
    r.rms = std::sqrt(0.5 * (l * l + rr * rr));
    r.peak = std::max(EngineTest::peak(keptLeft), EngineTest::peak(keptRight));
    return r;
}

} // namespace WholeProcess
