#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <lv2/atom/atom.h>
#include <lv2/atom/forge.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include "platform/audiounit/AudioUnitTypes.h"
#include "plugin/lv2/Lv2EditorSource.h"
#include "plugin/lv2/Lv2HostTimeline.h"
#include "plugin/lv2/Lv2ParameterPorts.h"
#include "plugin/lv2/Lv2PortEchoes.h"
#include "plugin/lv2/Lv2PortScan.h"
#include "plugin/lv2/Lv2RenderEvents.h"
#include "plugin/lv2/Lv2Urids.h"

class Lumora_Plugin_AUViewController;
class Lumora_iOS_AudioUnit;

namespace Lumora::Lv2 {

// One LV2 instance of Corvane: the audio unit, with the view controller that owns its model,
// seen through LV2's ports, state, worker and time events. The audio unit keeps every behaviour
// it has for any host; this class only translates.
//
// - MIDI and time:Position events arrive in one atom sequence. A MIDI message becomes a render
//   event at its frame, so the unit's render block hands it to the engine in the stretch that
//   starts there. A position splits the cycle: the frames before it render with the old
//   timeline, the rest with the new one.
// - Parameters are input control ports in concrete units. A port's value reaches the engine
//   only when the host changes it; a value changed inside the plug-in (MIDI learn, a program
//   change) stays until the host moves the port again, and is announced as state:StateChanged
//   on the notification port so that the host knows its session changed. An open editor writes
//   such values to the host's ports; the host handing them back is not a change (Lv2PortEchoes).
// - Tasks the model posts to its main queue (echoes, received programs, the 1/30 s timer) run
//   in the worker, which `run` asks about 30 times a second; without a worker they run when
//   the host saves or restores state.
//
// Threads: `run` is the render thread: it allocates nothing and only tries the unit's render
// lock. State save and restore, preset loads and the worker run on host threads. The editor
// (openEditor) runs on the host's UI thread under the same guard as the worker's main queue.
class CorvaneLv2Instance : public Lv2EditorSource {
public:
    // The model's view controller and its unit (made by the entry), the host's sample rate,
    // the bundle folder and the host's features. Nothing without the features LV2 requires
    // here (urid:map) or when the unit does not take the sample rate.
    static std::unique_ptr<CorvaneLv2Instance> create(std::shared_ptr<Lumora_Plugin_AUViewController> viewController,
                                                      std::shared_ptr<Lumora_iOS_AudioUnit> unit, double sampleRate,
                                                      LV2_Feature const* const* features);
    ~CorvaneLv2Instance() override;
    CorvaneLv2Instance(CorvaneLv2Instance const&) = delete;
    CorvaneLv2Instance& operator=(CorvaneLv2Instance const&) = delete;

    void connectPort(std::uint32_t port, void* data);
    // Host thread: allocates the unit's render resources.
    void activate();
    // Render thread.
    void run(std::uint32_t frames);
    void deactivate();

    LV2_State_Status save(LV2_State_Store_Function store, LV2_State_Handle handle);
    LV2_State_Status restore(LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle);
    // Worker thread: runs what the model posted to its main queue.
    LV2_Worker_Status work();

    std::shared_ptr<Lumora_iOS_AudioUnit> const& unit() const { return unit_; }
    std::vector<Lv2ParameterPort> const& parameterPorts() const { return ports_; }

    // Runs the model's main queue, one caller at a time across every instance of the process.
    static void runMainQueue();
    // Runs work, then the model's main queue, under the same guard: for a thread (the host's UI
    // thread) that touches the model's main-thread objects while the worker may run the queue.
    static void withMainQueue(std::function<void()> const& work);

    std::unique_ptr<Lv2Editor> openEditor(unsigned long parent, Lv2HostPorts& hostPorts, std::string& error) override;
    // UI thread, under the main-queue guard: writes the ports changed inside the plug-in since the
    // last call to the host, with the grab and release of gestures.
    void tellHostPorts(Lv2HostPorts& hostPorts);

private:
    CorvaneLv2Instance() = default;
    bool init(double sampleRate, LV2_Feature const* const* features);
    void observeEngineChanges();
    // The slot in ports_ of a parameter id; ports_.size() when it has no port.
    std::size_t slotOf(int parameterId) const;

    void takeControlPorts();
    void takeEvents(std::uint32_t frames);
    void renderUntil(std::uint32_t frame);
    void renderChunk(std::uint32_t from, std::uint32_t frames);
    Platform::AudioStatus renderWithEvents(std::uint32_t from, std::uint32_t frames, Platform::RenderEvent const* list);
    void writeNotifications();
    void notifyStateChanged();
    void scheduleMainQueue();
    // A cycle without render resources or output ports: silence, and the notifications.
    void runSilent(std::uint32_t frames);

    std::shared_ptr<Lumora_Plugin_AUViewController> viewController_;
    std::shared_ptr<Lumora_iOS_AudioUnit> unit_;
    std::uint64_t observerToken_ = 0;
    double sampleRate_ = 44100.0;
    std::uint32_t maxChunk_ = 512;

    LV2_URID_Map const* map_ = nullptr;
    LV2_Worker_Schedule const* worker_ = nullptr;
    Lv2Urids urids_;
    LV2_Atom_Forge forge_{};

    LV2_Atom_Sequence const* eventsIn_ = nullptr;
    float* outLeft_ = nullptr;
    float* outRight_ = nullptr;
    Platform::AudioBufferList output_; // the unit's view of the output ports, one chunk at a time
    LV2_Atom_Sequence* notify_ = nullptr;
    std::vector<Lv2ParameterPort> ports_;
    Lv2PortScan portScan_;
    std::unique_ptr<Lv2PortEchoes> echoes_;

    Lv2RenderEvents events_;
    Lv2HostTimeline timeline_;
    std::int64_t sampleTime_ = 0;
    std::uint32_t rendered_ = 0; // frames of the current cycle already rendered
    std::uint32_t framesSincePump_ = 0;
    std::uint32_t framesPerPump_ = 1470; // the worker is asked to run the main queue this often
    bool active_ = false; // render resources allocated: the unit renders

    // Set off the render thread, taken by it.
    std::atomic<bool> adoptPorts_{false};
    std::atomic<bool> stateChanged_{false};
    std::atomic<bool> pumpScheduled_{false};
};

} // namespace Lumora::Lv2
