// The interface files of Corvane's editor surfaces and of its effect editor. Every control is
// tagged with the id of its parameter; the surfaces lay the voice modules over the framework's
// panels and end with the effect sends and the button that opens the effect editor. The pad app
// shows all five panels across its width; the low areas of a phone and of the pad's plug-in get
// compact surfaces, three rows high and scrolling sideways, made for the height they are shown
// at, so their captions keep their size instead of shrinking with the surface.

#include "screens/main/nibs/EditorSurfaceNibs.h"

#include "controls/layout/Lumora_ScalableContainerView.h"
#include "controls/layout/Lumora_ScalableContentView.h"
#include "platform/ui/Control.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Nib.h"
#include "screens/main/EditorSurfaceView.h"
#include "screens/main/EffectEditorViewController.h"
#include "screens/main/MainViewController.h"
#include "screens/main/ResponderChainAction.h"

#include <mutex>

namespace CorvaneNib {

using Platform::Rect;

std::vector<std::vector<Module>> voicePanels()
{
    return {
        {
            {"PITCH",
             {knob(10101, "Drift"), knob(10104, "Env"), knob(10102, "Attack"), knob(10103, "Decay"),
              knob(10107, "LFO"), knob(10105, "LFO Rate")}},
            {"NOISE",
             {lamps(10300, "Type", {"White", "Dark", "Bright", "Band", "S&H", "Geiger"}), knob(10303, "Level"),
              knob(10301, "Attack"), knob(10302, "Decay")}},
        },
        {
            {"OSCILLATOR",
             {knob(10200, "Wave"), knob(10201, "Env"), knob(10202, "LFO"), knob(10212, "Sub"),
              knob(10213, "Detune"), knob(10214, "Level"), toggle(10203, "FM Type", "Soft", "Hard"),
              toggle(10215, "FM Dest", "Mix", "Ratio"), knob(10204, "FM Mix"), knob(10205, "FM Ratio"),
              knob(10206, "FM Env"), knob(10207, "FM LFO"), knob(10208, "Attack"), knob(10209, "Decay"),
              knob(10210, "LFO Rate")}},
        },
        {
            {"RESONATOR",
             {knob(10400, "Osc In"), knob(10401, "Noise In"), knob(10402, "Pitch"), knob(10403, "Pitch Env"),
              knob(10404, "Pitch LFO"), knob(10405, "Feedback"), knob(10406, "Fdbk Env"), knob(10407, "Fdbk LFO"),
              knob(10408, "LPF"), knob(10410, "Attack"), knob(10411, "Decay"), knob(10412, "LFO Rate"),
              toggle(10409, "Route", "Bypass", "Filter")}},
        },
        {
            {"FILTER",
             {toggle(10500, "Type", "12dB", "24dB"), knob(10501, "Cutoff"), knob(10506, "Reso"),
              knob(10508, "Drive"), knob(10507, "Low"), knob(10504, "Velocity"), knob(10505, "Key"),
              knob(10502, "Env"), knob(10503, "LFO"), knob(10513, "LFO Rate"), knob(10509, "Attack"),
              knob(10510, "Decay"), knob(10511, "Sustain"), knob(10512, "Release")}},
        },
        {
            {"AMPLIFIER",
             {knob(10600, "Level"), knob(10601, "Velocity"), knob(10602, "Attack"), knob(10603, "Decay"),
              knob(10604, "Sustain"), knob(10605, "Release")}},
            {"EFFECTS",
             {knob(11100, "Chorus"), knob(11200, "Delay"), knob(11400, "Reverb"), button("EDIT")}},
        },
    };
}

std::vector<std::vector<Module>> effectPanels()
{
    return {
        {
            {"CHORUS",
             {knob(11100, "Wet"), knob(11101, "Depth"), knob(11104, "Spread"), knob(11102, "Rate")}},
            {"REVERB",
             {knob(11400, "Send"), toggle(11405, "Type", "Mono", "Stereo"), knob(11401, "Pre"),
              knob(11402, "Time"), knob(11403, "Damp"), knob(11404, "HPF")}},
        },
        {
            {"DELAY",
             {knob(11200, "Send"), stepped(11201, "Time L", 1, "/16"), stepped(11202, "Time R", 1, "/16"),
              knob(11206, "Fdbk"), knob(11207, "Cross"), knob(11203, "Mod"), knob(11204, "Rate"),
              knob(11208, "Damp"), knob(11209, "HPF")}},
            {"DELAY FILTER",
             {knob(11300, "Wet"), knob(11301, "Cutoff"), knob(11302, "Reso"), knob(11306, "Drive"),
              knob(11303, "Mod"), knob(11304, "Rate")}},
        },
    };
}

namespace {

// The panels of the framework's pictures, inside their rounded frames.
std::vector<Rect> padPanels()
{
    return {Rect(12, 12, 184, 310), Rect(212, 12, 184, 310), Rect(412, 12, 184, 310), Rect(612, 12, 184, 310),
            Rect(812, 12, 192, 310)};
}

// The compact surfaces' panels: each the width of its columns plus the picture's frame around
// them, the full height inside the frame.
std::vector<Rect> compactPanels(double height)
{
    std::vector<Rect> panels;
    double x = 0;
    for (int columns : compactColumns) {
        double const width = columns * compactCellWidth + compactPanelFrame;
        panels.emplace_back(x + 12, 12, width - compactPanelFrame, height - 24);
        x += width;
    }
    return panels;
}

std::shared_ptr<Platform::ImageView> backgroundView(Rect frame)
{
    auto image = std::make_shared<Platform::ImageView>(frame);
    image->setUserInteractionEnabled(false);
    return image;
}

void connectEditButtons(Placed const& placed)
{
    for (Platform::View* view : placed.buttons)
        if (auto* control = dynamic_cast<Platform::Control*>(view))
            connectActionUpResponderChain(control, &MainViewController::actionShowEffectEditor);
}

std::vector<std::shared_ptr<Platform::Object>> buildPadSurface(Platform::Nib::Context const&)
{
    auto surface = std::make_shared<EditorSurfaceView>(Rect({0, 0}, padSurfaceSize));
    surface->setBackgroundColor(Platform::Color::blackColor());
    auto background = backgroundView(Rect({0, 0}, padSurfaceSize));
    surface->addSubview(background);
    surface->backgroundImageView = background.get();
    auto panels = padPanels();
    auto modules = voicePanels();
    for (std::size_t i = 0; i < modules.size(); ++i)
        connectEditButtons(placeModules(*surface, panels[i], modules[i], 4, 66));
    return {surface};
}

std::vector<std::shared_ptr<Platform::Object>> buildCompactSurface(Platform::Size size, double rowHeight)
{
    auto surface = std::make_shared<EditorSurfaceView>(Rect({0, 0}, size));
    surface->setBackgroundColor(Platform::Color::blackColor());
    auto background = backgroundView(Rect({0, 0}, size));
    surface->addSubview(background);
    surface->backgroundImageView = background.get();
    auto panels = compactPanels(size.height);
    auto modules = voicePanels();
    for (std::size_t i = 0; i < modules.size(); ++i)
        connectEditButtons(placeModules(*surface, panels[i], modules[i], compactColumns[i], rowHeight));
    return {surface};
}

std::vector<std::shared_ptr<Platform::Object>> buildEffects(Platform::Nib::Context const& context)
{
    auto root = std::make_shared<Platform::View>(Rect(0, 0, 640, 360));
    root->setBackgroundColor(Platform::Color::blackColor());
    auto container = std::make_shared<Lumora_ScalableContainerView>(Rect(0, 0, 640, 360));
    // A popover smaller than the design keeps the container inside it; the content scrolls.
    container->setAutoresizingMask(Platform::Autoresizing::FlexibleWidth | Platform::Autoresizing::FlexibleHeight);
    auto content = std::make_shared<Lumora_ScalableContentView>(Rect(0, 0, 640, 360));
    auto background = backgroundView(Rect(0, 0, 640, 360));
    content->addSubview(background);
    std::vector<Rect> const panels = {Rect(14, 12, 300, 336), Rect(334, 12, 284, 336)};
    auto modules = effectPanels();
    for (std::size_t i = 0; i < modules.size(); ++i)
        placeModules(*content, panels[i], modules[i], 6, 70);
    container->addSubview(content);
    root->addSubview(container);
    if (auto* owner = context.ownerAs<EffectEditorViewController>()) {
        owner->setView(root);
        owner->backgroundImageView = background.get();
    }
    return {root};
}

} // namespace

void registerEditorSurfaceNibs()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Platform::Nib::registerNib(EditorSurfaceView::padPluginNibName, [](Platform::Nib::Context const&) {
            return buildCompactSurface(padPluginSurfaceSize, padPluginRowHeight);
        });
        Platform::Nib::registerNib(EditorSurfaceView::padAppNibName, buildPadSurface);
        Platform::Nib::registerNib(EditorSurfaceView::phoneNibName, [](Platform::Nib::Context const&) {
            return buildCompactSurface(phoneSurfaceSize, phoneRowHeight);
        });
        Platform::Nib::registerNib(EffectEditorViewController::nibName, buildEffects);
    });
}

} // namespace CorvaneNib
