#include "drawing/Lumora_StyleKit.h"
#include "drawing/StyleKitSupport.h"

#include <gtest/gtest.h>

using Platform::Color;

namespace {

struct PaletteRow {
    char const* name;
    Color const& (*getter)();
    double red, green, blue;
};

PaletteRow const rows[] = {
    {"baseColor_", Lumora_StyleKit::baseColor_, 0.385, 0.385, 0.385},
    {"baseColor_pressed_", Lumora_StyleKit::baseColor_pressed_, 0.092, 0.286, 0.371},
    {"baseColor_disabled_", Lumora_StyleKit::baseColor_disabled_, 0.508, 0.694, 0.824},
    {"topColor_", Lumora_StyleKit::topColor_, 0.711, 0.711, 0.711},
    {"topColor_pressed_", Lumora_StyleKit::topColor_pressed_, 0.224, 0.216, 0.216},
    {"topColor_selected_", Lumora_StyleKit::topColor_selected_, 0.759, 0.829, 0.867},
    {"topFrameColor_", Lumora_StyleKit::topFrameColor_, 0.392, 0.392, 0.392},
    {"labelColor_", Lumora_StyleKit::labelColor_, 0.362, 0.461, 0.513},
    {"labelColor_selected_", Lumora_StyleKit::labelColor_selected_, 0.155, 0.198, 0.22},
    {"markColor_", Lumora_StyleKit::markColor_, 1.0, 0.427, 0.157},
    {"markColor_disabled_", Lumora_StyleKit::markColor_disabled_, 0.47, 0.47, 0.47},
    {"lampColor_on_", Lumora_StyleKit::lampColor_on_, 1.0, 0.427, 0.157},
    {"lampColor_off_", Lumora_StyleKit::lampColor_off_, 0.47, 0.47, 0.47},
    {"lampColor_lighted_", Lumora_StyleKit::lampColor_lighted_, 1.0, 0.809, 0.0},
    {"gaugeBaseColor_", Lumora_StyleKit::gaugeBaseColor_, 0.85, 0.85, 0.85},
    {"guageTopColor_", Lumora_StyleKit::guageTopColor_, 1.0, 0.427, 0.157},
};

} // namespace

TEST(StyleKitPaletteTest, EveryGetterAnswersItsOwnColourWithExactComponents)
{
    Lumora_StyleKit::initialize();
    for (PaletteRow const& row : rows) {
        SCOPED_TRACE(row.name);
        Color const& color = row.getter();
        EXPECT_EQ(&color, &row.getter());
        EXPECT_EQ(color, Color(row.red, row.green, row.blue, 1.0));
    }
    // Equal values, separate colours.
    EXPECT_EQ(Lumora_StyleKit::markColor_(), Lumora_StyleKit::lampColor_on_());
    EXPECT_NE(&Lumora_StyleKit::markColor_(), &Lumora_StyleKit::lampColor_on_());
    EXPECT_NE(&Lumora_StyleKit::markColor_(), &Lumora_StyleKit::guageTopColor_());
    EXPECT_NE(&Lumora_StyleKit::lampColor_on_(), &Lumora_StyleKit::guageTopColor_());
    EXPECT_NE(&Lumora_StyleKit::markColor_disabled_(), &Lumora_StyleKit::lampColor_off_());
}

TEST(StyleKitPaletteTest, ShaperLabelsRoundHalvesAwayFromZero)
{
    using namespace Lumora::StyleKitSupport;
    struct Case {
        double output;
        char const* percent;
        char const* step;
    };
    Case const cases[] = {
        {0, "0%", "0"},          {0.5, "50%", "64"},   {1, "100%", "127"},
        {0.125, "13%", "16"},    {0.875, "88%", "111"}, {-0.125, "-13%", "-16"},
        {1.5, "150%", "191"},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.output);
        EXPECT_EQ(shaperPercentText(c.output), c.percent);
        EXPECT_EQ(shaperStepText(c.output), c.step);
    }
}
