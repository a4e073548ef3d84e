#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace Lumora::Lv2 {

// The parameter ports' values as the host holds them, compared every cycle with the values seen
// last. Almost always none moved, so the scan first folds every port into one word (its bits
// XOR the last seen, ORed together): no branch per port, and only a word that is not zero walks
// the ports one by one. When the host keeps the values in one array at consecutive port indexes
// (as Ardour does), the scan is one compare of two contiguous arrays, a vector at a time.
//
// Values are compared by their bits: the one moved port a host may hand as -0 after 0, or as
// another NaN, is walked and recorded, and the caller decides whether the value changed.
//
// Threads: connect and the scan both run in the host's audio class (LV2 calls connect_port
// there), so the layout needs no synchronisation; nothing here allocates after construction.
class Lv2PortScan {
public:
    explicit Lv2PortScan(std::size_t ports = 0);

    // The host's value of the port of that slot; null when the host disconnects it.
    void connect(std::size_t slot, float const* value);
    std::size_t size() const { return host_.size(); }

    // Whether any connected port's value differs from the one seen last.
    bool anyMoved() {
        if (!layoutKnown_)
            findLayout();
        // The library's compare runs over both arrays a vector at a time.
        if (contiguous_ != nullptr)
            return std::memcmp(contiguous_, last_.data(), last_.size() * sizeof(std::uint32_t)) != 0;
        return foldScattered() != 0;
    }

    // Calls moved(slot, value, before) for every connected port whose value differs from the one
    // seen last (before), in slot order, and records the new value as seen.
    template <typename F>
    void takeMoved(F&& moved) {
        for (std::size_t i = 0; i < host_.size(); ++i) {
            if (host_[i] == nullptr)
                continue;
            std::uint32_t const bits = bitsAt(read_[i]);
            if (bits == last_[i])
                continue;
            float before;
            std::memcpy(&before, &last_[i], sizeof before);
            last_[i] = bits;
            moved(i, *host_[i], before);
        }
    }

private:
    static std::uint32_t bitsAt(void const* value) {
        std::uint32_t bits;
        std::memcpy(&bits, value, sizeof bits);
        return bits;
    }
    void findLayout();
    std::uint32_t foldScattered() const;

    std::vector<float const*> host_;     // as connected, null when not
    std::vector<void const*> read_;      // what the fold reads: the host's value, or for a port
                                         // not connected its own last seen (never a difference)
    std::vector<std::uint32_t> last_;    // the bits seen last, NaN before the first cycle
    unsigned char const* contiguous_ = nullptr; // the first port's value when all follow it
    bool layoutKnown_ = false;
};

} // namespace Lumora::Lv2
