// The plug-in's audio unit around the product's engine, driven by a host.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "engine/parameter/ParameterManager.h"
#include "platform/audiounit/TestHost.h"
#include "platform/foundation/RunLoop.h"
#include "plugin/audioio/AudioIO_for_iOS_Plugin.h"
#include "plugin/audiounit/Lumora_iOS_AudioUnit.h"
#include "synthesis/voice/engine/AudioEngine.h"

using Platform::TestHost;

namespace {

struct CorvaneRig : ::testing::Test {
    std::unique_ptr<Lumora::Corvane::AudioEngine> engine =
        std::make_unique<Lumora::Corvane::AudioEngine>(Lumora::iSynthAudioEngine::Config{}, "Corvane", 2);
    std::unique_ptr<Lumora::AudioIO_for_iOS_Plugin> io = std::make_unique<Lumora::AudioIO_for_iOS_Plugin>(engine.get());
    std::shared_ptr<Lumora_iOS_AudioUnit> unit = io->createAudioUnit(
        Platform::ComponentDescription{Platform::fourCharCode("aumu"), Platform::fourCharCode("Crvn"),
                                       Platform::fourCharCode("Lmra")},
        nullptr, nullptr);

    void TearDown() override {
        Platform::RunLoop::main().runOnce();
        unit.reset();
        io.reset();
        engine.reset();
    }
};

double rms(std::vector<float> const& samples, std::size_t from = 0) {
    double sum = 0.0;
    for (std::size_t i = from; i < samples.size(); ++i)
        sum += double(samples[i]) * samples[i];
    return samples.size() > from ? std::sqrt(sum / double(samples.size() - from)) : 0.0;
}

} // namespace

TEST_F(CorvaneRig, TreeHoldsTheProductsHostVisibleParameters) {
    ASSERT_NE(unit, nullptr);
    auto const& tree = unit->parameterTree()->allParameters();
    auto const& map = engine->parameterManager().getParameterMap();
    ASSERT_GT(tree.size(), 20u);
    EXPECT_LT(tree.size(), map.size());
    for (auto const& hostParameter : tree) {
        Lumora::Parameter const* p = engine->parameterManager().getParameter(int(hostParameter->address()));
        ASSERT_NE(p, nullptr);
        EXPECT_FALSE(p->hasOption(Lumora::Parameter::Options::HiddenFromHost)) << p->serializedName();
        EXPECT_EQ(hostParameter->identifier(), p->serializedName());
    }
    EXPECT_FALSE(unit->parametersForOverviewWithCount(4).empty());
}

TEST_F(CorvaneRig, PlaysANoteFromItsEventTime) {
    TestHost host(unit);
    ASSERT_TRUE(host.setOutputSampleRate(48000.0));
    ASSERT_TRUE(host.allocate());
    ASSERT_EQ(host.render(512), Platform::AudioUnitStatus::NoError);
    EXPECT_EQ(rms(host.output(0)), 0.0);

    ASSERT_EQ(host.render(512, {TestHost::Event::midi(200, 0x90, 57, 110)}), Platform::AudioUnitStatus::NoError);
    std::vector<float> const first = host.output(0);
    EXPECT_EQ(rms(std::vector<float>(first.begin(), first.begin() + 200)), 0.0);
    double level = rms(first, 200);
    for (int i = 0; i < 10; ++i) {
        ASSERT_EQ(host.render(512), Platform::AudioUnitStatus::NoError);
        for (unsigned c = 0; c < 2; ++c)
            for (float s : host.output(c))
                ASSERT_TRUE(std::isfinite(s));
        level = std::max(level, rms(host.output(0)));
    }
    EXPECT_GT(level, 1e-3);
}

TEST_F(CorvaneRig, StateRoundTripsThroughTheHost) {
    TestHost host(unit);
    auto const& tree = unit->parameterTree()->allParameters();
    ASSERT_FALSE(tree.empty());
    Platform::AudioUnitParameter& first = *tree.front();
    float const original = first.value();
    Platform::Dictionary saved = host.saveState();
    ASSERT_TRUE(saved.count("LumoraData"));

    float const changed = original > 0.5f ? first.minValue() : first.maxValue();
    host.setParameter(first.address(), changed);
    ASSERT_NE(first.value(), original);
    host.restoreState(&saved);
    EXPECT_FLOAT_EQ(first.value(), original);
}
