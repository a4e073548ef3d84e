#include "platform/audiounit/AudioUnit.h"
#include "platform/audiounit/TestHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace Platform;

namespace {

// A unit with one stereo output bus and two parameters that writes each parameter's value and
// the count of events it saw into its output.
class ConstantUnit : public AudioUnit {
public:
    ConstantUnit() = default;
    using AudioUnit::initWithComponentDescription;

    bool initWithComponentDescription(ComponentDescription const& d, std::uint32_t options, Error* error) override {
        if (!AudioUnit::initWithComponentDescription(d, options, error))
            return false;
        output_ = std::make_shared<AudioUnitBusArray>(AudioUnitBusArray::Type::Output,
                                                      std::vector{AudioUnitBus::make(AudioFormat{44100.0, 2})});
        std::vector<std::shared_ptr<AudioUnitParameter>> params;
        for (ParameterAddress a : {7u, 9u}) {
            AudioUnitParameter::Description desc;
            // Appended rather than "p" + ..., which sets off GCC 12's false -Wrestrict.
            desc.identifier = "p";
            desc.identifier += std::to_string(a);
            desc.address = a;
            desc.flags = ParameterFlags::IsReadable | ParameterFlags::IsWritable;
            params.push_back(std::make_shared<AudioUnitParameter>(desc));
        }
        auto tree = ParameterTree::createTreeWithChildren(params);
        tree->setImplementorValueObserver([this](AudioUnitParameter& p, float v) { implemented.emplace_back(p.address(), v); });
        setParameterTree(tree);
        return true;
    }
    std::shared_ptr<AudioUnitBusArray> outputBusses() override { return output_; }

    RenderBlock internalRenderBlock() override {
        return [](RenderActionFlags&, AudioTimeStamp const&, std::uint32_t frames, std::int64_t, AudioBufferList& out,
                  RenderEvent const* events, RenderPullInputBlock const*) {
            int count = 0;
            for (auto e = events; e; e = e->next) ++count;
            for (std::uint32_t c = 0; c < out.numberBuffers; ++c)
                for (std::uint32_t i = 0; i < frames; ++i)
                    static_cast<float*>(out.buffers[c].data)[i] = static_cast<float>(count);
            return AudioUnitStatus::NoError;
        };
    }

    std::vector<std::pair<ParameterAddress, float>> implemented;

private:
    std::shared_ptr<AudioUnitBusArray> output_;
};

std::shared_ptr<ConstantUnit> makeUnit() {
    auto unit = std::make_shared<ConstantUnit>();
    EXPECT_TRUE(unit->initWithComponentDescription(ComponentDescription{fourCharCode("aumu"), fourCharCode("Test"), fourCharCode("Lmra")}, nullptr));
    return unit;
}

} // namespace

TEST(AudioUnit, InitializationNeedsAComponentType) {
    auto unit = std::make_shared<ConstantUnit>();
    Error error;
    EXPECT_FALSE(unit->initWithComponentDescription(ComponentDescription{}, &error));
    EXPECT_TRUE(static_cast<bool>(error));
}

TEST(AudioUnit, RenderResourcesFixFormatsAndFrameCount) {
    auto unit = makeUnit();
    TestHost host(unit);
    EXPECT_EQ(host.render(64), AudioUnitStatus::Uninitialized);

    EXPECT_TRUE(host.setOutputSampleRate(48000.0));
    EXPECT_FALSE(host.setOutputSampleRate(-1.0));
    EXPECT_FALSE(unit->setMaximumFramesToRender(0));
    EXPECT_TRUE(unit->setMaximumFramesToRender(256));
    ASSERT_TRUE(host.allocate());

    EXPECT_FALSE(host.setOutputSampleRate(44100.0));
    EXPECT_FALSE(unit->setMaximumFramesToRender(512));
    EXPECT_EQ((*unit->outputBusses())[0]->format().sampleRate, 48000.0);

    EXPECT_EQ(host.render(256, {TestHost::Event::midi(3, 0x90, 60, 100)}), AudioUnitStatus::NoError);
    EXPECT_EQ(host.output(1)[255], 1.0f);
    EXPECT_EQ(host.render(257), AudioUnitStatus::TooManyFramesToProcess);

    host.deallocate();
    EXPECT_TRUE(host.setOutputSampleRate(44100.0));
    EXPECT_EQ(host.render(64), AudioUnitStatus::Uninitialized);
}

TEST(AudioUnit, HostWritesReachTheImplementorAndOtherObserversOnly) {
    auto unit = makeUnit();
    TestHost host(unit);
    std::vector<ParameterAutomationEvent> seen;
    auto other = unit->parameterTree()->tokenByAddingParameterAutomationObserver([&](ParameterAutomationEvent const& e) { seen.push_back(e); });

    host.setParameter(7, 0.25f);
    ASSERT_EQ(unit->implemented.size(), 1u);
    EXPECT_EQ(unit->implemented[0], std::make_pair(ParameterAddress{7}, 0.25f));
    EXPECT_TRUE(host.automation().empty()); // its own write
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(host.parameter(7)->value(), 0.25f);

    // A gesture edge tells observers only; a plain set carries no host time.
    host.parameter(9)->setValue(0.5f, 0, 77, ParameterAutomationEventType::Touch);
    host.parameter(9)->setValue(0.5f);
    auto events = host.automation();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].eventType, ParameterAutomationEventType::Touch);
    EXPECT_EQ(events[0].hostTime, 77u);
    EXPECT_TRUE(events[0].timed);
    EXPECT_FALSE(events[1].timed);
    EXPECT_EQ(unit->implemented.size(), 2u);
    unit->parameterTree()->removeParameterObserver(other);

    float v = 0.5f;
    EXPECT_EQ(host.parameter(9)->stringFromValue(&v), "0.5");
}

TEST(AudioUnit, BaseStateCarriesParameterValues) {
    auto unit = makeUnit();
    TestHost host(unit);
    host.setParameter(7, 0.75f);
    Dictionary state = host.saveState();
    EXPECT_EQ(state.at("type").integerValue(), fourCharCode("aumu"));
    ASSERT_TRUE(state.at("parameters").isDictionary());

    host.setParameter(7, 0.0f);
    unit->implemented.clear();
    host.restoreState(&state);
    EXPECT_FLOAT_EQ(host.parameter(7)->value(), 0.75f);

    // Unknown addresses, non-numbers and a null state are ignored.
    Dictionary odd{{"parameters", Value(Dictionary{{"x", Value(1.0)}, {"99", Value(1.0)}, {"9", Value("text")}})}};
    unit->implemented.clear();
    host.restoreState(&odd);
    host.restoreState(nullptr);
    EXPECT_TRUE(unit->implemented.empty());
}

// The host offers its editor sizes, keeps those the unit takes, and tells the unit which one it
// shows; the base takes them all and ignores the choice.
TEST(AudioUnit, ViewConfigurationsReachTheUnitThroughTheHost) {
    std::vector<AudioUnitViewConfiguration> const offered = {{800, 600, false}, {400, 300, true}, {1600, 500, true}};

    auto base = makeUnit();
    TestHost baseHost(base);
    EXPECT_EQ(baseHost.supportedViewConfigurations(offered), (std::vector<std::size_t>{0, 1, 2}));
    EXPECT_TRUE(baseHost.supportedViewConfigurations({}).empty());
    EXPECT_FALSE(baseHost.selectedViewConfiguration());
    baseHost.selectViewConfiguration(offered[2]);
    EXPECT_EQ(baseHost.selectedViewConfiguration(), offered[2]);

    // Takes only sizes that leave room for the host's own controls, and records the choice.
    class WideUnit : public ConstantUnit {
    public:
        std::vector<std::size_t> supportedViewConfigurations(std::vector<AudioUnitViewConfiguration> const& available) override {
            std::vector<std::size_t> taken;
            for (std::size_t i = 0; i < available.size(); ++i)
                if (available[i].hostHasController)
                    taken.push_back(i);
            return taken;
        }
        void selectViewConfiguration(AudioUnitViewConfiguration const& configuration) override { selected.push_back(configuration); }
        std::vector<AudioUnitViewConfiguration> selected;
    };
    auto wide = std::make_shared<WideUnit>();
    ASSERT_TRUE(wide->initWithComponentDescription(ComponentDescription{fourCharCode("aumu"), fourCharCode("Test"), fourCharCode("Lmra")}, nullptr));
    TestHost host(wide);
    EXPECT_EQ(host.supportedViewConfigurations(offered), (std::vector<std::size_t>{1, 2}));
    host.selectViewConfiguration(offered[1]);
    EXPECT_EQ(wide->selected, (std::vector<AudioUnitViewConfiguration>{offered[1]}));
}
