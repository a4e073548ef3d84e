#pragma once

#include <cstddef>

// The design data of the default style kit's command icons (generated tables, see
// drawing/design/command_icons.py): for each icon one or two paths of frame fractions and their paint.
namespace Lumora::StyleKitIcons {

namespace IconCommand {
constexpr double Move = 0;
constexpr double Line = 1;
constexpr double Curve = 2;
constexpr double Close = 3;
} // namespace IconCommand

enum class IconPaint { Fill, FillEvenOdd, Stroke, FillThenStroke };

struct IconPath {
    IconPaint paint;
    double lineWidth;
    double const* commands;
    std::size_t count;
};

struct IconFigure {
    IconPath paths[2];
    int pathCount;
};

extern IconFigure const iconNewFile, iconSaveFile, iconNewFolder, iconRename, iconGoBack, iconGoForward, iconSettings, iconMIDI, iconMIDISelected, iconArpeggio, iconClose, iconTempo, iconSend, iconDelete, iconAlt, iconAltSelected, iconHome, iconTune, iconCopy, iconPaste, iconRecall, iconShaper, iconSoundOff, iconSoundOn, iconDuplicate, iconMove, iconCommonParam;

} // namespace Lumora::StyleKitIcons
