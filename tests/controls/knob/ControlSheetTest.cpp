#include "controls/knob/Lumora_Ctrl_RotaryKnob.h"
#include "controls/label/Lumora_Ctrl_Label.h"
#include "controls/slider/Lumora_Ctrl_Slider.h"
#include "controls/switch/Lumora_Ctrl_Switch.h"
#include "controls/switch/Lumora_Ctrl_SwitchSelector.h"
#include "platform/graphics/Image.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

using namespace Platform;

// A sheet of knobs, sliders, switches, selectors and labels in their states, drawn by the
// default theme into a PNG (in $CORVANE_SHEET_DIR, else the working folder) for a person to look
// at; the test checks only that the controls put ink on it.
TEST(ControlSheet, RendersEveryControlThroughTheDefaultTheme)
{
    auto sheet = std::make_shared<View>(Rect(0, 0, 520, 360));
    sheet->setBackgroundColor(Color::withWhite(0.85));
    float const knobValues[] = {0, 0.25f, 0.5f, 0.75f, 1};
    for (int i = 0; i < 5; ++i) {
        auto knob = std::make_shared<Lumora_Ctrl_RotaryKnob>(Rect(10 + 80 * i, 10, 60, 60));
        knob->setValue(knobValues[i]);
        sheet->addSubview(knob);
        auto bipolar = std::make_shared<Lumora_Ctrl_RotaryKnob>(Rect(10 + 80 * i, 90, 60, 60));
        bipolar->setIsBipole(true);
        bipolar->setValue(knobValues[i] * 2 - 1);
        bipolar->setDisabled(i == 4);
        sheet->addSubview(bipolar);

        auto label = std::make_shared<Lumora_Ctrl_Label>(Rect(10 + 80 * i, 72, 60, 14));
        label->setValue(knobValues[i]);
        label->setSurfix(" v");
        sheet->addSubview(label);
    }
    for (int i = 0; i < 3; ++i) {
        auto slider = std::make_shared<Lumora_Ctrl_Slider>(Rect(420 + 30 * i, 10, 24, 140));
        slider->setIsBipole(i == 2);
        slider->setValue(i == 2 ? -0.5f : 0.3f + 0.4f * i);
        sheet->addSubview(slider);
    }
    for (int i = 0; i < 2; ++i) {
        auto slider = std::make_shared<Lumora_Ctrl_Slider>(Rect(10, 170 + 40 * i, 240, 30));
        slider->setDirection(1);
        slider->setIsBipole(i == 1);
        slider->setValue(i == 1 ? 0.4f : 0.65f);
        sheet->addSubview(slider);
    }
    for (int i = 0; i < 4; ++i) {
        auto sw = std::make_shared<Lumora_Ctrl_Switch>(Rect(270 + 60 * i, 170, 50, 30));
        sw->setValue(i % 2);
        sw->setPressed(i == 2);
        sw->setDisabled(i == 3);
        sheet->addSubview(sw);
    }
    for (int i = 0; i < 4; ++i) {
        auto selector = std::make_shared<Lumora_Ctrl_SwitchSelector>(Rect(270 + 60 * i, 220, 50, 30));
        selector->setMax(3);
        selector->setValue(i);
        selector->setPressed(i == 3);
        sheet->addSubview(selector);
    }
    auto big = std::make_shared<Lumora_Ctrl_Label>(Rect(10, 270, 500, 30));
    big->setFontSize(20);
    big->setPrefix("Cutoff ");
    big->setValue(0.75f);
    big->setSurfix(" (unbound)");
    sheet->addSubview(big);

    Image const image = renderViewToImage(*sheet, 2);
    ASSERT_FALSE(image.isNull());
    char const* dir = std::getenv("CORVANE_SHEET_DIR");
    std::filesystem::path const path = std::filesystem::path(dir ? dir : ".") / "controls-knob-sheet.png";
    ASSERT_TRUE(image.writePNG(path.string()));

    // Every knob, slider and switch puts something other than the background in its area.
    Color const background = image.pixel(1, 1);
    auto inked = [&](Rect r) {
        for (int y = static_cast<int>(2 * r.minY()); y < 2 * r.maxY(); ++y)
            for (int x = static_cast<int>(2 * r.minX()); x < 2 * r.maxX(); ++x) {
                Color const c = image.pixel(x, y);
                if (std::abs(c.red() - background.red()) + std::abs(c.green() - background.green()) +
                        std::abs(c.blue() - background.blue()) > 0.1)
                    return true;
            }
        return false;
    };
    for (auto const& view : sheet->subviews()) {
        if (dynamic_cast<Lumora_Ctrl_Label*>(view.get()))
            continue;
        EXPECT_TRUE(inked(view->frame())) << view->frame().minX() << "," << view->frame().minY();
    }
}
