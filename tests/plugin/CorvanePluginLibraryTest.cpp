// The CorvanePlugin shared library as a host loads it: only through its exported functions.

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "platform/audiounit/AudioUnit.h"
#include "platform/audiounit/TestHost.h"
#include "platform/foundation/support/ScratchFolder.h"
#include "platform/ui/ViewController.h"

#ifndef CORVANE_PLUGIN_LIBRARY
#error "CORVANE_PLUGIN_LIBRARY names the built shared library"
#endif

namespace {

using CreateViewController = std::shared_ptr<Platform::ViewController> (*)();
using CreateAudioUnitWithViewController = std::shared_ptr<Platform::AudioUnit> (*)(
    std::shared_ptr<Platform::ViewController> const&, Platform::ComponentDescription const&, Platform::Error*);
using CreateAudioUnit = std::shared_ptr<Platform::AudioUnit> (*)(Platform::ComponentDescription const&,
                                                                  Platform::Error*);
using RunMainQueueOnce = std::size_t (*)();

Platform::ComponentDescription const kDescription{Platform::fourCharCode("aumu"), Platform::fourCharCode("Crvn"),
                                                  Platform::fourCharCode("Lmra")};

// Opened once for the program and never closed: a host keeps an extension loaded while any of
// its objects lives.
void* library() {
    static void* handle = [] {
        static ScratchFolder temporary;
        ::setenv("CORVANE_TMPDIR", temporary.path().c_str(), 1);
        return ::dlopen(CORVANE_PLUGIN_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    }();
    return handle;
}

template <class F>
F symbol(char const* name) {
    return reinterpret_cast<F>(::dlsym(library(), name));
}

double loudestBlockAfterANote(Platform::TestHost& host) {
    double level = 0;
    for (int block = 0; block < 8; ++block) {
        std::vector<Platform::TestHost::Event> events;
        if (block == 0)
            events.push_back(Platform::TestHost::Event::midi(64, 0x90, 57, 110));
        EXPECT_EQ(host.render(512, events), Platform::AudioUnitStatus::NoError);
        for (unsigned channel = 0; channel < 2; ++channel) {
            double sum = 0;
            for (float s : host.output(channel)) {
                EXPECT_TRUE(std::isfinite(s));
                sum += double(s) * s;
            }
            level = std::max(level, std::sqrt(sum / 512));
        }
    }
    return level;
}

struct CorvanePluginLibrary : ::testing::Test {
    void SetUp() override { ASSERT_NE(library(), nullptr) << ::dlerror(); }

    ScratchFolder home{true};
};

} // namespace

TEST_F(CorvanePluginLibrary, TheViewControllerMakesAUnitThatPlaysANote) {
    auto createViewController = symbol<CreateViewController>("CorvanePlugin_createViewController");
    auto createAudioUnit = symbol<CreateAudioUnitWithViewController>("CorvanePlugin_createAudioUnitWithViewController");
    auto runMainQueue = symbol<RunMainQueueOnce>("CorvanePlugin_runMainQueueOnce");
    ASSERT_NE(createViewController, nullptr);
    ASSERT_NE(createAudioUnit, nullptr);
    ASSERT_NE(runMainQueue, nullptr);

    std::shared_ptr<Platform::ViewController> controller = createViewController();
    ASSERT_TRUE(controller);
    EXPECT_EQ(controller->preferredContentSize(), (Platform::Size{1024, 573}));

    Platform::Error error;
    std::shared_ptr<Platform::AudioUnit> unit = createAudioUnit(controller, kDescription, &error);
    ASSERT_TRUE(unit) << error.localizedDescription();
    EXPECT_FALSE(unit->parameterTree()->allParameters().empty());
    runMainQueue();

    Platform::TestHost host(unit);
    ASSERT_TRUE(host.setOutputSampleRate(48000.0));
    ASSERT_TRUE(host.allocate());
    EXPECT_GT(loudestBlockAfterANote(host), 1e-3);

    // A view controller of another kind is refused.
    auto foreign = std::make_shared<Platform::ViewController>();
    EXPECT_EQ(createAudioUnit(foreign, kDescription, &error), nullptr);
    EXPECT_TRUE(error);
}

TEST_F(CorvanePluginLibrary, TheUnitAloneKeepsItsInstanceAlive) {
    auto createAudioUnit = symbol<CreateAudioUnit>("CorvanePlugin_createAudioUnit");
    ASSERT_NE(createAudioUnit, nullptr);
    std::shared_ptr<Platform::AudioUnit> unit = createAudioUnit(kDescription, nullptr);
    ASSERT_TRUE(unit);
    symbol<RunMainQueueOnce>("CorvanePlugin_runMainQueueOnce")();

    Platform::TestHost host(unit);
    ASSERT_TRUE(host.allocate());
    EXPECT_GT(loudestBlockAfterANote(host), 1e-3);
}
