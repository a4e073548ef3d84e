#pragma once

#include <string>
#include <string_view>

namespace Platform {

class KeyboardInput;

namespace X11 {

// The UTF-8 text of a key symbol when no input method gives one: Latin-1 symbols are their own
// code points, and symbols from 0x1000000 up carry one (the X protocol's Unicode range).
// Others give nothing.
std::string textForKeysym(unsigned long keysym);

// One key press or release as the keyboard input takes it: editing keys and Alt by their symbol,
// everything else as the text the key produced.
void applyKey(KeyboardInput& keyboard, unsigned long keysym, std::string_view text, bool pressed);

} // namespace X11
} // namespace Platform
