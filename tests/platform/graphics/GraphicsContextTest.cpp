#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/StringDrawing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <numbers>

using namespace Platform;

namespace {

void expectColor(Color const& actual, Color const& expected, double tolerance = 2.5 / 255)
{
    EXPECT_NEAR(actual.red(), expected.red(), tolerance);
    EXPECT_NEAR(actual.green(), expected.green(), tolerance);
    EXPECT_NEAR(actual.blue(), expected.blue(), tolerance);
    EXPECT_NEAR(actual.alpha(), expected.alpha(), tolerance);
}

} // namespace

TEST(GraphicsContextTest, FillsARectangleWithTheFillColour)
{
    BitmapContext bitmap(Size{20, 10});
    ASSERT_EQ(GraphicsContext::current(), &bitmap.context());
    Color(0.2, 0.4, 0.6).setFill();
    BezierPath::withRect(Rect(5, 2, 10, 6)).fill();
    Image const image = bitmap.makeImage();
    expectColor(image.colorAt({10, 5}), Color(0.2, 0.4, 0.6));
    expectColor(image.colorAt({2, 5}), Color::clearColor());
    expectColor(image.colorAt({10, 9}), Color::clearColor());
}

TEST(GraphicsContextTest, ClipLimitsDrawingAndRestoreLiftsIt)
{
    BitmapContext bitmap(Size{20, 20});
    GraphicsContext& context = bitmap.context();
    context.saveGState();
    context.clipToRect(Rect(0, 0, 10, 20));
    Color::redColor().setFill();
    context.fillRect(Rect(0, 0, 20, 20));
    context.restoreGState();
    Color::blueColor().setFill();
    context.fillRect(Rect(0, 15, 20, 5));
    Image const image = bitmap.makeImage();
    expectColor(image.colorAt({5, 5}), Color::redColor());
    expectColor(image.colorAt({15, 5}), Color::clearColor());
    expectColor(image.colorAt({15, 17}), Color::blueColor());
    // The fill colour set inside the saved state is gone with it.
    EXPECT_EQ(context.fillColor(), Color::blueColor());
}

TEST(GraphicsContextTest, TransformsApplyInUserSpaceOrder)
{
    BitmapContext bitmap(Size{40, 40});
    GraphicsContext& context = bitmap.context();
    context.saveGState();
    context.translate(20, 20);
    context.rotate(std::numbers::pi / 2);
    context.scale(2, 1);
    // The unit square scaled to 2 x 1, turned a quarter (x axis now points down), moved to (20, 20):
    // it covers x 19..20, y 20..22 on the bitmap.
    Color::greenColor().setFill();
    context.fillRect(Rect(0, 0, 1, 1));
    AffineTransform const ctm = context.ctm();
    context.restoreGState();
    Point const p = ctm.apply(Point{1, 0});
    EXPECT_NEAR(p.x, 20, 1e-9);
    EXPECT_NEAR(p.y, 22, 1e-9);
    Image const image = bitmap.makeImage();
    expectColor(image.colorAt({19.5, 21}), Color::greenColor());
    expectColor(image.colorAt({20.5, 21}), Color::clearColor());
    EXPECT_TRUE(context.ctm().isIdentity());
}

TEST(GraphicsContextTest, StrokeUsesThePathsLineWidthAndStrokeColour)
{
    BitmapContext bitmap(Size{20, 20});
    Color::blackColor().setFill();
    Color::redColor().setStroke();
    BezierPath path;
    path.moveTo({0, 10});
    path.lineTo({20, 10});
    path.setLineWidth(4);
    path.stroke();
    Image const image = bitmap.makeImage();
    expectColor(image.colorAt({10, 8.5}), Color::redColor());
    expectColor(image.colorAt({10, 11.5}), Color::redColor());
    expectColor(image.colorAt({10, 6.5}), Color::clearColor());
}

TEST(GraphicsContextTest, LinearGradientEndsAndSides)
{
    Gradient const gradient({Color::blackColor(), Color::whiteColor()});
    {
        BitmapContext bitmap(Size{100, 4});
        bitmap.context().drawLinearGradient(gradient, {10, 0}, {90, 0}, GradientDrawsNone);
        Image const image = bitmap.makeImage();
        expectColor(image.colorAt({10.5, 2}), Color::blackColor(), 0.02);
        expectColor(image.colorAt({89.5, 2}), Color::whiteColor(), 0.02);
        expectColor(image.colorAt({50, 2}), Color::withWhite(0.5), 0.02);
        expectColor(image.colorAt({5, 2}), Color::clearColor());
        expectColor(image.colorAt({95, 2}), Color::clearColor());
    }
    {
        BitmapContext bitmap(Size{100, 4});
        bitmap.context().drawLinearGradient(gradient, {10, 0}, {90, 0}, GradientDrawsAfterEndLocation);
        Image const image = bitmap.makeImage();
        expectColor(image.colorAt({5, 2}), Color::clearColor());
        expectColor(image.colorAt({95, 2}), Color::whiteColor());
    }
}

TEST(GraphicsContextTest, RadialGradientFromCentreToRim)
{
    BitmapContext bitmap(Size{40, 40});
    bitmap.context().drawRadialGradient(Gradient({Color::redColor(), Color::blueColor()}), {20, 20}, 0, {20, 20}, 20,
                                        GradientDrawsNone);
    Image const image = bitmap.makeImage();
    expectColor(image.colorAt({20, 20}), Color::redColor(), 0.06);
    Color const rim = image.colorAt({20, 1});
    EXPECT_GT(rim.blue(), 0.9);
    expectColor(image.colorAt({1, 1}), Color::clearColor());
}

TEST(GraphicsContextTest, PngWrittenAndReadBackKeepsSizeScaleAndPixels)
{
    auto const dir = std::filesystem::temp_directory_path() / ("graphics-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::string const path = (dir / "picture@2x.png").string();
    {
        BitmapContext bitmap(Size{30, 20}, false, 2);
        Color(1, 0.5, 0).setFill();
        bitmap.context().fillRect(Rect(0, 0, 15, 20));
        Image const image = bitmap.makeImage();
        EXPECT_EQ(image.pixelWidth(), 60);
        EXPECT_EQ(image.pixelHeight(), 40);
        ASSERT_TRUE(image.writePNG(path));
    }
    Image const loaded = Image::contentsOfFile(path);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded.size(), (Size{30, 20}));
    EXPECT_EQ(loaded.scale(), 2);
    expectColor(loaded.colorAt({5, 10}), Color(1, 0.5, 0));
    expectColor(loaded.colorAt({25, 10}), Color::clearColor());

    // Drawn stretched into another context.
    BitmapContext target(Size{10, 10});
    loaded.drawInRect(Rect(0, 0, 10, 10));
    Image const drawn = target.makeImage();
    expectColor(drawn.colorAt({2, 5}), Color(1, 0.5, 0));
    expectColor(drawn.colorAt({8, 5}), Color::clearColor());

    EXPECT_FALSE(Image::contentsOfFile((dir / "missing.png").string()));
    std::filesystem::remove_all(dir);
}

TEST(GraphicsContextTest, ContextStackIsLastInFirstOut)
{
    EXPECT_EQ(GraphicsContext::current(), nullptr);
    {
        BitmapContext outer(Size{2, 2});
        {
            BitmapContext inner(Size{2, 2});
            EXPECT_EQ(GraphicsContext::current(), &inner.context());
        }
        EXPECT_EQ(GraphicsContext::current(), &outer.context());
    }
    EXPECT_EQ(GraphicsContext::current(), nullptr);
    // Drawing without a context does nothing and does not crash.
    Color::redColor().setFill();
    BezierPath::withRect(Rect(0, 0, 1, 1)).fill();
}

TEST(GraphicsContextTest, ZeroScaleDrawsNothingAndKeepsTheContextUsable)
{
    BitmapContext bitmap(Size{10, 10});
    GraphicsContext& context = bitmap.context();
    context.saveGState();
    context.scale(0, 1);
    Color::redColor().setFill();
    context.fillRect(Rect(0, 0, 10, 10));
    context.restoreGState();
    Color::blueColor().setFill();
    context.fillRect(Rect(0, 0, 10, 10));
    expectColor(bitmap.makeImage().colorAt({5, 5}), Color::blueColor());
}

TEST(GraphicsContextTest, GlobalAlphaAndTransparencyLayer)
{
    BitmapContext bitmap(Size{20, 10});
    GraphicsContext& context = bitmap.context();
    context.setAlpha(0.5);
    Color::redColor().setFill();
    context.fillRect(Rect(0, 0, 10, 10));
    // In a layer two overlapping fills come out as one at the layer's alpha.
    context.beginTransparencyLayer();
    context.fillRect(Rect(10, 0, 10, 10));
    context.fillRect(Rect(10, 0, 10, 10));
    context.endTransparencyLayer();
    Image const image = bitmap.makeImage();
    EXPECT_NEAR(image.colorAt({5, 5}).alpha(), 0.5, 0.01);
    EXPECT_NEAR(image.colorAt({15, 5}).alpha(), 0.5, 0.01);
}

TEST(GraphicsContextTest, TextIsDrawnInsideItsRectangleAndMeasured)
{
    TextAttributes attributes;
    attributes.font = Font::withName("Helvetica-Bold", 20);
    attributes.alignment = TextAlignment::Center;
    EXPECT_TRUE(attributes.font.isBold());
    Size const size = StringDrawing::size("WW", attributes);
    EXPECT_GT(size.width, 20);
    EXPECT_NEAR(size.height, attributes.font.lineHeight(), 1e-9);
    Rect const wrapped = StringDrawing::boundingRect("one two three four", Size{40, 1000}, attributes);
    EXPECT_GE(wrapped.size.height, 3 * attributes.font.lineHeight() - 1e-9);
    EXPECT_DOUBLE_EQ(StringDrawing::boundingRect("", Size{40, 1000}, attributes).size.height, 0);

    BitmapContext bitmap(Size{100, 40});
    StringDrawing::drawInRect("WW", Rect(0, 0, 100, 40), attributes);
    Image const image = bitmap.makeImage();
    // Centred: ink near the middle, none at the far left and right.
    int inkLeft = 0, inkMiddle = 0, inkRight = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 100; ++x) {
            if (image.pixel(x, y).alpha() <= 0.5)
                continue;
            (x < 20 ? inkLeft : x >= 80 ? inkRight : inkMiddle)++;
        }
    EXPECT_EQ(inkLeft, 0);
    EXPECT_EQ(inkRight, 0);
    EXPECT_GT(inkMiddle, 20);
}

TEST(GraphicsContextTest, BadDashesAndTransformsLeaveTheContextUsable)
{
    BitmapContext bitmap(Size{20, 20});
    GraphicsContext& context = bitmap.context();
    context.saveGState();
    context.rotate(std::nan(""));
    context.translate(INFINITY, 0);
    BezierPath line;
    line.moveTo({0, 5});
    line.lineTo({20, 5});
    line.setLineWidth(4);
    line.setLineDash({-3, 2}, 0);
    line.stroke();
    line.setLineDash({0, 0}, 0);
    line.stroke(); // all-zero pattern: solid
    context.restoreGState();
    Color::blueColor().setFill();
    context.fillRect(Rect(0, 10, 20, 10));
    Image const image = bitmap.makeImage();
    expectColor(image.colorAt({10, 5}), Color::blackColor());
    expectColor(image.colorAt({10, 15}), Color::blueColor());
    EXPECT_TRUE(context.ctm().isIdentity());
}

TEST(GraphicsContextTest, TransformsThatWouldOverflowAreIgnored)
{
    BitmapContext bitmap(Size{20, 20});
    GraphicsContext& context = bitmap.context();
    context.saveGState();
    context.scale(1e300, 1e300); // the determinant overflows
    EXPECT_TRUE(context.ctm().isIdentity());
    context.translate(1e308, 0);
    context.translate(1e308, 0); // the offset overflows
    EXPECT_EQ(context.ctm().tx, 1e308);
    context.restoreGState();
    Color::blueColor().setFill();
    context.fillRect(Rect(0, 0, 20, 20));
    expectColor(bitmap.makeImage().colorAt({10, 10}), Color::blueColor());
}
