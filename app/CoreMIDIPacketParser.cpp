#include "app/CoreMIDIPacketParser.h"

#include "app/CoreMIDIObserver.h"

namespace Lumora::CoreMIDI {

namespace {
bool isStatus(uint8_t byte) { return (byte & 0x80) != 0; }
bool isTwoByteMessage(uint8_t status) {
    const uint8_t kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0;   // program change, channel pressure
}
bool isPassedRealTime(uint8_t status) {
    return status == 0xF8 || status == 0xFA || status == 0xFB || status == 0xFC;
}
} // namespace

void parsePacket(std::span<const uint8_t> data, int kind, Observer& observer) {
    const std::size_t n = data.size();
    std::size_t i = 0;
    while (i < n) {
        const uint8_t status = data[i];
        if (!isStatus(status)) {
            ++i;
            continue;
        }
        if (status >= 0xF0) {
            if (isPassedRealTime(status)) observer.didReceiveMidi(status, 0, 0, kind);
            ++i;
            continue;
        }
        const std::size_t following = n - i - 1;
        if (following >= 2) {
            const uint8_t first = data[i + 1];
            const uint8_t second = data[i + 2];
            if (isStatus(first)) {
                i += 1;
            } else if (isStatus(second)) {
                if (isTwoByteMessage(status)) observer.didReceiveMidi(status, first, 0, kind);
                i += 2;
            } else {
                observer.didReceiveMidi(status, first, second, kind);
                i += 3;
            }
        } else if (following == 1 && !isStatus(data[i + 1])) {
            observer.didReceiveMidi(status, data[i + 1], 0, kind);
            i += 2;
        } else {
            // The packet's last byte, or followed only by another status: dropped.
            i += 1;
        }
    }
}

} // namespace Lumora::CoreMIDI
