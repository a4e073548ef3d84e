#pragma once

#include <atomic>
#include <cstdint>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/audiounit/AudioUnitBus.h"
#include "platform/audiounit/AudioUnitTypes.h"
#include "platform/audiounit/ParameterTree.h"
#include "platform/foundation/Error.h"
#include "platform/foundation/Object.h"
#include "platform/foundation/PropertyList.h"

namespace Platform {

// A preset a unit offers its host: factory presets have numbers from 0, user presets below 0.
struct AudioUnitPreset {
    std::int64_t number = 0;
    std::string name;
    friend bool operator==(AudioUnitPreset const&, AudioUnitPreset const&) = default;
};

// A size of editor view that the host can show, in points; hostHasController tells whether the
// host shows its own controls (a keyboard, transport) beside the view.
struct AudioUnitViewConfiguration {
    double width = 0;
    double height = 0;
    bool hostHasController = false;
    friend bool operator==(AudioUnitViewConfiguration const&, AudioUnitViewConfiguration const&) = default;
};

// The host-facing audio unit that a plug-in subclasses. The host sets bus formats and the
// maximum frame count, allocates render resources, then calls the render block from its render
// thread with the events of each call; it asks the musical context and the transport through the
// blocks it installs, and saves and restores the unit's full state as a dictionary.
//
// Threads: configuration, allocation, state and presets run on host threads (not the render
// thread); the render block runs on the host's render thread between allocation and
// deallocation.
class AudioUnit : public Object {
public:
    static constexpr unsigned kDefaultMaximumFramesToRender = 512;

    // Reaches the overridable initializer with options 0.
    bool initWithComponentDescription(ComponentDescription const& description, Error* error);
    // Stores the description; false (with an error) for a description without a type.
    virtual bool initWithComponentDescription(ComponentDescription const& description, std::uint32_t options,
                                              Error* error);
    ComponentDescription const& componentDescription() const { return description_; }

    // ---- buses (the base has none)
    virtual std::shared_ptr<AudioUnitBusArray> inputBusses() { return nullptr; }
    virtual std::shared_ptr<AudioUnitBusArray> outputBusses() { return nullptr; }

    // ---- parameters
    std::shared_ptr<ParameterTree> const& parameterTree() const { return parameterTree_; }
    void setParameterTree(std::shared_ptr<ParameterTree> tree) { parameterTree_ = std::move(tree); }

    // ---- render resources
    unsigned maximumFramesToRender() const { return maximumFramesToRender_.load(std::memory_order_relaxed); }
    // Refused while render resources are allocated, and for 0.
    bool setMaximumFramesToRender(unsigned frames);
    bool renderResourcesAllocated() const { return allocated_.load(std::memory_order_acquire); }
    // Fails without an output bus; fixes the bus formats until deallocation.
    virtual bool allocateRenderResources(Error* error);
    virtual void deallocateRenderResources();
    // Drops what the unit keeps from earlier render calls (tails, held notes).
    virtual void reset() {}

    // The subclass's render entry; the base renders nothing.
    virtual RenderBlock internalRenderBlock();
    // The host's entry: answers Uninitialized before allocation and TooManyFramesToProcess for
    // more frames than the maximum, else runs the internal block.
    RenderBlock renderBlock();

    // ---- the host's musical context and transport (none until the host installs them)
    MusicalContextBlock const& musicalContextBlock() const { return musicalContextBlock_; }
    void setMusicalContextBlock(MusicalContextBlock block) { musicalContextBlock_ = std::move(block); }
    TransportStateBlock const& transportStateBlock() const { return transportStateBlock_; }
    void setTransportStateBlock(TransportStateBlock block) { transportStateBlock_ = std::move(block); }

    // ---- state: the base saves its component codes and the tree's parameter values
    // ("parameters": address text -> value), and restores the values it finds.
    virtual Dictionary fullState();
    // A null state is ignored.
    virtual void setFullState(Dictionary const* state);
    virtual Dictionary fullStateForDocument() { return fullState(); }
    virtual void setFullStateForDocument(Dictionary const* state) { setFullState(state); }

    // ---- presets
    virtual std::vector<AudioUnitPreset> factoryPresets() { return {}; }
    virtual std::optional<AudioUnitPreset> currentPreset() const { return currentPreset_; }
    virtual void setCurrentPreset(std::optional<AudioUnitPreset> const& preset) { currentPreset_ = preset; }

    // The addresses a host shows in a compact view; the base leaves the choice to the host.
    virtual std::vector<ParameterAddress> parametersForOverviewWithCount(std::int64_t count);

    // ---- editor views (main thread): the indexes, ascending, of the host's configurations the
    // unit's view can be shown in (the base takes them all), then the one the host chose.
    virtual std::vector<std::size_t> supportedViewConfigurations(std::vector<AudioUnitViewConfiguration> const& available);
    virtual void selectViewConfiguration(AudioUnitViewConfiguration const&) {}

protected:
    AudioUnit() = default;

private:
    ComponentDescription description_;
    std::shared_ptr<ParameterTree> parameterTree_;
    // Read by the render thread.
    std::atomic<unsigned> maximumFramesToRender_{kDefaultMaximumFramesToRender};
    std::atomic<bool> allocated_{false};
    MusicalContextBlock musicalContextBlock_;
    TransportStateBlock transportStateBlock_;
    std::optional<AudioUnitPreset> currentPreset_;
};

} // namespace Platform
