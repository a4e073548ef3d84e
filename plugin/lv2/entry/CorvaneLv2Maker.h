#pragma once

#include <memory>
#include <string>

class Lumora_Plugin_AUViewController;
class Lumora_iOS_AudioUnit;

namespace Lumora::Lv2 {

// The audio unit as the plug-in's own loader makes it, with the view controller that owns its
// model; both empty when it cannot be made.
struct CorvaneUnit {
    std::shared_ptr<Lumora_Plugin_AUViewController> viewController;
    std::shared_ptr<Lumora_iOS_AudioUnit> unit;
};

// Registers the screens and the interface file once per process, points the shared framework at
// the copy inside bundlePath (when given), makes the principal view controller and asks it for
// Corvane's audio unit, then runs the main queue once so that the model is ready.
CorvaneUnit makeCorvaneUnit(std::string const& bundlePath);

} // namespace Lumora::Lv2
