#include "platform/audiounit/AudioUnit.h"

#include <charconv>
#include <cmath>

namespace Platform {

namespace {

void setBusFormatsLocked(std::shared_ptr<AudioUnitBusArray> const& busses, bool locked) {
    if (busses == nullptr)
        return;
    for (auto const& bus : busses->busses()) {
        if (bus != nullptr)
            bus->setFormatLocked(locked);
    }
}

std::string addressText(ParameterAddress address) {
    char text[24];
    auto result = std::to_chars(text, text + sizeof text, address);
    return std::string(text, result.ptr);
}

std::optional<ParameterAddress> addressFromText(std::string const& text) {
    ParameterAddress address = 0;
    auto result = std::from_chars(text.data(), text.data() + text.size(), address);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size())
        return std::nullopt;
    return address;
}

} // namespace

bool AudioUnit::initWithComponentDescription(ComponentDescription const& description, Error* error) {
    return initWithComponentDescription(description, 0, error);
}

bool AudioUnit::initWithComponentDescription(ComponentDescription const& description, std::uint32_t, Error* error) {
    if (description.componentType == 0) {
        if (error != nullptr)
            *error = Error(CocoaErrorDomain, AudioUnitStatus::InvalidPropertyValue, "The component description has no type.");
        return false;
    }
    description_ = description;
    return true;
}

bool AudioUnit::setMaximumFramesToRender(unsigned frames) {
    if (renderResourcesAllocated() || frames == 0)
        return false;
    maximumFramesToRender_ = frames;
    return true;
}

bool AudioUnit::allocateRenderResources(Error* error) {
    auto outputs = outputBusses();
    if (outputs == nullptr || outputs->count() == 0) {
        if (error != nullptr)
            *error = Error(CocoaErrorDomain, AudioUnitStatus::FormatNotSupported, "The audio unit has no output bus.");
        return false;
    }
    setBusFormatsLocked(inputBusses(), true);
    setBusFormatsLocked(outputs, true);
    allocated_.store(true, std::memory_order_release);
    return true;
}

void AudioUnit::deallocateRenderResources() {
    setBusFormatsLocked(inputBusses(), false);
    setBusFormatsLocked(outputBusses(), false);
    allocated_.store(false, std::memory_order_release);
}

RenderBlock AudioUnit::internalRenderBlock() {
    return [](RenderActionFlags&, AudioTimeStamp const&, std::uint32_t, std::int64_t, AudioBufferList&,
              RenderEvent const*, RenderPullInputBlock const*) { return AudioUnitStatus::NoError; };
}

RenderBlock AudioUnit::renderBlock() {
    RenderBlock internal = internalRenderBlock();
    return [this, internal](RenderActionFlags& flags, AudioTimeStamp const& timestamp, std::uint32_t frames,
                            std::int64_t bus, AudioBufferList& output, RenderEvent const* events,
                            RenderPullInputBlock const* pull) -> AudioStatus {
        if (!renderResourcesAllocated())
            return AudioUnitStatus::Uninitialized;
        if (frames > maximumFramesToRender())
            return AudioUnitStatus::TooManyFramesToProcess;
        return internal(flags, timestamp, frames, bus, output, events, pull);
    };
}

Dictionary AudioUnit::fullState() {
    Dictionary state;
    state["type"] = Value(description_.componentType);
    state["subtype"] = Value(description_.componentSubType);
    state["manufacturer"] = Value(description_.componentManufacturer);
    state["version"] = Value(0);
    if (parameterTree_ != nullptr) {
        Dictionary values;
        for (auto const& parameter : parameterTree_->allParameters())
            values[addressText(parameter->address())] = Value(parameter->value());
        state["parameters"] = Value(std::move(values));
    }
    return state;
}

void AudioUnit::setFullState(Dictionary const* state) {
    if (state == nullptr || parameterTree_ == nullptr)
        return;
    auto found = state->find("parameters");
    if (found == state->end() || !found->second.isDictionary())
        return;
    for (auto const& [key, value] : *found->second.dictionary()) {
        auto address = addressFromText(key);
        if (!address || !value.isNumber())
            continue;
        AudioUnitParameter* parameter = parameterTree_->parameterWithAddress(*address);
        double v = value.doubleValue();
        if (parameter != nullptr && std::isfinite(v))
            parameter->setValue(static_cast<float>(v));
    }
}

std::vector<ParameterAddress> AudioUnit::parametersForOverviewWithCount(std::int64_t) {
    return {};
}

std::vector<std::size_t> AudioUnit::supportedViewConfigurations(std::vector<AudioUnitViewConfiguration> const& available) {
    std::vector<std::size_t> indexes(available.size());
    for (std::size_t i = 0; i < indexes.size(); ++i)
        indexes[i] = i;
    return indexes;
}

} // namespace Platform
