#include "drawing/Lumora_StyleKit.h"
#include "drawing/Lumora_StyleKit_IconData.h"
#include "drawing/support/PixelProbe.h"
#include "drawing/support/StyleKitSheet.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using K = Lumora_StyleKit;
using Platform::Color;
using Platform::Image;
using Platform::Rect;
using Platform::Size;
using StyleKitTesting::allIcons;
using StyleKitTesting::inkBounds;
using StyleKitTesting::near;
using StyleKitTesting::render;

namespace {

struct Extent {
    double x0, x1, y0, y1;
};

// The fractions of the frame each figure reaches.
std::map<std::string, Extent> const extents = {
    {"NewFile", {0.11, 0.89, 0.09, 0.96}},    {"SaveFile", {0.14, 0.88, 0.06, 0.97}},
    {"NewFolder", {0.05, 0.97, 0.29, 0.97}},  {"Rename", {0.15, 0.86, 0.23, 0.89}},
    {"GoBack", {0.23, 0.70, 0.28, 0.73}},     {"GoForward", {0.32, 0.79, 0.28, 0.73}},
    {"Settings", {0.07, 0.95, 0.07, 0.95}},   {"Arpeggio", {0.08, 0.88, 0.09, 0.91}},
    {"Close", {0.31, 0.71, 0.31, 0.71}},      {"Tempo", {0.17, 0.83, 0.10, 0.90}},
    {"Send", {0.17, 0.85, 0.11, 0.91}},       {"Delete", {0.19, 0.83, 0.19, 0.93}},
    {"Alt", {0.17, 0.85, 0.21, 0.81}},        {"Home", {0.15, 0.87, 0.13, 0.87}},
    {"Tune", {0.40, 0.62, 0.15, 0.86}},       {"Copy", {0.10, 0.90, 0.07, 0.96}},
    {"Paste", {0.10, 0.90, 0.07, 0.96}},      {"Recall", {0.21, 0.90, 0.23, 0.86}},
    {"Shaper", {0.14, 0.88, 0.27, 0.75}},     {"SoundOff", {0.07, 0.86, 0.10, 0.90}},
    {"SoundOn", {0.07, 0.86, 0.10, 0.90}},    {"Duplicate", {0.10, 0.90, 0.11, 0.89}},
    {"Move", {0.06, 0.95, 0.15, 0.97}},       {"CommonParam", {0.08, 0.92, 0.08, 0.92}},
};

constexpr double side = 400;

Image drawIcon(StyleKitTesting::IconEntry const& icon, Rect const& frame, bool pressed, Size canvas = {side, side},
               double scale = 1)
{
    return render(canvas, [&] { icon.draw(frame, Color::blackColor(), pressed); }, scale);
}

} // namespace

TEST(StyleKitIconsTest, EveryFigureStaysWithinItsExtent)
{
    ASSERT_EQ(allIcons().size(), 25u);
    for (auto const& icon : allIcons()) {
        if (icon.name == "MIDI")
            continue;
        SCOPED_TRACE(icon.name);
        Extent const& e = extents.at(icon.name);
        Rect const ink = inkBounds(drawIcon(icon, Rect(0, 0, side, side), false));
        ASSERT_FALSE(ink.isNull());
        // Strokes spread half their width (1 point) beyond the outline.
        double const tolerance = 0.015 + 1.0 / side;
        EXPECT_NEAR(ink.minX() / side, e.x0, tolerance);
        EXPECT_NEAR(ink.maxX() / side, e.x1, tolerance);
        EXPECT_NEAR(ink.minY() / side, e.y0, tolerance);
        EXPECT_NEAR(ink.maxY() / side, e.y1, tolerance);
    }
}

TEST(StyleKitIconsTest, SelectedShapesOfMidiAndAlt)
{
    // MIDI spans its inner rectangle: (x + 2.5, y + 3, w - 4, h - 4.3), or h - 5 when selected.
    Image const selected = render(Size{side, side}, [] { K::drawIconMIDIWithFrame(Rect(0, 0, side, side), Color::blackColor(), true, false); });
    Rect const ink = inkBounds(selected);
    EXPECT_NEAR(ink.minX(), 2.5, 1);
    EXPECT_NEAR(ink.maxX(), side - 1.5, 1);
    EXPECT_NEAR(ink.minY(), 3, 1);
    EXPECT_NEAR(ink.maxY(), side - 2, 1);
    Image const plain = render(Size{side, side}, [] { K::drawIconMIDIWithFrame(Rect(0, 0, side, side), Color::blackColor(), false, false); });
    Rect const plainInk = inkBounds(plain);
    EXPECT_NEAR(plainInk.minX(), 2.5, 1);
    EXPECT_NEAR(plainInk.minY(), 3, 1);
    EXPECT_GT(plainInk.maxY(), side - 5);
    // Plain: pin holes in a filled disc; selected: dots in a ring, the disc's centre left empty.
    EXPECT_TRUE(near(plain.colorAt({side / 2, side * 0.2 + 3}), Color::clearColor()));
    EXPECT_TRUE(near(plain.colorAt({side / 2, side / 2}), Color::blackColor()));
    EXPECT_TRUE(near(selected.colorAt({side / 2, side * 0.2 + 3}), Color::blackColor()));
    EXPECT_TRUE(near(selected.colorAt({side / 2, side / 2}), Color::clearColor()));

    Image const alt = render(Size{side, side}, [] { K::drawIconAltWithFrame(Rect(0, 0, side, side), Color::blackColor(), true, false); });
    Rect const altInk = inkBounds(alt);
    EXPECT_NEAR(altInk.minX() / side, 0.09, 0.01);
    EXPECT_NEAR(altInk.maxX() / side, 0.93, 0.01);
    EXPECT_NEAR(altInk.minY() / side, 0.09, 0.01);
    EXPECT_NEAR(altInk.maxY() / side, 0.93, 0.01);
    // The symbol is cut out of the square: its upper right bar is empty, the square around it filled.
    EXPECT_TRUE(near(alt.colorAt({0.7 * side, 0.24 * side}), Color::clearColor()));
    EXPECT_TRUE(near(alt.colorAt({0.7 * side, 0.5 * side}), Color::blackColor()));
}

TEST(StyleKitIconsTest, PressedPlateVariantsAndAnUnchangedFigure)
{
    // At scale 2 each pixel is half a point, so the plate's half-point inset shows exactly.
    Rect const frame(10, 10, 40, 40);
    Color const grey = Color::lightGrayColor();
    for (auto const& icon : allIcons()) {
        SCOPED_TRACE(icon.name);
        bool const inset = icon.name == "Tempo" || icon.name == "Copy" || icon.name == "Paste" || icon.name == "Duplicate";
        Image const pressed = drawIcon(icon, frame, true, Size{60, 60}, 2);
        // The middle of the left and right edges, outside every figure.
        EXPECT_TRUE(near(pressed.colorAt({10.25, 30}), inset ? Color::clearColor() : grey));
        EXPECT_TRUE(near(pressed.colorAt({10.75, 30}), grey));
        EXPECT_TRUE(near(pressed.colorAt({49.25, 30}), grey));
        EXPECT_TRUE(near(pressed.colorAt({49.75, 30}), inset ? Color::clearColor() : grey));
        EXPECT_TRUE(near(pressed.colorAt({50.75, 30}), inset ? Color::clearColor() : grey));
        EXPECT_TRUE(near(pressed.colorAt({51.25, 30}), Color::clearColor()));
        EXPECT_TRUE(near(pressed.colorAt({30, 9.75}), Color::clearColor()));

        // Wherever the plain figure is solid, the pressed one is the same colour.
        Image const plain = drawIcon(icon, frame, false, Size{60, 60}, 2);
        int solid = 0;
        for (int y = 0; y < plain.pixelHeight(); ++y)
            for (int x = 0; x < plain.pixelWidth(); ++x)
                if (plain.pixel(x, y).alpha() > 0.99) {
                    ++solid;
                    ASSERT_TRUE(near(pressed.pixel(x, y), plain.pixel(x, y))) << x << "," << y;
                }
        EXPECT_GT(solid, 50);
    }
}

TEST(StyleKitIconsTest, WideFrameStretchesTheFigureAndThePlate)
{
    Image const image = render(Size{220, 120}, [] {
        K::drawIconSettingsWithFrame(Rect(0, 0, 200, 100), Color::blackColor(), true);
    });
    // The plate reaches one point past the frame in both directions.
    EXPECT_TRUE(near(image.colorAt({200.5, 50}), Color::lightGrayColor()));
    EXPECT_TRUE(near(image.colorAt({201.5, 50}), Color::clearColor()));
    EXPECT_TRUE(near(image.colorAt({100, 100.5}), Color::lightGrayColor()));
    // The gear keeps its fractions: 0.07..0.95 of 200 across and of 100 down.
    Image const gear = render(Size{220, 120}, [] {
        K::drawIconSettingsWithFrame(Rect(0, 0, 200, 100), Color::blackColor(), false);
    });
    Rect const ink = inkBounds(gear);
    EXPECT_NEAR(ink.minX(), 14, 3);
    EXPECT_NEAR(ink.maxX(), 190, 3);
    EXPECT_NEAR(ink.minY(), 7, 2);
    EXPECT_NEAR(ink.maxY(), 95, 2);
}

TEST(StyleKitIconsTest, ZeroFramesDrawNoFigureButThePlainPlateIsAPointSquare)
{
    Image const image = render(Size{20, 20}, [] {
        K::drawIconHomeWithFrame(Rect(5, 5, 0, 0), Color::blackColor(), true);
        K::drawIconHomeWithFrame(Rect(15, 15, 0, 0), Color::blackColor(), false);
    });
    Rect const ink = inkBounds(image, 0.2);
    ASSERT_FALSE(ink.isNull());
    EXPECT_EQ(ink, Rect(5, 5, 1, 1));
}

TEST(StyleKitIconsTest, DesignDataHasTheFiguresPaintsAndSubpaths)
{
    using namespace Lumora::StyleKitIcons;
    struct Row {
        char const* name;
        IconFigure const& figure;
        IconPaint first;
        int firstSubpaths;
        IconPaint second;
        int secondSubpaths; // 0: no second path
    };
    IconPaint const F = IconPaint::Fill, EO = IconPaint::FillEvenOdd, S = IconPaint::Stroke, FS = IconPaint::FillThenStroke;
    Row const rows[] = {
        {"NewFile", iconNewFile, F, 4, F, 0},         {"SaveFile", iconSaveFile, F, 2, F, 0},
        {"NewFolder", iconNewFolder, F, 2, F, 0},     {"Rename", iconRename, F, 3, F, 0},
        {"GoBack", iconGoBack, F, 1, F, 0},           {"GoForward", iconGoForward, F, 1, F, 0},
        {"Settings", iconSettings, F, 2, F, 0},       {"MIDI", iconMIDI, F, 6, F, 0},
        {"MIDI selected", iconMIDISelected, F, 2, F, 6}, {"Arpeggio", iconArpeggio, F, 1, F, 0},
        {"Close", iconClose, S, 1, S, 1},             {"Tempo", iconTempo, S, 2, FS, 2},
        {"Send", iconSend, F, 2, F, 0},               {"Delete", iconDelete, EO, 2, F, 4},
        {"Alt", iconAlt, F, 2, F, 0},                 {"Alt selected", iconAltSelected, F, 3, F, 0},
        {"Home", iconHome, F, 2, F, 0},               {"Tune", iconTune, F, 1, F, 0},
        {"Copy", iconCopy, F, 4, F, 0},               {"Paste", iconPaste, F, 3, F, 0},
        {"Recall", iconRecall, EO, 1, F, 0},          {"Shaper", iconShaper, EO, 1, F, 0},
        {"SoundOff", iconSoundOff, F, 2, F, 0},       {"SoundOn", iconSoundOn, F, 3, F, 0},
        {"Duplicate", iconDuplicate, F, 4, F, 0},     {"Move", iconMove, F, 2, F, 0},
        {"CommonParam", iconCommonParam, F, 2, F, 0},
    };
    auto subpaths = [](IconPath const& path) {
        int moves = 0;
        for (std::size_t i = 0; i < path.count;) {
            double const op = path.commands[i];
            moves += op == IconCommand::Move;
            i += op == IconCommand::Curve ? 7 : op == IconCommand::Close ? 1 : 3;
        }
        return moves;
    };
    for (Row const& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_EQ(row.figure.pathCount, row.secondSubpaths ? 2 : 1);
        EXPECT_EQ(row.figure.paths[0].paint, row.first);
        EXPECT_EQ(subpaths(row.figure.paths[0]), row.firstSubpaths);
        if (row.secondSubpaths) {
            EXPECT_EQ(row.figure.paths[1].paint, row.second);
            EXPECT_EQ(subpaths(row.figure.paths[1]), row.secondSubpaths);
        }
    }
    EXPECT_EQ(iconClose.paths[0].lineWidth, 2);
    EXPECT_EQ(iconTempo.paths[0].lineWidth, 2);
    EXPECT_EQ(iconTempo.paths[1].lineWidth, 1);
}

TEST(StyleKitIconsTest, MoveCanvasFigureInBlueAtFixedCoordinates)
{
    Image const image = render(Size{60, 60}, [] { K::draw_iconMoveCanvas(); }, 4);
    Rect const ink = inkBounds(image);
    EXPECT_NEAR(ink.minX(), 4.67, 0.3);
    EXPECT_NEAR(ink.maxX(), 55.34, 0.3);
    EXPECT_NEAR(ink.minY(), 9.61, 0.3);
    EXPECT_NEAR(ink.maxY(), 56.25, 0.3);
    // Just above the arrow's tip at (33.12, 43.99).
    EXPECT_TRUE(near(image.colorAt({33.12, 43.2}), Color(0.039, 0.362, 0.998)));
    EXPECT_TRUE(near(image.colorAt({33.12, 44.8}), Color::clearColor()));
}
