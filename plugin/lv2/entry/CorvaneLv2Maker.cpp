#include "plugin/lv2/entry/CorvaneLv2Maker.h"

#include <mutex>

#include "model/framework/Shared_Information.h"
#include "platform/audiounit/AudioUnitTypes.h"
#include "platform/foundation/Log.h"
#include "plugin/audiounit/Lumora_iOS_AudioUnit.h"
#include "plugin/lv2/CorvaneLv2Instance.h"
#include "plugin/lv2/Lv2Uris.h"
#include "plugin/viewcontroller/Lumora_Plugin_AUViewController.h"
#include "plugin/viewcontroller/PluginInterface.h"
#include "screens/main/CorvaneScreens.h"

namespace Lumora::Lv2 {

namespace {

Platform::ComponentDescription const kDescription{Platform::fourCharCode("aumu"), Platform::fourCharCode("Crvn"),
                                                  Platform::fourCharCode("Lmra")};

void registerOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        Corvane::registerScreens();
        PluginInterface::registerInterface();
    });
}

} // namespace

CorvaneUnit makeCorvaneUnit(std::string const& bundlePath) {
    if (!bundlePath.empty())
        Shared_Information::setPluginFrameworkPath(bundlePath + "/" + kFrameworkFolder);
    registerOnce();
    CorvaneUnit made;
    made.viewController = PluginInterface::loadPrincipalViewController();
    if (made.viewController == nullptr)
        return {};
    Platform::Error error;
    made.unit = made.viewController->createAudioUnitWithComponentDescription(kDescription, &error);
    if (made.unit == nullptr) {
        Platform::log("ERROR: Corvane's audio unit could not be made: " + error.localizedDescription());
        return {};
    }
    CorvaneLv2Instance::runMainQueue();
    return made;
}

} // namespace Lumora::Lv2
