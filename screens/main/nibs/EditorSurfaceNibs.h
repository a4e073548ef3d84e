#pragma once

#include "screens/main/nibs/SurfaceParts.h"

#include <vector>

namespace CorvaneNib {

// The design size of the pad surfaces (plug-in and app).
inline constexpr Platform::Size padSurfaceSize{1024, 334};

// The sound's modules as the surfaces group them, in the surfaces' panel order.
std::vector<std::vector<Module>> voicePanels();
// The effects as the effect editor groups them: chorus and reverb, then delay and its filter.
std::vector<std::vector<Module>> effectPanels();

// Registers "EditorSurface_iPad_Plugin", "EditorSurface_iPad_App", "EditorSurface_iPhone" and
// "EditorSurface_iPad_App_Effects".
void registerEditorSurfaceNibs();

} // namespace CorvaneNib
