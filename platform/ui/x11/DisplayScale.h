#pragma once

typedef struct _XDisplay Display;

namespace Platform::X11 {

// Pixels per point of the editor on screen: CORVANE_UI_SCALE when it holds a number from 0.5 to
// 4, else the X server's Xft.dpi over the 96 dpi of an unscaled desktop (within the same range),
// else 1. Either value may be null or unreadable.
double scaleFromSettings(char const* environmentValue, char const* xftDpi);

// The same read from the environment and the display's resource database.
double displayScale(Display* display);

} // namespace Platform::X11
