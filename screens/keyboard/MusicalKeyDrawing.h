#pragma once

#include "platform/graphics/Geometry.h"

// Draws one piano key of the on-screen keyboard, in its pressed look and with the held mark,
// through the installed theme, into the current graphics context.
void Lumora_drawMusicalKey(Platform::Rect const& frame, bool isWhiteKey, bool pressed, bool held);
