// State restores and audio I/O attachments from other threads while the render thread runs.
// Under AddressSanitizer a block that read a freed parameter block would fail here; the
// values a block hears must each be the old or the new one.

#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "engine/state/StateTestSupport.h"
#include "engine/tuning/MicroTuning.h"

using namespace Lumora;
using namespace SynthTest;
using Common = iSynthAudioEngine::SynthCommonParameters::Common;
using SynthMaster = iSynthAudioEngine::SynthCommonParameters::Master;

namespace {

// Renders blocks on its own thread until stopped, holding a note so that voices run, and
// records the tune and the first pitch class's detune each block heard.
class RenderThread {
public:
    explicit RenderThread(SynthRig& rig) : rig_(rig) {
        heard_.reserve(1 << 16);
        thread_ = std::thread([this] { run(); });
    }
    ~RenderThread() { stop(); }

    void stop() {
        running_ = false;
        if (thread_.joinable()) thread_.join();
    }
    int blocks() const { return blocks_.load(); }
    struct Heard {
        float tune;
        float detune;
    };
    const std::vector<Heard>& heard() const { return heard_; }

private:
    void run() {
        rig_.render({noteOn(60), noteOn(64)});
        while (running_) {
            rig_.render();
            if (heard_.size() < heard_.capacity()) {
                heard_.push_back({rig_.engine.synth.tune(), rig_.engine.synth.microTuning()->data(0).detune});
            }
            ++blocks_;
        }
    }

    SynthRig& rig_;
    std::atomic<bool> running_{true};
    std::atomic<int> blocks_{0};
    std::vector<Heard> heard_;
    std::thread thread_;
};

void waitForBlocks(const RenderThread& render, int count) {
    while (render.blocks() < count) std::this_thread::yield();
}

} // namespace

TEST(StateWhileRendering, RestoresFromAnotherThreadGiveEachBlockTheOldOrTheNewValues) {
    SynthRig rig;
    TestSynth& engine = rig.engine;
    auto stateWith = [&engine](float tune, float detune) {
        engine.set(SynthMaster::Tune, tune);
        engine.synth.microTuning()->setDetune(0, detune);
        engine.arpeggiatorData().swing = tune < 0 ? 0.25f : 0.75f;
        return engine.serialize(SerializeWhat::FullState, SerializeWhere::PluginHostState);
    };
    const std::string a = stateWith(-0.5f, 0.25f);
    const std::string b = stateWith(0.5f, -0.75f);

    RenderThread render(rig);
    waitForBlocks(render, 5);
    for (int i = 0; i < 300; ++i) {
        ASSERT_TRUE(engine.deserialize(SerializeWhat::FullState, i % 2 ? b : a, SerializeWhere::PluginHostState));
    }
    waitForBlocks(render, render.blocks() + 2);
    render.stop();

    // A restore resets the parameters before it reads them, so a block may also hear the
    // default between the two.
    for (const RenderThread::Heard& h : render.heard()) {
        EXPECT_TRUE(h.tune == -0.5f || h.tune == 0.5f || h.tune == 0.0f) << h.tune;
        EXPECT_TRUE(h.detune == 0.25f || h.detune == -0.75f) << h.detune;
    }
    EXPECT_FLOAT_EQ(engine.synth.tune(), 0.5f);
    EXPECT_FLOAT_EQ(engine.arpeggiatorData().swing.load(), 0.75f);
}

TEST(StateWhileRendering, AttachingAnotherAudioIOWhileRenderingNeverFreesBlocksInUse) {
    SynthRig rig;
    RenderThread render(rig);
    waitForBlocks(render, 5);
    for (int i = 0; i < 200; ++i) {
        EngineTest::TestAudioIO replacement(&rig.engine);
        rig.engine.set(Common::Volume, 0.25f);
    }
    render.stop();
    ASSERT_NE(rig.engine.commonParameters(), nullptr);
    EXPECT_FLOAT_EQ(rig.engine.param(Common::Volume).concreteValue(), 0.25f);
    EXPECT_EQ(rig.engine.manager.getParameterMap().size(), 14u);
    rig.render();
    EXPECT_GT(rig.peak(), 0.0f);
}
