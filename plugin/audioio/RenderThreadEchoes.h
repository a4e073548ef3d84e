#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>

#include "engine/parameter/Parameter.h"

class Lumora_iOS_AudioUnit;

namespace Lumora {

// Parameter changes made inside a render call (a learned MIDI controller moving a parameter),
// kept for the main thread, which tells the host. The render thread may neither allocate nor wait
// on a lock, so the changes wait in a fixed open-addressed set of parameter ids: marking an id is a
// few atomic operations, and an id marked again before the main thread comes keeps one place.
class RenderThreadEchoes {
public:
    static constexpr std::size_t kSlots = 1024;

    // Render thread: remembers that the parameter changed, with its latest event. False only when
    // every slot holds another parameter, far more than any sound has.
    bool mark(int id, AutomationEventType event);

    // Main and host threads: the unit the changes are told to.
    void setAudioUnit(std::weak_ptr<Lumora_iOS_AudioUnit> unit);
    // Main thread: tells the unit of each remembered change and forgets it.
    void tellAudioUnit();

    // Whether the calling thread is inside a render call of the plug-in.
    static bool isRenderThread();
    // Marks the calling thread as inside a render call for the scope's life. The thread's flag is
    // looked up once: in a plug-in loaded at run time each lookup is a call into the loader.
    class RenderScope {
    public:
        RenderScope();
        ~RenderScope() {
            if (outer_)
                *inside_ = false;
        }
        RenderScope(RenderScope const&) = delete;
        RenderScope& operator=(RenderScope const&) = delete;

    private:
        bool* const inside_;
        bool const outer_;
    };

private:
    std::array<std::atomic<int>, kSlots> ids_{};      // id + 1; 0 is a free slot
    std::array<std::atomic<int>, kSlots> events_{};
    std::mutex unitLock_;                             // never taken on the render thread
    std::weak_ptr<Lumora_iOS_AudioUnit> unit_;
};

} // namespace Lumora
