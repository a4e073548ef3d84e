#include "plugin/viewcontroller/AudioUnitViewController.h"

#include "model/product/Core.h"

std::shared_ptr<Lumora_Core> AudioUnitViewController::createCore() {
    return Platform::newObject<Core>();
}
