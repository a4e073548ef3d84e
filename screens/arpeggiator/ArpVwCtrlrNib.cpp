#include "screens/arpeggiator/ArpVwCtrlrNib.h"

#include "controls/button/Lumora_Button.h"
#include "controls/button/Lumora_CmndButton.h"
#include "controls/knob/Lumora_Ctrl_RotaryKnob.h"
#include "controls/lamp/Lumora_Ctrl_Lamp.h"
#include "controls/lamp/Lumora_Ctrl_LampSelectorCntnr.h"
#include "controls/layout/Lumora_ScalableContainerView.h"
#include "controls/layout/Lumora_ScalableContentView.h"
#include "controls/painter/Lumora_Painter.h"
#include "controls/switch/Lumora_Ctrl_Switch.h"
#include "platform/graphics/Font.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "screens/arpeggiator/Lumora_ArpKeyCntnrView.h"
#include "screens/arpeggiator/Lumora_ArpPgmCntnrVw.h"
#include "screens/arpeggiator/Lumora_ArpPgmSlider.h"
#include "screens/arpeggiator/Lumora_ArpeggiatorVwCtrlr.h"

#include <string>
#include <vector>

namespace ArpVwCtrlrNib {

namespace {

using Platform::Rect;

// The background picture's geometry: its size, and the two panels with the step columns.
constexpr double pictureWidth = 480;
constexpr double pictureHeight = 300;
constexpr double panelLeft = 8.5;
constexpr double panelWidth = 463;
constexpr double headerTop = 8.5;
constexpr double headerHeight = 70;
constexpr double stepsTop = 88.5;
constexpr double stepsHeight = 203;

constexpr double stepPitch = Lumora_ArpKeyCntnrView::keyPitch;
constexpr double scaleX = 16 * stepPitch / panelWidth;
constexpr double height = 640;
constexpr double scaleY = height / pictureHeight;

constexpr double margin = 8;
constexpr double captionHeight = 12;
constexpr double captionSize = 9;
constexpr double lampSide = 10;
constexpr double knobSide = 36;
constexpr double faderRowHeight = Lumora_ArpPgmSlider::canvasHeight;

Rect headerPanel()
{
    return Rect(panelLeft * scaleX, headerTop * scaleY, panelWidth * scaleX, headerHeight * scaleY);
}

Rect stepsPanel()
{
    return Rect(panelLeft * scaleX, stepsTop * scaleY, panelWidth * scaleX, stepsHeight * scaleY);
}

Platform::Color textColor()
{
    return Lumora_Painter::sharedInstance()->labelTextColor().value_or(Platform::Color::blackColor());
}

std::shared_ptr<Platform::Label> caption(Rect frame, std::string text, double size = captionSize, bool bold = true,
                                         Platform::TextAlignment alignment = Platform::TextAlignment::Left)
{
    auto label = std::make_shared<Platform::Label>(frame);
    label->setText(std::move(text));
    label->setFont(bold ? Platform::Font::boldSystemFont(size) : Platform::Font::systemFont(size));
    label->setTextColor(textColor());
    label->setTextAlignment(alignment);
    return label;
}

// A row of lamps, one cell each, with the choice's name under its lamp; the lamps' tags are the
// choices' values 0, 1, ...
std::shared_ptr<Lumora_Ctrl_LampSelectorCntnr> lampRow(Rect frame, std::vector<std::string> const& names)
{
    auto selector = std::make_shared<Lumora_Ctrl_LampSelectorCntnr>(frame);
    double const cell = frame.width() / static_cast<double>(names.size());
    for (std::size_t i = 0; i < names.size(); ++i) {
        double const x = cell * static_cast<double>(i);
        auto lamp = std::make_shared<Lumora_Ctrl_Lamp>(Rect(x + (cell - lampSide) / 2, 1, lampSide, lampSide));
        lamp->setTag(static_cast<int>(i));
        selector->addSubview(lamp);
        selector->addSubview(caption(Rect(x, lampSide + 3, cell, captionHeight), names[i], captionSize, false,
                                     Platform::TextAlignment::Center));
    }
    return selector;
}

// A knob cell: its name above the knob; a cell with a number shows it right of the knob.
struct KnobCell {
    std::shared_ptr<Lumora_Ctrl_RotaryKnob> knob;
    std::shared_ptr<Platform::Label> number;
};

KnobCell knobCell(Platform::View& parent, Rect cell, std::string const& name, bool withNumber)
{
    parent.addSubview(caption(Rect(cell.minX(), cell.minY(), cell.width(), captionHeight), name, captionSize, true,
                              Platform::TextAlignment::Center));
    double const top = cell.minY() + captionHeight + 2;
    KnobCell result;
    if (withNumber) {
        result.knob = std::make_shared<Lumora_Ctrl_RotaryKnob>(Rect(cell.minX() + 8, top, knobSide, knobSide));
        result.number = caption(Rect(cell.minX() + 8 + knobSide + 2, top + 4, cell.width() - knobSide - 12, 28), "", 20,
                                true, Platform::TextAlignment::Center);
        parent.addSubview(result.number);
    } else {
        result.knob =
            std::make_shared<Lumora_Ctrl_RotaryKnob>(Rect(cell.minX() + (cell.width() - knobSide) / 2, top, knobSide, knobSide));
    }
    parent.addSubview(result.knob);
    return result;
}

// A length knob: one position per length 2..16.
void makeLengthKnob(Lumora_Ctrl_RotaryKnob& knob)
{
    knob.setIsSwitched(true);
    knob.setNumOfSwitches(15);
}

} // namespace

double contentWidth() { return pictureWidth * scaleX; }
double contentHeight() { return height; }

std::vector<std::shared_ptr<Platform::Object>> build(Platform::Nib::Context const& context)
{
    Rect const bounds(0, 0, contentWidth(), contentHeight());
    auto root = std::make_shared<Platform::View>(bounds);
    auto container = std::make_shared<Lumora_ScalableContainerView>(bounds);
    // Presented smaller than its design (a popover on a phone), the editor fits its width and
    // scrolls down to the lower rows.
    container->setAutoresizingMask(Platform::Autoresizing::FlexibleWidth | Platform::Autoresizing::FlexibleHeight);
    auto content = std::make_shared<Lumora_ScalableContentView>(bounds);
    content->setBackgroundColor(Lumora_Painter::sharedInstance()->arpeggiatorContainerBackgroundColor());
    auto background = std::make_shared<Platform::ImageView>(bounds);
    content->addSubview(background);
    container->addSubview(content);
    root->addSubview(container);

    // Header, first line: close, title, on/off, key sync, file.
    Rect const header = headerPanel();
    double const line1 = header.minY() + margin;
    double x = header.minX() + margin;
    auto close = std::make_shared<Lumora_CmndButton>(Rect(x, line1, 28, 28));
    close->setImageName(std::string("Close"));
    close->setVariation(1);
    content->addSubview(close);
    content->addSubview(caption(Rect(x + 36, line1, 130, 28), "ARPEGGIATOR", 15));

    x = header.minX() + 186;
    content->addSubview(caption(Rect(x, line1 + 1, 30, captionHeight), "ARP"));
    auto active = lampRow(Rect(x + 28, line1, 64, 28), {"OFF", "ON"});
    content->addSubview(active);

    x = header.minX() + 300;
    content->addSubview(caption(Rect(x, line1 + 8, 60, captionHeight), "KEY SYNC"));
    auto keySync = std::make_shared<Lumora_Ctrl_Switch>(Rect(x + 58, line1 + 2, 40, 24));
    keySync->setToggled(true);
    content->addSubview(keySync);

    auto file = std::make_shared<Lumora_Button>(Rect(header.maxX() - margin - 72, line1, 72, 28));
    file->setTitle(std::string("FILES"), Platform::ControlState::Normal);
    file->setTitleColor(textColor(), Platform::ControlState::Normal);
    file->titleLabel()->setFont(Platform::Font::boldSystemFont(11));
    content->addSubview(file);

    // Second line: note order, octaves, rate.
    double const line2 = line1 + 28 + margin;
    double const selectorTop = line2 + captionHeight;
    x = header.minX() + margin;
    content->addSubview(caption(Rect(x, line2, 100, captionHeight), "ORDER"));
    auto style = lampRow(Rect(x, selectorTop, 6 * 46, 26), {"UP", "DOWN", "UP/DN", "DN/UP", "RANDOM", "PROGRAM"});
    content->addSubview(style);
    x += 6 * 46 + 14;
    content->addSubview(caption(Rect(x, line2, 78, captionHeight), "OCTAVES"));
    auto octave = lampRow(Rect(x, selectorTop, 3 * 26, 26), {"1", "2", "3"});
    content->addSubview(octave);
    x += 3 * 26 + 14;
    content->addSubview(caption(Rect(x, line2, 100, captionHeight), "RATE"));
    auto rate = lampRow(Rect(x, selectorTop, 3 * 36, 26), {"1/4", "1/8", "1/16"});
    content->addSubview(rate);

    // Third line: six knobs.
    double const line3 = selectorTop + 26 + margin;
    double const cellWidth = (header.width() - 2 * margin) / 6;
    auto cellAt = [&](int i) { return Rect(header.minX() + margin + cellWidth * i, line3, cellWidth, 54); };
    KnobCell steps = knobCell(*content, cellAt(0), "STEPS", true);
    makeLengthKnob(*steps.knob);
    KnobCell pattern = knobCell(*content, cellAt(1), "PATTERN", true);
    makeLengthKnob(*pattern.knob);
    KnobCell swing = knobCell(*content, cellAt(2), "SWING", false);
    KnobCell gate = knobCell(*content, cellAt(3), "GATE", false);
    KnobCell accent = knobCell(*content, cellAt(4), "ACCENT", false);
    KnobCell staccato = knobCell(*content, cellAt(5), "STACCATO", false);

    // Step panel: step numbers, five key rows with their names, the program faders.
    Rect const panel = stepsPanel();
    double y = panel.minY() + 8;
    for (int i = 0; i < 16; ++i)
        content->addSubview(caption(Rect(panel.minX() + stepPitch * i, y, stepPitch, captionHeight), std::to_string(i + 1),
                                    9, false, Platform::TextAlignment::Center));
    y += captionHeight + 8;
    double const keyInset = (stepPitch - Lumora_ArpKeyCntnrView::keySide) / 2;
    double const rowWidth = stepPitch * 15 + Lumora_ArpKeyCntnrView::keySide;
    auto keyRow = [&](std::string const& name) {
        content->addSubview(caption(Rect(panel.minX() + keyInset, y, 200, captionHeight), name));
        auto row = std::make_shared<Lumora_ArpKeyCntnrView>(
            Rect(panel.minX() + keyInset, y + captionHeight + 1, rowWidth, Lumora_ArpKeyCntnrView::keySide));
        content->addSubview(row);
        y += captionHeight + 1 + Lumora_ArpKeyCntnrView::keySide + 10;
        return row;
    };
    auto stepOn = keyRow("STEP ON");
    auto stepAccent = keyRow("ACCENT");
    auto stepStaccato = keyRow("STACCATO");
    auto stepPortamento = keyRow("PORTAMENTO");
    auto stepOctaveUp = keyRow("OCTAVE UP");
    content->addSubview(caption(Rect(panel.minX() + keyInset, y, 200, captionHeight), "PROGRAM"));
    auto program = std::make_shared<Lumora_ArpPgmCntnrVw>(
        Rect(panel.minX(), y + captionHeight + 2, 16 * stepPitch, faderRowHeight));
    content->addSubview(program);

    if (auto* owner = context.ownerAs<Lumora_ArpeggiatorVwCtrlr>()) {
        owner->setView(root);
        Lumora_ArpeggiatorVwCtrlr::Outlets o;
        o.containerView = container.get();
        o.contentView = content.get();
        o.backgroundImageVw = background.get();
        o.selectorActive = active.get();
        o.selectorStyle = style.get();
        o.selectorOctave = octave.get();
        o.selectorRate = rate.get();
        o.switchKeySync = keySync.get();
        o.knobStepLength = steps.knob.get();
        o.knobPatternLength = pattern.knob.get();
        o.knobSwing = swing.knob.get();
        o.knobAccent = accent.knob.get();
        o.knobDuration = gate.knob.get();
        o.knobStaccato = staccato.knob.get();
        o.labelStepLength = steps.number.get();
        o.labelPatternLength = pattern.number.get();
        o.stepActive = stepOn.get();
        o.stepAccent = stepAccent.get();
        o.stepStaccato = stepStaccato.get();
        o.stepPortamento = stepPortamento.get();
        o.stepOctaveup = stepOctaveUp.get();
        o.stepProgram = program.get();
        owner->connectOutlets(o);

        using E = Lumora_ArpeggiatorVwCtrlr;
        namespace Ev = Platform::ControlEvents;
        close->addTarget(owner, &E::actionClose, Ev::TouchUpInside);
        file->addTarget(owner, &E::actionFile, Ev::TouchUpInside);
    }
    return {root};
}

} // namespace ArpVwCtrlrNib
