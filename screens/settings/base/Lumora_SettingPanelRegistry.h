#pragma once

#include "platform/foundation/Object.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class Lumora_Core;
class Lumora_SettingPanelView;
class Lumora_SettingsVwCtrlr;

namespace Platform {
class ViewController;
}

// A panel class as the settings screen names it in its lists: the class's name and the test
// whether a panel is of that class or of a subclass of it. Panel classes declare their name as
// `static constexpr char const* className`.
struct Lumora_SettingPanelClass {
    std::string name;
    std::function<bool(Platform::Object const*)> isKindOf;

    template <class T>
    static Lumora_SettingPanelClass of()
    {
        return {T::className, [](Platform::Object const* object) { return dynamic_cast<T const*>(object) != nullptr; }};
    }
    // The registered class of that name; a class that matches no panel when none is registered.
    static Lumora_SettingPanelClass named(std::string const& name);
};

// What the panel file "SettingsPanelVws" holds, and the sub-screens that panels open. Panel
// families register here the builders of their panels (each makes one panel with its parts,
// outlets and actions), so that the file holds every panel of every family linked into the
// program; the file's order is the settings screen's default order, then the panels registered
// under other names, in the order they were registered. A registration under a name that is
// already registered replaces the builder and the class (how a program puts its own variant of
// a shared panel in its place).
//
// Sub-screens that a panel opens but that live with another family (the micro-tuning editor)
// are made through a factory registered under the sub-screen's name.
class Lumora_SettingPanelRegistry {
public:
    using Builder = std::function<std::shared_ptr<Lumora_SettingPanelView>()>;
    using SubScreenFactory = std::function<std::shared_ptr<Platform::ViewController>(
        std::shared_ptr<Lumora_Core> const& core, Lumora_SettingsVwCtrlr* owner)>;

    static void registerPanel(Lumora_SettingPanelClass panelClass, Builder builder);
    template <class T>
    static void registerPanel(Builder builder)
    {
        registerPanel(Lumora_SettingPanelClass::of<T>(), std::move(builder));
    }
    static void unregisterPanel(std::string const& name);
    static std::optional<Lumora_SettingPanelClass> panelClassNamed(std::string const& name);
    // The registered panel names in the file's order.
    static std::vector<std::string> panelNames();
    // One new panel of every registered builder, in the file's order (a builder that makes
    // nothing is skipped).
    static std::vector<std::shared_ptr<Lumora_SettingPanelView>> instantiatePanels();

    static void registerSubScreen(std::string const& name, SubScreenFactory factory);
    // A new sub-screen of that name; none when no factory is registered or it makes none.
    static std::shared_ptr<Platform::ViewController> makeSubScreen(std::string const& name,
                                                                   std::shared_ptr<Lumora_Core> const& core,
                                                                   Lumora_SettingsVwCtrlr* owner);

    // The default list of panel classes, in the screen's order.
    static std::vector<std::string> const& defaultOrder();
};
