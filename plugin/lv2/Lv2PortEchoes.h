#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

namespace Lumora::Lv2 {

// The plug-in's own parameter changes on their way to the host's control ports, and back.
//
// A value changed inside the plug-in (the editor, a preset from its own browser, MIDI learn) is
// marked here when the unit announces it; the open editor writes the marked ports' values to the
// host (LV2 UIs are the only way to move a host's input port). The host then sets its port to
// that value, and `run` would see a port the host moved. Such an echo must not reach the engine:
// by the time it arrives the editor may have moved on (a knob dragged further), and applying the
// older value would pull the knob back. So the values written are kept, a few per port, and a
// port change equal to one of them is taken without applying it; any other change is the host's
// own (automation, its controls) and applies as before.
//
// Threads: mark and take run under the model's main-queue guard (the worker's or the editor's
// main-queue runs); noteWritten runs on the host's UI thread; isEcho on the render thread, which
// only reads and writes atomics here.
class Lv2PortEchoes {
public:
    // What the host is to be told of one port.
    enum Change : std::uint8_t { Value = 1, Grab = 2, Release = 4 };

    explicit Lv2PortEchoes(std::size_t ports = 0);

    // The port of that slot changed inside the plug-in; a gesture's begin or end marks Grab or
    // Release as well.
    void mark(std::size_t slot, std::uint8_t change);
    // Hands every marked slot with its changes to the function, in slot order, and unmarks them.
    template <typename F>
    void take(F&& tell) {
        std::vector<std::pair<std::size_t, std::uint8_t>> taken;
        {
            std::lock_guard<std::mutex> lock(marksLock_);
            for (std::size_t slot : marked_) {
                taken.emplace_back(slot, marks_[slot]);
                marks_[slot] = 0;
            }
            marked_.clear();
        }
        for (auto const& [slot, change] : taken)
            tell(slot, change);
    }

    // The value written to the host for the port of that slot.
    void noteWritten(std::size_t slot, float value);
    // Render thread: whether the port's new value is one the editor wrote. Once the newest value
    // written comes back, the older ones are forgotten too (the host delivers in order).
    bool isEcho(std::size_t slot, float value);
    // Whether value is the last one written for the slot and not yet handed back.
    bool lastWritten(std::size_t slot, float value) const;
    // Render thread: the host moved the port itself; values written before are stale.
    void forget(std::size_t slot);

private:
    // Enough for a second of a drag at the editor's 30 idles a second: the echoes a host has not
    // yet handed back.
    static constexpr std::size_t kKept = 32;

    std::mutex marksLock_;
    std::vector<std::uint8_t> marks_;
    std::vector<std::size_t> marked_;

    std::unique_ptr<std::atomic<float>[]> written_;        // kKept per slot, NaN when free
    std::unique_ptr<std::atomic<std::uint32_t>[]> newest_; // per slot: the index of the newest
    std::size_t slots_ = 0;
};

} // namespace Lumora::Lv2
