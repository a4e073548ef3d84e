#pragma once

#include "platform/midi/MidiEndpoint.h"

#include <memory>
#include <mutex>
#include <string>

namespace Platform {

enum class MidiNetworkConnectionPolicy { NoOne, HostsInContactList, Anyone };

// The MIDI network session of the process. Enabling it publishes its session endpoint as one
// more source; disabling takes that source away again. Nothing leaves the machine: peers never
// connect, so the source stays silent unless a test sends through it.
class MidiNetworkSession {
public:
    static MidiNetworkSession& defaultSession();

    bool isEnabled() const;
    void setEnabled(bool enabled);
    MidiNetworkConnectionPolicy connectionPolicy() const;
    void setConnectionPolicy(MidiNetworkConnectionPolicy policy);

    // The session's source; published only while the session is enabled.
    std::shared_ptr<MidiSource> sourceEndpoint() const { return source_; }

    static constexpr const char* endpointName = "Network Session";

private:
    MidiNetworkSession();

    mutable std::mutex lock_;
    bool enabled_ = false;
    MidiNetworkConnectionPolicy policy_ = MidiNetworkConnectionPolicy::NoOne;
    const std::shared_ptr<MidiSource> source_;
};

} // namespace Platform
