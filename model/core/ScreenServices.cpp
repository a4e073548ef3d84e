#include "model/core/ScreenServices.h"

#include <mutex>

namespace Lumora::ScreenServices {

namespace {

struct Registry {
    std::mutex lock;
    MainViewControllerFactory mainViewController;
    ThemeInstaller theme;
    KnobControlTypeSetter knobControlType;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

// A copy taken under the lock, so that a service may register others while it runs.
template <class F>
F current(F Registry::*slot) {
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    return r.*slot;
}

template <class F>
void replace(F Registry::*slot, F function) {
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    r.*slot = std::move(function);
}

} // namespace

void setMainViewControllerFactory(MainViewControllerFactory factory) {
    replace(&Registry::mainViewController, std::move(factory));
}

void setThemeInstaller(ThemeInstaller installer) {
    replace(&Registry::theme, std::move(installer));
}

void setKnobControlTypeSetter(KnobControlTypeSetter setter) {
    replace(&Registry::knobControlType, std::move(setter));
}

std::shared_ptr<Platform::Object> makeMainViewController(std::shared_ptr<Lumora_Core> const& core) {
    auto factory = current(&Registry::mainViewController);
    return factory ? factory(core) : nullptr;
}

bool installTheme(std::shared_ptr<Lumora_Core> const& core) {
    auto installer = current(&Registry::theme);
    if (!installer)
        return false;
    installer(core);
    return true;
}

bool setControlTypeToLinear(bool linear) {
    auto setter = current(&Registry::knobControlType);
    if (!setter)
        return false;
    setter(linear);
    return true;
}

} // namespace Lumora::ScreenServices
