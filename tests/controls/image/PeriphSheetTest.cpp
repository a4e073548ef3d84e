// A sheet of the image controls, the combo box with its list open, an XY pad, a collection
// picker and an array graph, drawn by the default theme into a PNG (in $CORVANE_SHEET_DIR, else
// the working folder) for a person to look at; the test checks only that the parts put ink on it.

#include "controls/agent/Lumora_Ctrl_InvisibleAgent.h"
#include "controls/combobox/Lumora_Ctrl_ComboBox.h"
#include "controls/graph/Lumora_ArrayGraphView.h"
#include "controls/image/Lumora_Ctrl_Image.h"
#include "controls/image/PeriphTestSupport.h"
#include "controls/label/Lumora_Ctrl_Label.h"
#include "controls/picker/Lumora_CollectionVwCtrlr.h"
#include "controls/xypad/Lumora_XySlider_CtrlContainer.h"
#include "platform/foundation/TemporaryDirectory.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"

#include <gtest/gtest.h>

#include <boost/filesystem.hpp>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

using namespace Platform;
using namespace PeriphTest;

namespace {

// Owns the graph's array and draws it as bars behind the graph.
class Bars : public View, public Lumora_ArrayGraphView_Observer {
public:
    explicit Bars(Rect frame, std::size_t count) : View(frame), values(count, 0.2f) {}
    void didChangeArrayGraphView(Lumora_ArrayGraphView*, int index, float value, bool relative) override
    {
        float& v = values[static_cast<std::size_t>(index)];
        v = std::clamp(relative ? v + value : value, 0.0f, 1.0f);
        setNeedsDisplay();
    }
    void drawRect(Rect const&) override
    {
        GraphicsContext* context = GraphicsContext::current();
        double const w = bounds().width() / static_cast<double>(values.size());
        for (std::size_t i = 0; i < values.size(); ++i) {
            double const h = bounds().height() * values[i];
            context->setFillColor(Color(0.2, 0.45, 0.8, 1));
            context->fillRect(Rect(w * static_cast<double>(i) + 1, bounds().height() - h, w - 2, h));
        }
    }
    std::vector<float> values;
};

class Items : public Lumora::iCollection {
public:
    Items()
    {
        for (uint32_t v = 0; v < 8; ++v)
            items_.push_back({v, "swatch" + std::to_string(v)});
    }
    int valueToIndex(int value) const override { return value >= 0 && value < 8 ? value : -1; }
    Item const* itemFromIndex(int index) const override
    {
        return index >= 0 && index < 8 ? &items_[static_cast<std::size_t>(index)] : nullptr;
    }
    unsigned numOfItems() const override { return 8; }

private:
    std::vector<Item> items_;
};

} // namespace

TEST(PeriphSheet, RendersImagesComboPadPickerAndGraph)
{
    Screen screen;
    screen.window->setBackgroundColor(Color::withWhite(0.85));
    screen.view()->setBackgroundColor(Color::withWhite(0.85));
    View* sheet = screen.view();

    // Image controls: values 0..3, the second pressed, the third disabled with a badge, the last
    // rounded.
    for (int i = 0; i < 4; ++i) {
        auto image = std::make_shared<Lumora_Ctrl_Image>(Rect(10 + 90 * i, 10, 80, 40));
        image->setMax(3);
        image->setValue(static_cast<float>(i));
        image->setPressed(i == 1);
        image->setDisabled(i == 2);
        image->setBadge(i == 2 ? 7 : 0);
        image->setCornerRadius(i == 3 ? 10 : 0);
        sheet->addSubview(image);
    }

    // A combo box whose list is open.
    auto combo = std::make_shared<Lumora_Ctrl_ComboBox>(Rect(380, 10, 80, 40));
    combo->setMax(3);
    combo->setValue(2);
    sheet->addSubview(combo);

    // An XY pad with its holders and two labels showing their values.
    auto pad = std::make_shared<Lumora_XySlider_CtrlContainer>(Rect(10, 70, 200, 150));
    pad->layer().borderWidth = 1;
    pad->layer().borderColor = Color::withWhite(0.3);
    pad->setParamID_x(1);
    pad->setParamID_y(2);
    for (int tag : {1, 2}) {
        auto agent = std::make_shared<Lumora_Ctrl_InvisibleAgent>();
        agent->setTag(tag);
        pad->addSubview(agent);
    }
    auto labelX = std::make_shared<Lumora_Ctrl_Label>(Rect(10, 225, 95, 16));
    auto labelY = std::make_shared<Lumora_Ctrl_Label>(Rect(115, 225, 95, 16));
    labelX->setPrefix("X ");
    labelY->setPrefix("Y ");
    sheet->addSubview(pad);
    sheet->addSubview(labelX);
    sheet->addSubview(labelY);

    // A collection picker of coloured swatches.
    boost::filesystem::path const folder =
        boost::filesystem::path(Platform::temporaryDirectory()) / boost::filesystem::unique_path("sheet-%%%%%%");
    boost::filesystem::create_directories(folder);
    for (int i = 0; i < 8; ++i) {
        BitmapContext bitmap({60, 40});
        bitmap.context().setFillColor(Color::withHSBA({i / 8.0, 0.7, 0.9, 1}));
        bitmap.context().fillRect(Rect(0, 0, 60, 40));
        bitmap.context().setFillColor(Color::whiteColor());
        bitmap.context().fillRect(Rect(25, 10, 10, 20));
        bitmap.makeImage().writePNG((folder / ("swatch" + std::to_string(i) + ".png")).string());
    }
    Items items;
    Lumora::Parameter_UInt parameter(nullptr, 9, "P", "P", 0, 0, 7, Opt::None, kSound, 0);
    parameter.setValue(3, Token::Mixed, AutoEvent::None);
    auto picker = std::make_shared<Lumora_CollectionVwCtrlr>();
    picker->setCollection(&items);
    picker->setBundleForImage(Bundle::withPath(folder.string()));
    picker->setParameter(&parameter);
    picker->loadViewIfNeeded();
    picker->view()->setFrame(Rect({10, 260}, picker->contentSize()));
    screen.root->addChildViewController(picker);
    sheet->addSubview(picker->sharedView());

    // An array graph over its bars.
    auto bars = std::make_shared<Bars>(Rect(240, 70, 240, 150), 12);
    bars->setBackgroundColor(Color::whiteColor());
    auto graph = std::make_shared<Lumora_ArrayGraphView>(Rect(240, 70, 240, 150));
    graph->setSize(12);
    graph->addObserver(bars);
    sheet->addSubview(bars);
    sheet->addSubview(graph);
    screen.window->layoutIfNeeded();

    // Play: a drag on the pad, a stroke across the graph, the combo box's list opened.
    Touch* t = screen.down({110, 145});
    screen.move(t, {150, 115});
    screen.up(t, {150, 115});
    labelX->setValue(pad->value_x());
    labelY->setValue(pad->value_y());
    t = screen.down({245, 200});
    for (int i = 0; i <= 24; ++i)
        screen.move(t, {245 + 9.5 * i, 200 - 120 * std::sin(i / 24.0 * 3.14159)});
    screen.up(t, {475, 200});
    char const* dir = std::getenv("CORVANE_SHEET_DIR");
    std::filesystem::path const folderOut(dir ? dir : ".");
    Image const image = screen.window->renderToImage(2);
    ASSERT_FALSE(image.isNull());
    ASSERT_TRUE(image.writePNG((folderOut / "controls-periph-sheet.png").string()));

    // The same with the combo box's list open over it.
    screen.tap({420, 30});
    ASSERT_NE(screen.root->presentedViewController(), nullptr);
    Image const listed = screen.window->renderToImage(2);
    ASSERT_TRUE(listed.writePNG((folderOut / "controls-periph-sheet-list.png").string()));

    boost::system::error_code ignored;
    boost::filesystem::remove_all(folder, ignored);

    // The graph's stroke reached the bars, the pad moved, the picker shows its swatches.
    EXPECT_GT(bars->values[6], 0.8f);
    EXPECT_FLOAT_EQ(pad->value_x(), 0.2f);
    auto ink = [&](Point p) { return image.colorAt(p) != Color::withWhite(0.85); };
    EXPECT_TRUE(ink({50, 30}));
    EXPECT_TRUE(ink({240 + 120, 215}));
    EXPECT_TRUE(ink({50, 295}));
}
