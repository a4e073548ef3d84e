#include "plugin/support/PluginTestSupport.h"

#include <gtest/gtest.h>

#include <boost/filesystem/fstream.hpp>

#include "platform/foundation/Log.h"
#include "platform/foundation/support/ScratchFolder.h"

using namespace PluginTest;
using Lumora::AutomationEventType;
using Lumora::ParameterObserver;
using Platform::ParameterAutomationEventType;
using Platform::TestHost;

// ---- initialization, buses and the parameter tree

TEST(LumoraAudioUnit, BusesFollowTheEnginesChannels) {
    Rig rig;
    ASSERT_NE(rig.unit, nullptr);
    EXPECT_EQ(rig.unit->maximumFramesToRender(), 1024u);
    EXPECT_EQ(rig.unit->inputBusses(), nullptr);
    ASSERT_EQ(rig.unit->outputBusses()->count(), 1u);
    EXPECT_EQ((*rig.unit->outputBusses())[0]->format(), (Platform::AudioFormat{44100.0, 2}));

    Rig withInput(1, 2);
    ASSERT_NE(withInput.unit->inputBusses(), nullptr);
    EXPECT_EQ((*withInput.unit->inputBusses())[0]->format().channelCount, 1u);

    // An engine without outputs gets no unit.
    Rig silent(0, 0);
    EXPECT_EQ(silent.unit, nullptr);
    EXPECT_EQ(silent.audioIO->audioUnit(), nullptr);
}

TEST(LumoraAudioUnit, EngineTakesTheHostsSampleRateAtAllocation) {
    Rig rig;
    TestHost host(rig.unit);
    ASSERT_TRUE(host.setOutputSampleRate(96000.0));
    ASSERT_TRUE(host.allocate());
    EXPECT_EQ(rig.engine->allocatedRate, 96000.0f);
}

TEST(LumoraAudioUnit, TreeListsTheHostVisibleParametersInIdOrder) {
    Rig rig;
    rig.engine->steps.setNormalizedValue(0.5f, ParameterObserver::Token::Document, AutomationEventType::None);
    Rig second; // a tree is built from the values at its creation
    auto const& all = rig.unit->parameterTree()->allParameters();

    std::vector<Platform::ParameterAddress> addresses;
    for (auto const& p : all)
        addresses.push_back(p->address());
    // Master volume is visible; the engine version and audio quality are hidden, as is SECRET.
    EXPECT_EQ(addresses, (std::vector<Platform::ParameterAddress>{kCutoff, kPan, kSteps, 1100}));

    auto* pan = rig.unit->parameterTree()->parameterWithAddress(kPan);
    ASSERT_NE(pan, nullptr);
    EXPECT_EQ(pan->identifier(), "PAN");
    EXPECT_EQ(pan->displayName(), "Pan");
    EXPECT_EQ(pan->minValue(), rig.engine->pan.normalizedMinValue());
    EXPECT_EQ(pan->maxValue(), rig.engine->pan.normalizedMaxValue());
    EXPECT_LT(pan->maxValue() - pan->minValue(), 1.0f);
    EXPECT_EQ(pan->flags(), 0xD0000000u);
    EXPECT_EQ(pan->unit(), 0u);
    EXPECT_TRUE(pan->valueStrings().empty());
    EXPECT_FLOAT_EQ(pan->value(), rig.engine->pan.normalizedValue());
}

TEST(LumoraAudioUnit, HostReadsAndTextsGoThroughTheEngine) {
    // A parameter that goes away after the tree was built leaves an address without a parameter.
    auto engine = std::make_unique<RecordingEngine>();
    auto transient = std::make_unique<Lumora::Parameter_UFloat>(&engine->manager, 20, "Gone", "GONE", 0.5f, 0.0f, 1.0f,
                                                                Lumora::Parameter::Options::None,
                                                                Lumora::SerializeWhat::SoundParameters, 0);
    auto io = std::make_unique<Lumora::AudioIO_for_iOS_Plugin>(engine.get());
    auto unit = io->createAudioUnit(instrumentDescription(), nullptr, nullptr);
    transient.reset();
    {
        TestHost host(unit);
        auto* gone = host.parameter(20);
        ASSERT_NE(gone, nullptr);
        EXPECT_EQ(gone->value(), 0.0f);
        host.setParameter(20, 0.7f); // nothing to write
        float v = 2.6f;
        EXPECT_EQ(gone->stringFromValue(&v), "3");

        // Integer parameters show the concrete value of the host's normalized value.
        engine->steps.setNormalizedValue(64.0f / 127.0f, ParameterObserver::Token::Document, AutomationEventType::None);
        EXPECT_EQ(host.parameter(kSteps)->stringFromValue(nullptr), "64");
        float ten = 10.0f / 127.0f;
        EXPECT_EQ(host.parameter(kSteps)->stringFromValue(&ten), "10");
        float bottom = host.parameter(kPan)->minValue();
        EXPECT_EQ(host.parameter(kPan)->stringFromValue(&bottom), "-10");
    }
    unit.reset();
    io.reset();
}

// ---- automation both ways

TEST(LumoraAudioUnit, HostWritesReachTheEngineAndAreNotEchoed) {
    Rig rig;
    TestHost host(rig.unit);
    Rig::pumpMainQueue();
    host.setParameter(kCutoff, 0.2f);
    EXPECT_FLOAT_EQ(rig.engine->cutoff.normalizedValue(), 0.2f);
    EXPECT_FLOAT_EQ(host.parameter(kCutoff)->value(), 0.2f);

    ASSERT_TRUE(host.allocate());
    ASSERT_EQ(host.render(64, {TestHost::Event::parameter(10, kCutoff, 0.4f)}), Platform::AudioUnitStatus::NoError);
    EXPECT_FLOAT_EQ(rig.engine->cutoff.normalizedValue(), 0.4f);
    Rig::pumpMainQueue();
    EXPECT_TRUE(host.automation().empty());
}

TEST(LumoraAudioUnit, EngineChangesReachTheHostAsAutomation) {
    Rig rig;
    TestHost host(rig.unit);
    ASSERT_TRUE(host.allocate());
    host.setSampleTime(0);
    ASSERT_EQ(host.render(64), Platform::AudioUnitStatus::NoError);
    std::uint64_t const renderTime = host.hostTime() - 64;
    Rig::pumpMainQueue();
    host.clearAutomation();

    using Token = ParameterObserver::Token;
    Lumora::Parameter& cutoff = rig.engine->cutoff;
    cutoff.setNormalizedValue(0.5f, Token::ViewController, AutomationEventType::BeginGesture);
    cutoff.setNormalizedValue(0.6f, Token::ViewController, AutomationEventType::UpdateGesture);
    cutoff.setNormalizedValue(0.6f, Token::ViewController, AutomationEventType::EndGesture);
    // Neither a hidden parameter nor a change made by the host travels back.
    rig.engine->secret.setNormalizedValue(0.9f, Token::ViewController, AutomationEventType::None);
    cutoff.setNormalizedValue(0.1f, Token::Host, AutomationEventType::None);
    Rig::pumpMainQueue();

    auto const events = host.automation();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].eventType, ParameterAutomationEventType::Touch);
    EXPECT_EQ(events[1].eventType, ParameterAutomationEventType::Value);
    EXPECT_EQ(events[2].eventType, ParameterAutomationEventType::Release);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(events[i].address, Platform::ParameterAddress{kCutoff});
        EXPECT_TRUE(events[i].timed);
        EXPECT_EQ(events[i].hostTime, renderTime);
    }
    // The echo reads the value when it runs on the main queue.
    EXPECT_FLOAT_EQ(events[0].value, 0.1f);
    EXPECT_FALSE(events[3].timed);
    EXPECT_FLOAT_EQ(host.parameter(kCutoff)->value(), 0.1f);

    host.clearAutomation();
    cutoff.setNormalizedValue(0.8f, Token::Document, AutomationEventType::SetValue);
    Rig::pumpMainQueue();
    auto const oneShot = host.automation();
    ASSERT_EQ(oneShot.size(), 2u);
    EXPECT_EQ(oneShot[0].eventType, ParameterAutomationEventType::Touch);
    EXPECT_EQ(oneShot[1].eventType, ParameterAutomationEventType::Release);
    EXPECT_FLOAT_EQ(oneShot[1].value, 0.8f);
}

TEST(LumoraAudioUnit, EchoesPostedForAGoneUnitDoNothing) {
    auto rig = std::make_unique<Rig>();
    rig->engine->cutoff.setNormalizedValue(0.3f, ParameterObserver::Token::ViewController, AutomationEventType::None);
    rig->audioIO.reset();
    rig->unit.reset();
    EXPECT_EQ(Rig::pumpMainQueue(), 1u);
}

// ---- overview, tempo proposals, replacing the unit

TEST(LumoraAudioUnit, OverviewTakesTheFirstImportantParameters) {
    Rig rig;
    EXPECT_TRUE(rig.unit->parametersForOverviewWithCount(4).empty());
    rig.engine->manager.setImportantParameters({kSteps, kCutoff, kPan});
    EXPECT_EQ(rig.unit->parametersForOverviewWithCount(2),
              (std::vector<Platform::ParameterAddress>{kSteps, kCutoff}));
    EXPECT_EQ(rig.unit->parametersForOverviewWithCount(10).size(), 3u);
    EXPECT_TRUE(rig.unit->parametersForOverviewWithCount(-1).empty());
}

TEST(LumoraAudioUnit, TempoMayBeProposedOnlyWithoutAHostContext) {
    RecordingEngine engine;
    Lumora::AudioIO_for_iOS_Plugin io(&engine);
    EXPECT_TRUE(io.isPlugin());
    EXPECT_EQ(io.syncMethod(), Lumora::SyncMethod::Host);
    EXPECT_TRUE(io.canProposeBpm());
    io.proposeBpm(100.0); // no unit yet: nothing

    auto unit = io.createAudioUnit(instrumentDescription(), nullptr, nullptr);
    EXPECT_EQ(unit->bpmForInternalSync(), 0.0);
    io.proposeBpm(128.0);
    EXPECT_EQ(unit->bpmForInternalSync(), 128.0);
    {
        TestHost host(unit);
        ASSERT_TRUE(host.allocate());
        host.setMusicalContext(TestHost::MusicalContext{});
        ASSERT_EQ(host.render(32), Platform::AudioUnitStatus::NoError);
        EXPECT_FALSE(io.canProposeBpm());
        host.setMusicalContext(std::nullopt);
        ASSERT_EQ(host.render(32), Platform::AudioUnitStatus::NoError);
        EXPECT_TRUE(io.canProposeBpm());
    }
    Rig::pumpMainQueue();
}

TEST(LumoraAudioUnit, AReplacedOrOrphanedUnitRendersSilence) {
    Rig rig;
    auto first = rig.unit;
    TestHost oldHost(first);
    ASSERT_TRUE(oldHost.allocate());
    auto second = rig.audioIO->createAudioUnit(instrumentDescription(), nullptr, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(rig.audioIO->audioUnit(), second);

    ASSERT_EQ(oldHost.render(64), Platform::AudioUnitStatus::NoError);
    EXPECT_EQ(oldHost.output(0)[0], 0.0f);
    EXPECT_TRUE(rig.engine->cycles.empty());
    EXPECT_FALSE(first->fullState().count("LumoraData"));

    TestHost newHost(second);
    ASSERT_TRUE(newHost.allocate());
    ASSERT_EQ(newHost.render(64), Platform::AudioUnitStatus::NoError);
    EXPECT_EQ(newHost.output(0)[0], 1.0f);

    // The host may hold a unit after the audio I/O is gone.
    rig.audioIO.reset();
    ASSERT_EQ(newHost.render(64), Platform::AudioUnitStatus::NoError);
    EXPECT_EQ(newHost.output(0)[63], 0.0f);
    newHost.setParameter(kCutoff, 0.9f);
    EXPECT_FLOAT_EQ(rig.engine->cutoff.normalizedValue(), 0.5f);
    rig.unit.reset();
}

// ---- state

TEST(LumoraAudioUnit, FullStateRoundTrips) {
    Rig rig;
    TestHost host(rig.unit);
    using Token = ParameterObserver::Token;
    rig.engine->cutoff.setNormalizedValue(0.125f, Token::ViewController, AutomationEventType::None);
    rig.engine->steps.setNormalizedValue(100.0f / 127.0f, Token::ViewController, AutomationEventType::None);
    Platform::Dictionary saved = host.saveState();
    ASSERT_TRUE(saved.at("LumoraData").isString());
    EXPECT_NE(saved.at("LumoraData").string()->find("CUTOFF"), std::string::npos);
    EXPECT_TRUE(saved.count("type"));
    EXPECT_EQ(rig.unit->fullStateForDocument(), saved);

    rig.engine->cutoff.setNormalizedValue(0.9f, Token::ViewController, AutomationEventType::None);
    rig.engine->steps.setNormalizedValue(0.0f, Token::ViewController, AutomationEventType::None);
    Rig::pumpMainQueue();
    host.clearAutomation();

    host.restoreState(&saved);
    EXPECT_FLOAT_EQ(rig.engine->cutoff.normalizedValue(), 0.125f);
    EXPECT_FLOAT_EQ(rig.engine->steps.normalizedValue(), 100.0f / 127.0f);
    // A restore is the host's own change: nothing goes back to it.
    Rig::pumpMainQueue();
    EXPECT_TRUE(host.automation().empty());
}

TEST(LumoraAudioUnit, StateWithoutLumoraDataGoesToTheBase) {
    Rig rig;
    TestHost host(rig.unit);
    Platform::Dictionary generic{{"parameters", Platform::Value(Platform::Dictionary{{"10", Platform::Value(0.625)}})}};
    host.restoreState(&generic);
    EXPECT_FLOAT_EQ(rig.engine->cutoff.normalizedValue(), 0.625f);
    host.restoreState(nullptr);
    EXPECT_FLOAT_EQ(rig.engine->cutoff.normalizedValue(), 0.625f);
}

TEST(LumoraAudioUnit, UnreadableStatesFailWithoutHarm) {
    Rig rig;
    TestHost host(rig.unit);
    rig.engine->cutoff.setNormalizedValue(0.33f, ParameterObserver::Token::ViewController, AutomationEventType::None);
    Platform::Value const bad[] = {Platform::Value(""), Platform::Value("no parts at all"), Platform::Value(42),
                                   Platform::Value(Platform::Array{})};
    for (Platform::Value const& value : bad) {
        Platform::ScopedLogCapture log;
        Platform::Dictionary state{{"LumoraData", value},
                                   {"parameters", Platform::Value(Platform::Dictionary{{"10", Platform::Value(1.0)}})}};
        host.restoreState(&state);
        EXPECT_FLOAT_EQ(rig.engine->cutoff.normalizedValue(), 0.33f);
        EXPECT_TRUE(log.contains("setFullState")) << log.text();
    }
    // Data holding the text of a state restores like a string.
    Platform::Dictionary saved = host.saveState();
    std::string const& text = *saved.at("LumoraData").string();
    rig.engine->cutoff.setNormalizedValue(0.0f, ParameterObserver::Token::ViewController, AutomationEventType::None);
    Platform::Dictionary asData{{"LumoraData", Platform::Value(Platform::Data(text.begin(), text.end()))}};
    host.restoreState(&asData);
    EXPECT_FLOAT_EQ(rig.engine->cutoff.normalizedValue(), 0.33f);
}

// ---- factory presets

namespace {

struct PresetFixture : ::testing::Test {
    ScratchFolder folder;
    std::unique_ptr<Rig> rig;

    void SetUp() override {
        for (char const* sub : {"Factory", "User", "Program"})
            boost::filesystem::create_directories(folder / sub);
        // Two factory sounds that differ in their cutoff.
        RecordingEngine writer;
        for (auto [name, value] : {std::pair{"Alpha", 0.2f}, std::pair{"Beta", 0.8f}}) {
            writer.cutoff.setNormalizedValue(value, ParameterObserver::Token::Document, AutomationEventType::None);
            boost::filesystem::ofstream file(folder / ("Factory/" + std::string(name) + ".corvane_snd"));
            file << writer.serialize(Lumora::SerializeWhat::SoundPreset, Lumora::SerializeWhere::Document);
        }
        rig = std::make_unique<Rig>(0, 2, folder.path());
    }
    void TearDown() override { rig.reset(); }
};

} // namespace

TEST_F(PresetFixture, FactoryPresetsAreTheFactorySoundsByNumber) {
    auto presets = rig->unit->factoryPresets();
    ASSERT_EQ(presets.size(), 2u);
    EXPECT_EQ(presets[0], (Platform::AudioUnitPreset{0, "Alpha"}));
    EXPECT_EQ(presets[1], (Platform::AudioUnitPreset{1, "Beta"}));
}

TEST_F(PresetFixture, OnlyAMatchingPresetIsLoaded) {
    Lumora::Parameter& cutoff = rig->engine->cutoff;
    cutoff.setNormalizedValue(0.5f, ParameterObserver::Token::ViewController, AutomationEventType::None);
    for (Platform::AudioUnitPreset const& wrong : {Platform::AudioUnitPreset{1, "Alpha"}, Platform::AudioUnitPreset{-1, "Alpha"},
                                                   Platform::AudioUnitPreset{2, "Gamma"}}) {
        rig->unit->setCurrentPreset(wrong);
        EXPECT_FLOAT_EQ(cutoff.normalizedValue(), 0.5f) << wrong.name;
    }
    EXPECT_FALSE(rig->unit->currentPreset().has_value());

    rig->unit->setCurrentPreset(Platform::AudioUnitPreset{1, "Beta"});
    EXPECT_FLOAT_EQ(cutoff.normalizedValue(), 0.8f);
    EXPECT_EQ(rig->unit->currentPreset(), (Platform::AudioUnitPreset{1, "Beta"}));
}
