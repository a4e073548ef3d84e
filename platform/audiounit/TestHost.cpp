#include "platform/audiounit/TestHost.h"

#include <algorithm>
#include <cstring>

namespace Platform {

TestHost::Event TestHost::Event::midi(std::int64_t offset, std::uint8_t status, std::uint8_t data1, std::uint8_t data2) {
    Event e;
    e.offset = offset;
    e.type = RenderEventType::MIDI;
    e.data = {status, data1, data2};
    return e;
}

TestHost::Event TestHost::Event::parameter(std::int64_t offset, ParameterAddress address, float value) {
    Event e;
    e.offset = offset;
    e.type = RenderEventType::Parameter;
    e.address = address;
    e.value = value;
    return e;
}

TestHost::Event TestHost::Event::ramp(std::int64_t offset, ParameterAddress address, float endValue, std::uint32_t frames) {
    Event e = parameter(offset, address, endValue);
    e.type = RenderEventType::ParameterRamp;
    e.rampFrames = frames;
    return e;
}

TestHost::TestHost(std::shared_ptr<AudioUnit> unit, bool providesHostBlocks) : unit_(std::move(unit)) {
    if (providesHostBlocks) {
        unit_->setMusicalContextBlock([this](double* tempo, double* numerator, std::int64_t* denominator, double* beat,
                                             std::int64_t* offsetToNextBeat, double* downbeat) {
            ++contextPolls_;
            if (!context_)
                return false;
            if (tempo) *tempo = context_->tempo;
            if (numerator) *numerator = context_->timeSignatureNumerator;
            if (denominator) *denominator = context_->timeSignatureDenominator;
            if (beat) *beat = context_->beatPosition;
            if (offsetToNextBeat) *offsetToNextBeat = context_->sampleOffsetToNextBeat;
            if (downbeat) *downbeat = context_->measureDownbeatPosition;
            return true;
        });
        unit_->setTransportStateBlock([this](std::uint64_t* flags, double* position, double* cycleStart, double* cycleEnd) {
            ++transportPolls_;
            if (!transport_)
                return false;
            if (flags) *flags = transport_->flags;
            if (position) *position = transport_->samplePosition;
            if (cycleStart) *cycleStart = transport_->cycleStartBeatPosition;
            if (cycleEnd) *cycleEnd = transport_->cycleEndBeatPosition;
            return true;
        });
    }
    if (auto const& tree = unit_->parameterTree()) {
        observerToken_ = tree->tokenByAddingParameterAutomationObserver([this](ParameterAutomationEvent const& event) {
            std::lock_guard lock(automationLock_);
            automation_.push_back(event);
        });
        // The host's own writes carry a token of their own, so its observer is not told of them.
        hostToken_ = observerToken_;
    }
}

TestHost::~TestHost() {
    if (unit_->renderResourcesAllocated())
        unit_->deallocateRenderResources();
    if (auto const& tree = unit_->parameterTree(); tree && observerToken_ != 0)
        tree->removeParameterObserver(observerToken_);
    unit_->setMusicalContextBlock(nullptr);
    unit_->setTransportStateBlock(nullptr);
}

void TestHost::setMusicalContext(std::optional<MusicalContext> context) { context_ = context; }
void TestHost::setTransport(std::optional<Transport> transport) { transport_ = transport; }

bool TestHost::setOutputSampleRate(double sampleRate) {
    auto busses = unit_->outputBusses();
    if (busses == nullptr || busses->count() == 0)
        return false;
    AudioFormat format = (*busses)[0]->format();
    format.sampleRate = sampleRate;
    return (*busses)[0]->setFormat(format);
}

bool TestHost::allocate(Error* error) {
    if (!unit_->allocateRenderResources(error))
        return false;
    renderBlock_ = unit_->renderBlock();
    return true;
}

void TestHost::deallocate() {
    unit_->deallocateRenderResources();
}

AudioStatus TestHost::render(unsigned frames, std::vector<Event> const& events, bool unitBuffers) {
    if (!renderBlock_)
        renderBlock_ = unit_->renderBlock();

    auto busses = unit_->outputBusses();
    unsigned channels = busses && busses->count() > 0 ? (*busses)[0]->format().channelCount : 2;
    output_.assign(channels, std::vector<float>(frames, -99.0f));

    AudioBufferList list;
    list.numberBuffers = channels;
    for (unsigned c = 0; c < channels; ++c) {
        list.buffers[c].numberChannels = 1;
        list.buffers[c].dataByteSize = static_cast<std::uint32_t>(frames * sizeof(float));
        list.buffers[c].data = unitBuffers ? nullptr : output_[c].data();
    }

    // The host links its events in time order.
    std::vector<Event> sorted = events;
    std::stable_sort(sorted.begin(), sorted.end(), [](Event const& a, Event const& b) { return a.offset < b.offset; });
    std::vector<RenderEvent> linked(sorted.size());
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        RenderEvent& r = linked[i];
        r.eventSampleTime = sampleTime_ + sorted[i].offset;
        r.eventType = sorted[i].type;
        r.parameterAddress = sorted[i].address;
        r.value = sorted[i].value;
        r.rampDurationSampleFrames = sorted[i].rampFrames;
        r.data = sorted[i].data;
        r.length = sorted[i].length;
        r.next = i + 1 < linked.size() ? &linked[i + 1] : nullptr;
    }

    RenderPullInputBlock pull = [this](RenderActionFlags&, AudioTimeStamp const&, std::uint32_t count, std::int64_t,
                                       AudioBufferList& input) -> AudioStatus {
        ++inputPulls_;
        input_.resize(input.numberBuffers);
        for (std::uint32_t c = 0; c < input.numberBuffers; ++c) {
            input_[c].assign(count, static_cast<float>(c + 1));
            if (input.buffers[c].data == nullptr)
                input.buffers[c].data = input_[c].data();
            else
                std::memcpy(input.buffers[c].data, input_[c].data(), count * sizeof(float));
        }
        return AudioUnitStatus::NoError;
    };

    RenderActionFlags flags = 0;
    AudioTimeStamp timestamp{static_cast<double>(sampleTime_), hostTime_};
    AudioStatus status = renderBlock_(flags, timestamp, frames, 0, list, linked.empty() ? nullptr : &linked[0], &pull);
    if (status == AudioUnitStatus::NoError) {
        for (unsigned c = 0; c < channels; ++c) {
            if (list.buffers[c].data != output_[c].data() && list.buffers[c].data != nullptr)
                std::memcpy(output_[c].data(), list.buffers[c].data, frames * sizeof(float));
        }
    }
    sampleTime_ += frames;
    hostTime_ += frames;
    return status;
}

AudioUnitParameter* TestHost::parameter(ParameterAddress address) const {
    auto const& tree = unit_->parameterTree();
    return tree ? tree->parameterWithAddress(address) : nullptr;
}

void TestHost::setParameter(ParameterAddress address, float value) {
    if (AudioUnitParameter* p = parameter(address))
        p->setValue(value, hostToken_, hostTime_, ParameterAutomationEventType::Value);
}

std::vector<ParameterAutomationEvent> TestHost::automation() const {
    std::lock_guard lock(automationLock_);
    return automation_;
}

void TestHost::clearAutomation() {
    std::lock_guard lock(automationLock_);
    automation_.clear();
}

std::vector<std::size_t> TestHost::supportedViewConfigurations(std::vector<AudioUnitViewConfiguration> const& available) {
    return unit_->supportedViewConfigurations(available);
}

void TestHost::selectViewConfiguration(AudioUnitViewConfiguration const& configuration) {
    selectedView_ = configuration;
    unit_->selectViewConfiguration(configuration);
}

} // namespace Platform
