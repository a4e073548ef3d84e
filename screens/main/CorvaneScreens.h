#pragma once

namespace Corvane {

// What the programs call once at start, before they create the model: registers the main
// screens' interface files and, with the model's screen services, the factory of the main screen
// (MainViewController), the product theme's installer, the knobs' drag-mode setter, the
// arpeggiator editor the header's button opens and the MIDI-mapping editor a long press on a
// learn overlay opens.
void registerScreens();

} // namespace Corvane
