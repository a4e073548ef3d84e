#pragma once

#include <memory>

class Lumora_Plugin_AUViewController;

// The extension's interface file, from which the system makes its principal view controller.
namespace PluginInterface {

inline constexpr char const* kInterfaceFileName = "MainInterface";

// Registers the interface file; harmless to call again.
void registerInterface();
// Loads the interface file as the system does when the host opens the extension: a new
// AudioUnitViewController, with its model. Nothing when the file is not registered or the
// controller cannot be made.
std::shared_ptr<Lumora_Plugin_AUViewController> loadPrincipalViewController();

} // namespace PluginInterface
