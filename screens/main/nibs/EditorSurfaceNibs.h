#pragma once

#include "screens/main/nibs/SurfaceParts.h"

#include <vector>

namespace CorvaneNib {

// The design size of the pad app's surface, which fits the screen's width.
inline constexpr Platform::Size padSurfaceSize{1024, 334};

// The compact surfaces: the voice panels side by side, each three grid rows high and as many
// columns wide as its modules then need (pitch and noise, oscillator, resonator, filter,
// amplifier and effects), scrolling sideways. Their height is that of the area they are shown in
// at scale 1, so a caption shows at its own size: the pad plug-in's surface (shown at most
// 458 points high, and filling its area) at the 440-point host view, the phone's at the
// plug-in's area on a 375-point phone (the app's area is a little taller and scales it up).
// The framework's pictures "EditorSurface_iPad_Plugin_background" and
// "EditorSurface_iPhone_background" are drawn from these figures.
inline constexpr int compactColumns[] = {6, 5, 5, 5, 6};
inline constexpr double compactCellWidth = 52;
inline constexpr double compactPanelFrame = 16;
inline constexpr double compactWidth = (6 + 5 + 5 + 5 + 6) * compactCellWidth + 5 * compactPanelFrame;
inline constexpr Platform::Size padPluginSurfaceSize{compactWidth, 255};
inline constexpr double padPluginRowHeight = 66;
inline constexpr Platform::Size phoneSurfaceSize{compactWidth, 211};
inline constexpr double phoneRowHeight = 56;

// The sound's modules as the surfaces group them, in the surfaces' panel order.
std::vector<std::vector<Module>> voicePanels();
// The effects as the effect editor groups them: chorus and reverb, then delay and its filter.
std::vector<std::vector<Module>> effectPanels();

// Registers "EditorSurface_iPad_Plugin", "EditorSurface_iPad_App", "EditorSurface_iPhone" and
// "EditorSurface_iPad_App_Effects".
void registerEditorSurfaceNibs();

} // namespace CorvaneNib
