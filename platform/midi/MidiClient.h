#pragma once

#include "platform/midi/MidiEndpoint.h"
#include "platform/midi/MidiPort.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Platform {

enum class MidiNotificationId {
    SetupChanged,    // something in the set of endpoints changed (follows every added/removed)
    ObjectAdded,     // child was published
    ObjectRemoved,   // child left the system
};

struct MidiNotification {
    MidiNotificationId id = MidiNotificationId::SetupChanged;
    MidiObjectType childType = MidiObjectType::Source;
    std::shared_ptr<MidiEndpoint> child;   // null for SetupChanged
};

using MidiNotifyProc = std::function<void(const MidiNotification& notification)>;

// A process's connection to the MIDI system: it owns the ports and virtual destinations it made
// and hears about setup changes. Notifications are posted to the run loop that was current on
// the thread that created the client, and run there later (a test pumps that loop); a client
// is disposed on that same thread.
class MidiClient {
public:
    // The notification procedure may be empty.
    static MidiStatus create(std::string name, MidiNotifyProc notify, std::unique_ptr<MidiClient>& client);
    ~MidiClient();
    MidiClient(const MidiClient&) = delete;
    MidiClient& operator=(const MidiClient&) = delete;

    MidiStatus createInputPort(std::string name, MidiReadProc read, std::shared_ptr<MidiInputPort>& port);
    MidiStatus createOutputPort(std::string name, std::shared_ptr<MidiOutputPort>& port);
    // Publishes a virtual destination under the name; other clients find it among the system's
    // destinations and send to it.
    MidiStatus createDestination(std::string name, MidiReadProc read,
                                 std::shared_ptr<MidiDestination>& destination);

    // Disposes every port and destination the client made; no notification or read procedure of
    // the client runs after it returns.
    void dispose();
    bool isDisposed() const;
    const std::string& name() const { return name_; }

private:
    friend class MidiSystem;
    // Posted notifications reach the client through a weak reference, so a notification still
    // queued when the client goes away is dropped. The lock is recursive because a notification
    // procedure may dispose its own client.
    struct Notifier {
        explicit Notifier(MidiNotifyProc p) : proc(std::move(p)) {}

        void deliver(const MidiNotification& notification) {
            std::lock_guard<std::recursive_mutex> guard(lock);
            if (alive && proc) proc(notification);
        }
        void silence() {
            std::lock_guard<std::recursive_mutex> guard(lock);
            alive = false;
        }

        std::recursive_mutex lock;
        const MidiNotifyProc proc;
        bool alive = true;
    };
    MidiClient(std::string name, MidiNotifyProc notify);

    const std::string name_;
    std::shared_ptr<Notifier> notifier_;
    mutable std::mutex lock_;
    bool disposed_ = false;
    std::vector<std::weak_ptr<MidiInputPort>> inputPorts_;
    std::vector<std::weak_ptr<MidiOutputPort>> outputPorts_;
    std::vector<std::weak_ptr<MidiDestination>> destinations_;
};

} // namespace Platform
