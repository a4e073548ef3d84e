#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/ui/Label.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace Platform;

namespace {

// Fills a cross of its tint colour through the current context.
class CrossView : public View {
public:
    using View::View;
    int draws = 0;
    void drawRect(Rect const& rect) override
    {
        ++draws;
        auto* context = GraphicsContext::current();
        ASSERT_NE(context, nullptr);
        context->setFillColor(tintColor());
        context->fillRect(Rect(rect.midX() - 2, rect.minY(), 4, rect.height()));
        context->fillRect(Rect(rect.minX(), rect.midY() - 2, rect.width(), 4));
    }
};

void expectColor(Image const& image, Point p, Color expected)
{
    Color c = image.colorAt(p);
    EXPECT_NEAR(c.red(), expected.red(), 0.02) << p.x << "," << p.y;
    EXPECT_NEAR(c.green(), expected.green(), 0.02) << p.x << "," << p.y;
    EXPECT_NEAR(c.blue(), expected.blue(), 0.02) << p.x << "," << p.y;
    EXPECT_NEAR(c.alpha(), expected.alpha(), 0.02) << p.x << "," << p.y;
}

} // namespace

TEST(UiRender, TreeDrawsBackgroundsContentAndSubviewsWithTransformsAndClipping)
{
    auto window = std::make_shared<Window>(Rect(0, 0, 100, 100));
    window->setBackgroundColor(Color::whiteColor());
    auto box = std::make_shared<View>(Rect(10, 10, 40, 40));
    box->setBackgroundColor(Color::redColor());
    box->setClipsToBounds(true);
    auto spill = std::make_shared<View>(Rect(30, 30, 40, 40));  // half outside the box: clipped
    spill->setBackgroundColor(Color::blueColor());
    box->addSubview(spill);
    auto cross = std::make_shared<CrossView>(Rect(60, 60, 20, 20));
    cross->setTintColor(Color::greenColor());
    cross->setTransform(AffineTransform::scaling(2, 2));  // shows at (50, 50, 40, 40)
    auto hidden = std::make_shared<View>(Rect(0, 0, 100, 100));
    hidden->setBackgroundColor(Color::blackColor());
    hidden->setHidden(true);
    window->addSubview(box);
    window->addSubview(cross);
    window->addSubview(hidden);

    Image image = window->renderToImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixelWidth(), 100);
    expectColor(image, {5, 5}, Color::whiteColor());
    expectColor(image, {15, 15}, Color::redColor());
    expectColor(image, {45, 45}, Color::blueColor());
    expectColor(image, {55, 20}, Color::whiteColor());  // the blue beyond the box is cut
    expectColor(image, {70, 52}, Color::greenColor());  // the cross's vertical bar, scaled
    expectColor(image, {55, 55}, Color::whiteColor());
    EXPECT_EQ(cross->draws, 1);
    EXPECT_FALSE(cross->needsDisplay());

    auto path = std::filesystem::temp_directory_path() / "corvane_ui_render_test.png";
    ASSERT_TRUE(image.writePNG(path.string()));
    Image back = Image::contentsOfFile(path.string());
    expectColor(back, {15, 15}, Color::redColor());
    std::filesystem::remove(path);
}

TEST(UiRender, AlphaFadesAWholeSubtree)
{
    auto root = std::make_shared<View>(Rect(0, 0, 20, 20));
    root->setBackgroundColor(Color::whiteColor());
    auto faded = std::make_shared<View>(Rect(0, 0, 20, 20));
    faded->setAlpha(0.5);
    faded->setBackgroundColor(Color::blackColor());
    auto inner = std::make_shared<View>(Rect(0, 0, 10, 10));
    inner->setBackgroundColor(Color::blackColor());
    faded->addSubview(inner);
    root->addSubview(faded);
    Image image = renderViewToImage(*root, 2);
    EXPECT_EQ(image.pixelWidth(), 40);
    // Black over black inside the faded group is one layer at half strength.
    expectColor(image, {5, 5}, Color::withWhite(0.5));
    expectColor(image, {15, 15}, Color::withWhite(0.5));
}

TEST(UiRender, LabelDrawsItsTextInItsColour)
{
    auto label = std::make_shared<Label>(Rect(0, 0, 80, 30));
    label->setBackgroundColor(Color::whiteColor());
    label->setText("HHHH");
    label->setTextColor(Color::redColor());
    label->setFont(Font::boldSystemFont(24));
    Image image = renderViewToImage(*label);
    int reddish = 0;
    for (int y = 0; y < image.pixelHeight(); ++y)
        for (int x = 0; x < image.pixelWidth(); ++x) {
            Color c = image.pixel(x, y);
            reddish += c.red() > 0.9 && c.green() < 0.2;
        }
    EXPECT_GT(reddish, 50);
}

TEST(UiRender, OneLineLabelKeepsEveryWordOnItsLine)
{
    auto label = std::make_shared<Label>(Rect(0, 0, 200, 30));
    label->setBackgroundColor(Color::whiteColor());
    label->setNumberOfLines(1);
    label->setTextAlignment(TextAlignment::Left);
    label->setText("HH HH");
    label->setTextColor(Color::redColor());
    label->setFont(Font::boldSystemFont(24));
    Image image = renderViewToImage(*label);
    // The second word lies right of the first: red pixels must appear past the first word.
    int reddishRight = 0;
    for (int y = 0; y < image.pixelHeight(); ++y)
        for (int x = image.pixelWidth() / 4; x < image.pixelWidth(); ++x) {
            Color c = image.pixel(x, y);
            reddishRight += c.red() > 0.9 && c.green() < 0.2;
        }
    EXPECT_GT(reddishRight, 50);
}

// A one-line label too narrow for its text stays on its line (cut at the tail), drawing nothing
// above or below it, where a row's separator would be.
TEST(UiRender, OneLineLabelTooNarrowStaysOnItsLine)
{
    auto label = std::make_shared<Label>(Rect(0, 0, 120, 90));
    label->setBackgroundColor(Color::whiteColor());
    label->setText("A name far longer than the label is wide, in several words");
    label->setTextColor(Color::blackColor());
    label->setFont(Font::systemFont(14));
    Image image = renderViewToImage(*label);
    auto inked = [&](int y0, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < image.pixelWidth(); ++x)
                n += image.pixel(x, y).red() < 0.5;
        return n;
    };
    EXPECT_GT(inked(30, 60), 20) << "the line in the middle";
    EXPECT_EQ(inked(0, 30), 0);
    EXPECT_EQ(inked(60, 90), 0);
}
