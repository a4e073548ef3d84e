#include "controls/button/Lumora_Button.h"
#include "controls/button/Lumora_CmndButton.h"
#include "controls/button/Lumora_SideEdgeButton.h"
#include "controls/lamp/Lumora_Ctrl_Lamp.h"
#include "controls/lamp/Lumora_Ctrl_LampSelectorCntnr.h"
#include "controls/layout/Lumora_ScalableContentView.h"
#include "controls/layout/layoutContentVw_In_ContainerVw.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

using namespace Platform;

namespace {

std::shared_ptr<Label> caption(Rect frame, std::string text)
{
    auto label = std::make_shared<Label>(frame);
    label->setText(std::move(text));
    label->setFont(Font::systemFont(10));
    label->setNumberOfLines(0);
    return label;
}

// Every command icon in four states, the plain and side-edge buttons, lamps, a lamp selector
// with step buttons, and a fixed layout fitted into a smaller box.
std::shared_ptr<View> makeSheet()
{
    auto sheet = std::make_shared<View>(Rect(0, 0, 1000, 760));
    sheet->setBackgroundColor(Color::withWhite(0.93));

    std::vector<std::string> const names = {
        "Close", "NewFile", "SaveFile", "NewFolder", "Rename", "GoBack", "GoForward", "Settings", "MIDI",
        "Arpeggio", "CommonParam", "Tempo", "Send", "Delete", "Duplicate", "Move", "Home", "Tune", "Alt",
        "Copy", "Paste", "Recall", "Shaper", "SoundOff", "SoundOn", "close", ""};
    unsigned long const states[] = {0, ControlState::Highlighted, ControlState::Selected, ControlState::Disabled};
    for (std::size_t i = 0; i < names.size(); ++i) {
        double const x = 10 + static_cast<double>(i % 14) * 70;
        double const y = 10 + static_cast<double>(i / 14) * 150;
        sheet->addSubview(caption(Rect(x, y, 70, 12), names[i].empty() ? "(none)" : names[i]));
        for (std::size_t s = 0; s < 4; ++s) {
            auto button = std::make_shared<Lumora_CmndButton>(Rect(x, y + 14 + static_cast<double>(s) * 32, 30, 30));
            button->setImageName(names[i]);
            button->setHighlighted(states[s] & ControlState::Highlighted);
            button->setSelected(states[s] & ControlState::Selected);
            button->setEnabled(!(states[s] & ControlState::Disabled));
            sheet->addSubview(button);
        }
    }

    double y = 320;
    sheet->addSubview(caption(Rect(10, y, 400, 12), "Lumora_Button: normal, pressed, selected, disabled"));
    for (int i = 0; i < 4; ++i) {
        auto button = std::make_shared<Lumora_Button>(Rect(10 + i * 110, y + 16, 100, 40));
        button->setHighlighted(i == 1);
        button->setSelected(i == 2);
        button->setEnabled(i != 3);
        sheet->addSubview(button);
    }
    sheet->addSubview(caption(Rect(470, y, 200, 12), "side edge: normal, pressed"));
    for (int i = 0; i < 2; ++i) {
        auto side = std::make_shared<Lumora_SideEdgeButton>(Rect(470 + i * 50, y + 16, 40, 130));
        side->setHighlighted(i == 1);
        sheet->addSubview(side);
    }

    y = 400;
    sheet->addSubview(caption(Rect(10, y, 300, 12), "lamps 0, 0.25, 0.5, 1"));
    float const levels[] = {0, 0.25f, 0.5f, 1};
    for (int i = 0; i < 4; ++i) {
        auto lamp = std::make_shared<Lumora_Ctrl_Lamp>(Rect(10 + i * 50, y + 16, 40, 40));
        lamp->setValue(levels[i]);
        sheet->addSubview(lamp);
    }

    y = 480;
    sheet->addSubview(caption(Rect(10, y, 400, 12), "lamp selector 0..4 at 3, step buttons - / +"));
    auto selector = std::make_shared<Lumora_Ctrl_LampSelectorCntnr>(Rect(10, y + 16, 400, 50));
    for (int tag = 0; tag < 5; ++tag) {
        auto lamp = std::make_shared<Lumora_Ctrl_Lamp>(Rect(60 + tag * 50, 5, 40, 40));
        lamp->setTag(tag);
        selector->addSubview(lamp);
    }
    for (int tag : {-1, 0}) {
        auto step = std::make_shared<Button>(Rect(tag < 0 ? 5 : 320, 10, 40, 30));
        step->setTag(tag);
        step->setTitle(tag < 0 ? "-" : "+", ControlState::Normal);
        selector->addSubview(step);
    }
    selector->awakeFromNib();
    selector->setValue(3);
    selector->setButtonTextColor(Color::blueColor());
    sheet->addSubview(selector);

    y = 560;
    sheet->addSubview(caption(Rect(10, y, 500, 12), "a 400 x 200 layout fitted (mode 1) into a 300 x 180 box"));
    auto box = std::make_shared<View>(Rect(10, y + 16, 300, 180));
    box->setBackgroundColor(Color::withWhite(0.8));
    auto content = std::make_shared<Lumora_ScalableContentView>(Rect(0, 0, 400, 200));
    content->setBackgroundColor(Color(1, 0.95, 0.9, 1));
    auto inner = std::make_shared<Lumora_CmndButton>(Rect(10, 10, 60, 60));
    inner->setImageName("Settings");
    content->addSubview(inner);
    content->addSubview(caption(Rect(80, 30, 300, 20), "content at its own size"));
    box->addSubview(content);
    layoutContentVw_In_ContainerVw(box.get(), content.get(), 1, content->originalSize(), 10, 0);
    sheet->addSubview(box);
    return sheet;
}

} // namespace

// Renders lamps, buttons and a fitted layout in the installed (default) theme onto one sheet for
// a person to look at; the picture lands in the test's working folder (or where CORVANE_SHEET_DIR
// points).
TEST(LampsButtonsSheet, RendersTheSheet)
{
    auto sheet = makeSheet();
    Image const image = renderViewToImage(*sheet, 1);
    char const* dir = std::getenv("CORVANE_SHEET_DIR");
    std::filesystem::path const path = std::filesystem::path(dir ? dir : ".") / "controls-lamps-buttons-sheet.png";
    ASSERT_TRUE(image.writePNG(path.string()));
    EXPECT_EQ(image.size(), (Size{1000, 760}));
}
