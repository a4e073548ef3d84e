#pragma once

#include "plugin/viewcontroller/Lumora_Plugin_AUViewController.h"

// Corvane's principal view controller of the extension: the product's model.
class AudioUnitViewController : public Lumora_Plugin_AUViewController {
public:
    // A new Core.
    std::shared_ptr<Lumora_Core> createCore() override;
};
