#pragma once

#include <functional>
#include <memory>

#include "platform/foundation/Object.h"

class Lumora_Core;

// The few services of the control toolkit, the editor screens and the drawing kit that the
// model calls. Those libraries build on the model, so the model cannot call them directly:
// each registers its service here when the program starts (the shells link them), and a
// service that nobody registered answers nothing, so that the model runs headless.
namespace Lumora::ScreenServices {

// Makes the product's main screen for the model; null when there is none.
using MainViewControllerFactory = std::function<std::shared_ptr<Platform::Object>(std::shared_ptr<Lumora_Core> const&)>;
// Installs the product's theme, made for the model, into the painter facade.
using ThemeInstaller = std::function<void(std::shared_ptr<Lumora_Core> const&)>;
// Chooses linear (true) or circular knob drags for every rotary knob.
using KnobControlTypeSetter = std::function<void(bool linear)>;

// Each replaces the one registered before; an empty function unregisters.
void setMainViewControllerFactory(MainViewControllerFactory factory);
void setThemeInstaller(ThemeInstaller installer);
void setKnobControlTypeSetter(KnobControlTypeSetter setter);

// Null when no screens are linked.
std::shared_ptr<Platform::Object> makeMainViewController(std::shared_ptr<Lumora_Core> const& core);
// False when no theme is linked.
bool installTheme(std::shared_ptr<Lumora_Core> const& core);
// False when no knobs are linked.
bool setControlTypeToLinear(bool linear);

} // namespace Lumora::ScreenServices
