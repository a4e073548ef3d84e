#include "app/TransportPanel.h"

#include <mutex>

#include "platform/ui/Window.h"

namespace AppShell {

namespace {

std::mutex factoryLock;

TransportPanel::Factory& registeredFactory() {
    static TransportPanel::Factory factory;
    return factory;
}

} // namespace

void TransportPanel::setFactory(Factory factory) {
    std::lock_guard guard(factoryLock);
    registeredFactory() = std::move(factory);
}

std::shared_ptr<TransportPanel> TransportPanel::make(Platform::OutputUnit* audioUnit,
                                                     std::shared_ptr<Platform::Audiobus::Controller> const& audiobus) {
    Factory factory;
    {
        std::lock_guard guard(factoryLock);
        factory = registeredFactory();
    }
    return factory ? factory(audioUnit, audiobus) : nullptr;
}

bool TransportPanel::hasMyself(Platform::Window const* window) const {
    return window != nullptr && superview() == window;
}

} // namespace AppShell
