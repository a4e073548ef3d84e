#include <gtest/gtest.h>

#include <atomic>
#include <clocale>
#include <thread>
#include <string>
#include <utility>
#include <vector>

#include "engine/audio/iAudioEngine.h"
#include "engine/audio/iAudioEngineObservers.h"
#include "engine/mapping/MidiParamMapper.h"
#include "engine/parameter/ParameterManager.h"
#include "engine/parameter/TypedParameters.h"

using namespace Lumora;
using Key = MidiParamMapper::MidiKey;
using Math::Shaper1bp;

namespace {

constexpr auto kNone = Parameter::Options::None;
constexpr auto kSound = SerializeWhat::SoundParameters;

class TestEngine : public iAudioEngine {
public:
    TestEngine() : iAudioEngine(0, 2, {}, {}) {}
    ParameterManager& parameterManager() override { return manager; }
    ParameterManager const& parameterManager() const override { return manager; }

    ParameterManager manager{"Test", 2, nullptr};
    Parameter_UFloat cutoff{&manager, 10, "Cutoff", "CUTOFF", 0.8f, 0.0f, 1.0f, kNone, kSound, 0};
    Parameter_UFloat narrow{&manager, 11, "Narrow", "NARROW", 0.5f, 0.25f, 0.75f, kNone, kSound, 0};
    Parameter_UInt steps{&manager, 12, "Steps", "STEPS", 64, 0, 127, kNone, kSound, 0};
    Parameter_Bool toggle{&manager, 13, "Toggle", "TOGGLE", false, kNone, kSound, 0};
};

class Recorder : public iAudioEngine::NotificationObserver {
public:
    void handleNotification(int, int) override {}
    void push(int id, int param) override { received.emplace_back(id, param); }
    std::vector<std::pair<int, int>> received;
};

MidiMessage cc(int channel, int number, int value) { return MidiMessage(0xB0 | channel, number, value); }

class MapperTest : public ::testing::Test {
protected:
    MapperTest() { engine.addNotificationObserver(&recorder); }

    void send(std::deque<MidiMessage> midi) { mapper().process(midi, &engine.manager); }
    MidiParamMapper& mapper() { return engine.midiParamMapper(); }

    TestEngine engine;
    Recorder recorder;
};

} // namespace

TEST(MidiKey, ValidationAndOrdering) {
    EXPECT_TRUE(Key(-1, 0xB0, 119).isValid());
    EXPECT_FALSE(Key(0, 0xB0, 120).isValid());
    EXPECT_TRUE(Key(15, 0xD0, 0).isValid());
    EXPECT_FALSE(Key(16, 0xB0, 1).isValid());
    EXPECT_FALSE(Key(0, 0xB1, 1).isValid());
    EXPECT_TRUE(Key(0, 0xB0, 120) == Key(-1, 0, 0));
    EXPECT_TRUE(Key(MidiMessage(0xD3, 99, 0)) == Key(3, 0xD0, 0));
    EXPECT_TRUE(Key(MidiMessage(0xB7, 74, 5)) == Key(7, 0xB0, 74));

    // Strict weak ordering over keys with and without a channel.
    std::vector<Key> const keys = {Key(-1, 0xB0, 74), Key(3, 0xB0, 74), Key(0, 0xB0, 74),
                                   Key(-1, 0xB0, 1),  Key(2, 0xD0, 0),  Key(-1, 0xD0, 0)};
    for (auto const& a : keys) {
        EXPECT_FALSE(a < a);
        for (auto const& b : keys) {
            EXPECT_FALSE(a < b && b < a);
            for (auto const& c : keys) {
                if (a < b && b < c) {
                    EXPECT_TRUE(a < c);
                }
            }
        }
    }
}

TEST_F(MapperTest, LearnSweepsParameterRangeAndNotifies) {
    mapper().startLearning(11);
    send({MidiMessage(0x90, 60, 100), cc(5, 74, 127)});
    EXPECT_FALSE(mapper().isLearning());
    MidiParamMapper::Element* element = mapper().findElement(11);
    ASSERT_NE(element, nullptr);
    EXPECT_TRUE(element->midiSource().midiKey() == Key(-1, 0xB0, 74));
    EXPECT_TRUE(element->shaper() == Shaper1bp(0.25f, 0.5f, 0.5f, 0.75f));
    EXPECT_FLOAT_EQ(engine.narrow.normalizedValue(), 0.75f);
    std::vector<std::pair<int, int>> const expected = {{1002, 11}, {1003, 11}, {1004, -1}};
    EXPECT_EQ(recorder.received, expected);

    // Learned for any channel: every channel moves it.
    for (int channel : {0, 9, 15}) {
        send({cc(channel, 74, 0)});
        EXPECT_FLOAT_EQ(engine.narrow.normalizedValue(), 0.25f);
        send({cc(channel, 74, 127)});
        EXPECT_FLOAT_EQ(engine.narrow.normalizedValue(), 0.75f);
    }
}

TEST_F(MapperTest, ChannelModeControllersCannotBeLearned) {
    mapper().startLearning(10);
    send({cc(0, 120, 0), cc(0, 123, 0)});
    EXPECT_TRUE(mapper().isLearning());
    EXPECT_EQ(mapper().numberOfElements(), 0u);
    send({cc(0, 64, 127)});
    EXPECT_FALSE(mapper().isLearning());
    EXPECT_NE(mapper().findElement(10), nullptr);

    mapper().startLearning(12);
    mapper().stopLearning();
    mapper().stopLearning();
    std::vector<std::pair<int, int>> const expected = {{1002, 10}, {1003, 10}, {1004, -1}, {1002, 12}, {1004, -1}};
    EXPECT_EQ(recorder.received, expected);
}

TEST_F(MapperTest, ChannelKeysAndAnyChannelKeysCoexist) {
    mapper().newElement(10, Key(3, 0xB0, 20), Shaper1bp());
    mapper().newElement(12, Key(-1, 0xB0, 20), Shaper1bp());
    mapper().newElement(11, Key(5, 0xB0, 20), Shaper1bp());
    send({cc(3, 20, 0)});
    EXPECT_FLOAT_EQ(engine.cutoff.normalizedValue(), 0.0f);
    EXPECT_EQ(engine.steps.concreteValue(), 0.0f);
    EXPECT_FLOAT_EQ(engine.narrow.normalizedValue(), 0.5f); // channel 5 only
    send({cc(4, 20, 127)});
    EXPECT_FLOAT_EQ(engine.cutoff.normalizedValue(), 0.0f); // channel 3 only
    EXPECT_EQ(engine.steps.concreteValue(), 127.0f);
    send({cc(5, 20, 127)});
    EXPECT_FLOAT_EQ(engine.narrow.normalizedValue(), 0.75f);

    // Re-keying moves the element; its old key no longer reacts.
    mapper().newElement(10, Key(3, 0xB0, 21), Shaper1bp());
    send({cc(3, 20, 127)});
    EXPECT_FLOAT_EQ(engine.cutoff.normalizedValue(), 0.0f);
    send({cc(3, 21, 127)});
    EXPECT_FLOAT_EQ(engine.cutoff.normalizedValue(), 1.0f);
    EXPECT_EQ(mapper().numberOfElements(), 3u);
    EXPECT_EQ(mapper().removeElementByParamID(10), 1);
    EXPECT_EQ(mapper().removeElementByParamID(10), 0);
    EXPECT_EQ(mapper().findElement(10), nullptr);
}

TEST_F(MapperTest, ChannelPressureUsesFirstDataByte) {
    mapper().newElement(10, Key(-1, 0xD0, 0), Shaper1bp());
    send({MidiMessage(0xD2, 127, 0)});
    EXPECT_FLOAT_EQ(engine.cutoff.normalizedValue(), 1.0f);
}

TEST_F(MapperTest, PickUpWaitsUntilControllerPassesFloatValue) {
    mapper().setTakeOverMode(MidiParamMapper::TakeOverMode::PickUp);
    mapper().newElement(10, Key(-1, 0xB0, 1), Shaper1bp());
    for (int value : {10, 20, 30, 100}) {
        send({cc(0, 1, value)});
        EXPECT_FLOAT_EQ(engine.cutoff.normalizedValue(), 0.8f) << value;
    }
    send({cc(0, 1, 105)});
    EXPECT_FLOAT_EQ(engine.cutoff.normalizedValue(), 105.0f / 127.0f);
    send({cc(0, 1, 50)});
    EXPECT_FLOAT_EQ(engine.cutoff.normalizedValue(), 50.0f / 127.0f);
}

TEST_F(MapperTest, PickUpPullsParameterOutsideCurveRange) {
    mapper().setTakeOverMode(MidiParamMapper::TakeOverMode::PickUp);
    engine.cutoff.setNormalizedValue(0.9f, Parameter::Token::Mixed, AutomationEventType::None);
    mapper().newElement(10, Key(-1, 0xB0, 1), Shaper1bp(0.2f, 0.5f, 0.4f, 0.6f));
    send({cc(0, 1, 0)});
    EXPECT_FLOAT_EQ(engine.cutoff.normalizedValue(), 0.6f);
}

TEST_F(MapperTest, PickUpForIntegersAndJumpForBooleans) {
    mapper().setTakeOverMode(MidiParamMapper::TakeOverMode::PickUp);
    mapper().newElement(12, Key(-1, 0xB0, 2), Shaper1bp());
    mapper().newElement(13, Key(-1, 0xB0, 3), Shaper1bp());
    send({cc(0, 2, 10)});
    send({cc(0, 2, 40)});
    EXPECT_EQ(engine.steps.concreteValue(), 64.0f);
    send({cc(0, 2, 70)}); // 40 -> 70 passes 64
    EXPECT_EQ(engine.steps.concreteValue(), 70.0f);
    send({cc(0, 3, 127)});
    EXPECT_EQ(engine.toggle.normalizedValue(), 1.0f);
}

TEST_F(MapperTest, TextRoundTripAndReaderTolerance) {
    mapper().startLearning(10);
    send({cc(0, 74, 64)});
    mapper().newElement(12, Key(3, 0xD0, 0), Shaper1bp(1.0f, 0.25f, 0.125f, 0.0f));
    std::string const text = mapper().serialize(&engine.manager);
    EXPECT_EQ(text, "CUTOFF\t-1\t176\t74\t0.000000\t0.500000\t0.500000\t1.000000\n"
                    "STEPS\t3\t208\t0\t1.000000\t0.250000\t0.125000\t0.000000\n");

    MidiParamMapper other(nullptr);
    EXPECT_TRUE(other.deserialize(text, &engine.manager));
    EXPECT_EQ(other.serialize(&engine.manager), text);

    // Trailing tab: nine fields, identity curve. Channel 16: dropped silently. Short line and
    // unknown name: errors. A later line for the same parameter wins.
    EXPECT_FALSE(other.deserialize("NARROW\t2\t176\t7\t0.1\t0.2\t0.3\t0.4\t\n"
                                   "CUTOFF\t16\t176\t1\n"
                                   "STEPS\t1\t176\n"
                                   "NOPE\t1\t176\t9\n",
                                   &engine.manager));
    EXPECT_EQ(other.serialize(&engine.manager), "NARROW\t2\t176\t7\t0.000000\t0.500000\t0.500000\t1.000000\n");

    EXPECT_TRUE(other.deserialize("CUTOFF\t16\t176\t1\nNARROW\t1\t176\t7\nNARROW\t 2xyz\t176\t8\t0\t0.5\t0.5\t1",
                                  &engine.manager));
    EXPECT_EQ(other.serialize(&engine.manager), "NARROW\t2\t176\t8\t0.000000\t0.500000\t0.500000\t1.000000\n");

    EXPECT_FALSE(other.deserialize("NARROW\t1\t176\t8\t0\tx\t0.5\t1\n", &engine.manager));
    EXPECT_EQ(other.numberOfElements(), 0u);
    EXPECT_FALSE(other.deserialize("NARROW\t99999999999\t176\t8\n", &engine.manager));

    // An empty text reads as "no mappings": it replaces the old ones with none.
    other.newElement(11, Key(1, 0xB0, 1), Shaper1bp());
    EXPECT_FALSE(other.deserialize("", &engine.manager));
    EXPECT_EQ(other.numberOfElements(), 0u);
}

TEST_F(MapperTest, RemovesElementsOfMissingParametersAndInvalidKeys) {
    mapper().newElement(10, Key(0, 0xB0, 1), Shaper1bp());
    mapper().newElement(99, Key(0, 0xB0, 2), Shaper1bp());
    mapper().newElement(11, Key(0, 0xB0, 120), Shaper1bp()); // replaced by an invalid key
    EXPECT_EQ(mapper().removeInvalidElements(&engine.manager), 2);
    EXPECT_EQ(mapper().numberOfElements(), 1u);
    EXPECT_NE(mapper().findElement(10), nullptr);
}

// The render cycle turns learned controllers into parameter changes.
TEST_F(MapperTest, RenderCycleAppliesMappedControllers) {
    mapper().newElement(10, Key(-1, 0xB0, 74), Shaper1bp());
    float left[64] = {};
    float right[64] = {};
    std::vector<float const*> const inputs;
    std::vector<float*> const outputs = {left, right};
    std::deque<MidiMessage> const midi = {cc(0, 74, 0)};
    engine.renderBlock_callFrom_AudioIO(inputs, outputs, 64, 44100.0f, midi, SyncInformation{});
    EXPECT_FLOAT_EQ(engine.cutoff.normalizedValue(), 0.0f);
}

// The render thread takes the mapper's lock for every controller it applies: while a long mapping
// text is read on another thread, the lock stays free but for the moment the new mapping is
// swapped in.
TEST_F(MapperTest, ReadingALongMappingLeavesTheLockFreeWhileItParses) {
    std::string text;
    for (int i = 0; i < 60000; ++i)
        text += std::string(i % 2 ? "CUTOFF" : "NARROW") + "\t" + std::to_string(i % 16) + "\t176\t" +
                std::to_string(i % 120) + "\t0.0\t0.5\t0.5\t1.0\n";
    std::atomic<bool> done{false};
    std::thread reader([&] {
        mapper().deserialize(text, &engine.manager);
        done = true;
    });
    long tries = 0;
    long taken = 0;
    while (!done.load()) {
        if (mapper().mutex().try_lock()) {
            mapper().mutex().unlock();
        } else {
            ++taken;
        }
        ++tries;
    }
    reader.join();
    ASSERT_GT(tries, 100) << "the text was read too fast to tell";
    EXPECT_LT(double(taken) / double(tries), 0.1) << taken << " of " << tries << " tries found the lock held";
    EXPECT_EQ(mapper().numberOfElements(), 2u);
}
