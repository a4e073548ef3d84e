#include <gtest/gtest.h>

#include "plugin/support/PluginTestSupport.h"

#include "common/CountingAllocator.h"

#include <chrono>

#include "engine/mapping/MidiParamMapper.h"
#include "platform/audiounit/ParameterTree.h"
#include "platform/foundation/RunLoop.h"

using namespace PluginTest;

namespace {

// Renders without recording anything.
class QuietEngine : public RecordingEngine {
protected:
    void audioProcess(std::vector<float const*> const&, std::vector<float*> const& outputs, unsigned frames, float,
                      Lumora::Clock const&, MidiDeque const&) override {
        for (float* out : outputs)
            for (unsigned i = 0; i < frames; ++i)
                out[i] = 0.25f;
    }
};

} // namespace

// Once render resources are allocated, a render call split at parameter and MIDI events, with
// the host's musical context and transport, allocates nothing.
TEST(PluginRenderAllocation, SteadyStateCallsAllocateNothing) {
    QuietEngine engine;
    auto io = std::make_unique<Lumora::AudioIO_for_iOS_Plugin>(&engine);
    auto unit = io->createAudioUnit(instrumentDescription(), nullptr, nullptr);
    ASSERT_NE(unit, nullptr);
    double beat = 0.0;
    unit->setMusicalContextBlock([&](double* tempo, double* num, std::int64_t* den, double* b, std::int64_t*, double* bar) {
        *tempo = 120.0;
        *num = 4.0;
        *den = 4;
        *b = beat;
        *bar = 0.0;
        return true;
    });
    unit->setTransportStateBlock([](std::uint64_t* flags, double*, double*, double*) {
        *flags = Platform::TransportStateFlags::Moving;
        return true;
    });
    ASSERT_TRUE(unit->allocateRenderResources(nullptr));
    Platform::RenderBlock render = unit->renderBlock();

    std::vector<float> left(512), right(512);
    Platform::AudioBufferList list;
    list.numberBuffers = 2;
    Platform::RenderEvent events[6];
    auto call = [&](int i) {
        std::int64_t const start = std::int64_t(i) * 512;
        events[0].eventType = Platform::RenderEventType::Parameter;
        events[0].parameterAddress = kCutoff;
        events[0].value = float(i % 10) / 10.0f;
        events[1].eventType = Platform::RenderEventType::MIDI;
        events[1].length = 3;
        events[1].data = {0x90, std::uint8_t(60 + i % 12), 100};
        events[2] = events[1];
        events[2].data = {0x80, std::uint8_t(60 + i % 12), 0};
        events[3] = events[0];
        events[3].parameterAddress = kPan;
        events[4] = events[1];
        events[5] = events[0];
        std::int64_t const offsets[6] = {0, 0, 100, 100, 300, 511};
        for (int e = 0; e < 6; ++e) {
            events[e].eventSampleTime = start + offsets[e];
            events[e].next = e + 1 < 6 ? &events[e + 1] : nullptr;
        }
        list.buffers[0].data = (i % 2) ? left.data() : nullptr;
        list.buffers[1].data = (i % 2) ? right.data() : nullptr;
        Platform::RenderActionFlags flags = 0;
        Platform::AudioTimeStamp timestamp{double(start), std::uint64_t(start)};
        beat = double(i) * 0.5;
        return render(flags, timestamp, 512, 0, list, events, nullptr);
    };
    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(call(i), Platform::AudioUnitStatus::NoError);

    counting = true;
    for (int i = 20; i < 120; ++i)
        call(i);
    counting = false;
    EXPECT_EQ(allocations.load(), 0);

    unit->deallocateRenderResources();
    unit.reset();
    io.reset();
}

// A learned controller moving a parameter inside render calls: the change reaches the host through
// the main thread, and the render calls allocate nothing and post nothing for it.
TEST(PluginRenderAllocation, ALearnedControllerAllocatesNothingAndStillReachesTheHost) {
    QuietEngine engine;
    auto io = std::make_unique<Lumora::AudioIO_for_iOS_Plugin>(&engine);
    auto unit = io->createAudioUnit(instrumentDescription(), nullptr, nullptr);
    ASSERT_NE(unit, nullptr);
    ASSERT_TRUE(unit->allocateRenderResources(nullptr));
    engine.midiParamMapper().newElement(kCutoff, Lumora::MidiParamMapper::MidiKey(-1, 0xB0, 74), Lumora::Math::Shaper1bp());
    Platform::RenderBlock render = unit->renderBlock();
    Platform::RunLoop::main().runOnce();

    std::vector<float> left(256), right(256);
    Platform::AudioBufferList list;
    list.numberBuffers = 2;
    list.buffers[0].data = left.data();
    list.buffers[1].data = right.data();
    Platform::RenderEvent controller;
    auto call = [&](int i) {
        controller.eventType = Platform::RenderEventType::MIDI;
        controller.length = 3;
        controller.data = {0xB0, 74, std::uint8_t(i % 128)};
        controller.eventSampleTime = std::int64_t(i) * 256 + 17;
        controller.next = nullptr;
        Platform::RenderActionFlags flags = 0;
        Platform::AudioTimeStamp timestamp{double(i) * 256, std::uint64_t(i) * 256};
        return render(flags, timestamp, 256, 0, list, &controller, nullptr);
    };
    for (int i = 0; i < 20; ++i)
        ASSERT_EQ(call(i), Platform::AudioUnitStatus::NoError);

    counting = true;
    for (int i = 20; i < 100; ++i)
        call(i);
    counting = false;
    EXPECT_EQ(allocations.load(), 0);

    // The last controller value, 99 of 127, reaches the host's parameter within a main-thread tick.
    Platform::RunLoop::main().runFor(std::chrono::milliseconds(100));
    auto* parameter = unit->parameterTree()->parameterWithAddress(kCutoff);
    ASSERT_NE(parameter, nullptr);
    EXPECT_NEAR(parameter->value(), engine.cutoff.normalizedValue(), 1e-6);
    EXPECT_NEAR(engine.cutoff.normalizedValue(), 99.0f / 127.0f, 0.02f);

    unit->deallocateRenderResources();
    unit.reset();
    io.reset();
}
