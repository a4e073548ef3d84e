#pragma once

namespace Corvane {

// What the programs call once at start, before they create the model: registers the main
// screens' interface files and, with the model's screen services, the factory of the main screen
// (MainViewController), the product theme's installer and the knobs' drag-mode setter.
void registerScreens();

} // namespace Corvane
