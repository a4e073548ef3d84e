// The shared framework's images that the product theme and the editor surfaces show are drawn
// here, with the graphics stand-in, and committed under resources/Framework.framework. Setting
// CORVANE_WRITE_FRAMEWORK_IMAGES writes them anew; every run checks that the committed pictures
// are what this generator draws. Shapes only, no text, so no installed font changes them.

#include "ThemeTesting.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "screens/main/nibs/EditorSurfaceNibs.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

using namespace ThemeTesting;
using Platform::BezierPath;
using Platform::GraphicsContext;

namespace {

std::filesystem::path frameworkFolder()
{
    return std::filesystem::path(CORVANE_SOURCE_DIR) / "resources" / "Framework.framework";
}

Color const backdrop(0.285, 0, 0);         // the product kit's background red
Color const panel(0.223, 0.201, 0.201);    // its display-box grey
Color const panelEdge(0.478, 0.412, 0.396); // the warm grey of its buttons
Color const deepRed(0.1921569, 0, 0.0039216);

void fill(Rect const& r, Color const& c)
{
    GraphicsContext::current()->setFillColor(c);
    GraphicsContext::current()->fillRect(r);
}

void roundedPanel(Rect const& r, double radius, Color const& body, Color const& edge)
{
    BezierPath path = BezierPath::withRoundedRect(r, radius);
    body.setFill();
    path.fill();
    path.setLineWidth(1);
    edge.setStroke();
    path.stroke();
}

// Block letters on a 4 x 6 grid, one polyline list per letter.
using Stroke = std::vector<Point>;
std::vector<Stroke> letter(char c)
{
    switch (c) {
    case 'C': return {{{4, 0}, {0, 0}, {0, 6}, {4, 6}}};
    case 'O': return {{{0, 0}, {4, 0}, {4, 6}, {0, 6}, {0, 0}}};
    case 'R': return {{{0, 6}, {0, 0}, {4, 0}, {4, 3}, {0, 3}}, {{1.5, 3}, {4, 6}}};
    case 'V': return {{{0, 0}, {2, 6}, {4, 0}}};
    case 'A': return {{{0, 6}, {2, 0}, {4, 6}}, {{0.8, 3.6}, {3.2, 3.6}}};
    case 'N': return {{{0, 6}, {0, 0}, {4, 6}, {4, 0}}};
    case 'E': return {{{4, 0}, {0, 0}, {0, 6}, {4, 6}}, {{0, 3}, {3, 3}}};
    default: return {};
    }
}

void blockText(std::string const& text, Point origin, double unit, double width, Color const& color)
{
    BezierPath path;
    double x = origin.x;
    for (char c : text) {
        for (Stroke const& stroke : letter(c)) {
            path.moveTo({x + stroke[0].x * unit, origin.y + stroke[0].y * unit});
            for (std::size_t i = 1; i < stroke.size(); ++i)
                path.lineTo({x + stroke[i].x * unit, origin.y + stroke[i].y * unit});
        }
        x += 6 * unit;
    }
    path.setLineWidth(width);
    path.setLineCapStyle(Platform::LineCap::Square);
    path.setLineJoinStyle(Platform::LineJoin::Miter);
    color.setStroke();
    path.stroke();
}

void headerTitle()
{
    BezierPath diamond;
    diamond.moveTo({8, 14});
    diamond.lineTo({14, 8});
    diamond.lineTo({20, 14});
    diamond.lineTo({14, 20});
    diamond.close();
    Color(0.867, 0.141, 0.169).setFill();
    diamond.fill();
    blockText("CORVANE", {30, 5}, 3, 2.2, Color::whiteColor());
}

void commonParamBackground()
{
    fill(Rect(0, 0, 320, 90), deepRed);
    fill(Rect(0, 0, 320, 2), panelEdge);
    for (int i = 0; i < 4; ++i)
        roundedPanel(Rect(6.5 + i * 78, 8.5, 73, 75), 6, panel, panelEdge);
}

void arpeggiatorBackground()
{
    fill(Rect(0, 0, 480, 300), backdrop);
    roundedPanel(Rect(8.5, 8.5, 463, 70), 8, panel, panelEdge);
    roundedPanel(Rect(8.5, 88.5, 463, 203), 8, panel, panelEdge);
    // One column per step.
    for (int step = 1; step < 16; ++step)
        fill(Rect(8.5 + step * 463.0 / 16, 96, 1, 187), backdrop);
}

// A surface of sections along its width, the way the synth's editor groups its modules.
std::function<void()> surface(Size size, std::vector<double> const& sectionWidths)
{
    return [size, sectionWidths] {
        fill(Rect(0, 0, size.width, size.height), backdrop);
        double x = 8.5;
        for (double w : sectionWidths) {
            roundedPanel(Rect(x, 8.5, w - 8, size.height - 17), 10, panel, panelEdge);
            x += w;
        }
    };
}

// The compact surfaces of the pad plug-in and the phone draw the panels their layout lays out:
// each its columns' width in its frame.
std::vector<double> compactSections()
{
    std::vector<double> widths;
    for (int columns : CorvaneNib::compactColumns)
        widths.push_back(columns * CorvaneNib::compactCellWidth + CorvaneNib::compactPanelFrame);
    return widths;
}

struct FrameworkImage {
    std::string name;
    Size size;
    std::function<void()> draw;
};

std::vector<FrameworkImage> const& frameworkImages()
{
    static std::vector<FrameworkImage> const images = {
        {"headerTitle", {180, 28}, headerTitle},
        {"commonParam_background", {320, 90}, commonParamBackground},
        {"arpeggiator_background", {480, 300}, arpeggiatorBackground},
        {"EditorSurface_iPad_Plugin_background", CorvaneNib::padPluginSurfaceSize,
         surface(CorvaneNib::padPluginSurfaceSize, compactSections())},
        {"EditorSurface_iPad_App_background", {1024, 334}, surface({1024, 334}, {200, 200, 200, 200, 207})},
        {"EditorSurface_iPhone_background", CorvaneNib::phoneSurfaceSize,
         surface(CorvaneNib::phoneSurfaceSize, compactSections())},
        {"EditorSurface_iPad_App_Effects", {640, 360}, surface({640, 360}, {320, 303})},
    };
    return images;
}

} // namespace

TEST(FrameworkImagesTest, CommittedImagesAreTheGeneratedOnes)
{
    bool const write = std::getenv("CORVANE_WRITE_FRAMEWORK_IMAGES") != nullptr;
    for (FrameworkImage const& entry : frameworkImages()) {
        SCOPED_TRACE(entry.name);
        Image const drawn = render(entry.size, entry.draw);
        std::string const path = (frameworkFolder() / (entry.name + ".png")).string();
        if (write) {
            std::filesystem::create_directories(frameworkFolder());
            ASSERT_TRUE(drawn.writePNG(path));
        }
        Image const committed = Image::contentsOfFile(path);
        ASSERT_FALSE(committed.isNull()) << path;
        ASSERT_EQ(committed.pixelWidth(), drawn.pixelWidth());
        ASSERT_EQ(committed.pixelHeight(), drawn.pixelHeight());
        // Antialiased edges may round differently with another build of the rasteriser.
        int off = 0;
        for (int y = 0; y < drawn.pixelHeight(); ++y)
            for (int x = 0; x < drawn.pixelWidth(); ++x)
                off += !near(drawn.pixel(x, y), committed.pixel(x, y), 3.0 / 255);
        EXPECT_LT(off, drawn.pixelWidth() * drawn.pixelHeight() / 100);
        // Kept small: flat fills compress to a few kilobytes.
        EXPECT_LT(std::filesystem::file_size(path), 32u * 1024);
    }
}
