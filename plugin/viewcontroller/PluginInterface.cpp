#include "plugin/viewcontroller/PluginInterface.h"

#include "platform/ui/Nib.h"
#include "plugin/viewcontroller/AudioUnitViewController.h"

namespace PluginInterface {

void registerInterface() {
    Platform::Nib::registerNib(kInterfaceFileName, [](Platform::Nib::Context const&) {
        std::vector<std::shared_ptr<Platform::Object>> objects;
        auto controller = std::make_shared<AudioUnitViewController>();
        if (controller->initWithCoder())
            objects.push_back(controller);
        return objects;
    });
}

std::shared_ptr<Lumora_Plugin_AUViewController> loadPrincipalViewController() {
    for (auto const& object : Platform::Nib::loadNibNamed(kInterfaceFileName, nullptr))
        if (auto controller = std::dynamic_pointer_cast<Lumora_Plugin_AUViewController>(object))
            return controller;
    return nullptr;
}

} // namespace PluginInterface
