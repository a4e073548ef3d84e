#include "plugin/lv2/Lv2PortScan.h"

#include <limits>

namespace Lumora::Lv2 {

Lv2PortScan::Lv2PortScan(std::size_t ports) : host_(ports, nullptr), read_(ports), last_(ports) {
    float const unseen = std::numeric_limits<float>::quiet_NaN();
    for (std::size_t i = 0; i < ports; ++i) {
        std::memcpy(&last_[i], &unseen, sizeof unseen);
        read_[i] = &last_[i];
    }
}

void Lv2PortScan::connect(std::size_t slot, float const* value) {
    if (slot >= host_.size())
        return;
    host_[slot] = value;
    read_[slot] = value != nullptr ? static_cast<void const*>(value) : static_cast<void const*>(&last_[slot]);
    layoutKnown_ = false;
}

// Worked out on the first scan after the connections change, not on every connect: a host
// connects the ports one by one.
void Lv2PortScan::findLayout() {
    layoutKnown_ = true;
    contiguous_ = nullptr;
    if (host_.empty() || host_[0] == nullptr)
        return;
    for (std::size_t i = 1; i < host_.size(); ++i) {
        if (host_[i] != host_[0] + i)
            return;
    }
    contiguous_ = reinterpret_cast<unsigned char const*>(host_[0]);
}

std::uint32_t Lv2PortScan::foldScattered() const {
    std::size_t const count = last_.size();
    void const* const* const read = read_.data();
    std::uint32_t const* const last = last_.data();
    // Two words, so that the loads of one port do not wait for the other's OR.
    std::uint32_t even = 0;
    std::uint32_t odd = 0;
    std::size_t i = 0;
    for (; i + 1 < count; i += 2) {
        even |= bitsAt(read[i]) ^ last[i];
        odd |= bitsAt(read[i + 1]) ^ last[i + 1];
    }
    if (i < count)
        even |= bitsAt(read[i]) ^ last[i];
    return even | odd;
}

} // namespace Lumora::Lv2
