#pragma once

#include <functional>
#include <memory>

#include "platform/ui/View.h"

namespace Platform {
class OutputUnit;
class Window;
namespace Audiobus {
class Controller;
}
} // namespace Platform

namespace AppShell {

// What the app delegate needs of the inter-app audio transport panel: a view it adds to the
// window once, which shows or hides itself when asked. The panel comes with the screens that
// draw it: they register its factory when the program starts; without one the app has none.
class TransportPanel : public Platform::View {
public:
    using Factory = std::function<std::shared_ptr<TransportPanel>(
        Platform::OutputUnit* audioUnit, std::shared_ptr<Platform::Audiobus::Controller> const& audiobus)>;

    // Replaces the factory registered before; an empty function unregisters.
    static void setFactory(Factory factory);
    // Null when no factory is registered or it made none. Either argument may be null.
    static std::shared_ptr<TransportPanel> make(Platform::OutputUnit* audioUnit,
                                                std::shared_ptr<Platform::Audiobus::Controller> const& audiobus);

    virtual void show(bool visible) = 0;
    // Whether the panel is already one of the window's own subviews.
    bool hasMyself(Platform::Window const* window) const;
};

} // namespace AppShell
