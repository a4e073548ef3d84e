#include "app/HostTransport.h"

#include "platform/foundation/NotificationCenter.h"

namespace AppShell {

namespace {

std::shared_ptr<HostTransport>& currentTransport() {
    static std::shared_ptr<HostTransport> transport;
    return transport;
}

} // namespace

void HostTransport::setCurrent(std::shared_ptr<HostTransport> transport) {
    currentTransport() = std::move(transport);
    Platform::NotificationCenter::defaultCenter().post(didChangeNotification);
}

std::shared_ptr<HostTransport> HostTransport::current() { return currentTransport(); }

} // namespace AppShell
