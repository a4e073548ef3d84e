#include "platform/graphics/Image.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/Button.h"
#include "platform/ui/PopoverPresentationController.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace Platform;

namespace {

class AlertLayout : public ::testing::Test {
protected:
    std::shared_ptr<Window> window = std::make_shared<Window>(Rect(0, 0, 1024, 768));
    std::shared_ptr<ViewController> root = newObject<ViewController>();

    void SetUp() override
    {
        window->setRootViewController(root);
        root->view()->setBackgroundColor(Color::whiteColor());
    }

    static void walk(View* view, std::function<void(View*)> const& visit)
    {
        visit(view);
        for (auto const& sub : view->subviews())
            walk(sub.get(), visit);
    }

    // The alert's buttons in the order of its actions, and its labels that are not button titles.
    static std::vector<Button*> buttons(AlertController& alert)
    {
        std::vector<Button*> found;
        walk(alert.view(), [&](View* v) {
            if (auto* b = dynamic_cast<Button*>(v))
                found.push_back(b);
        });
        return found;
    }
    static std::vector<Label*> texts(AlertController& alert)
    {
        std::vector<Label*> found;
        walk(alert.view(), [&](View* v) {
            auto* label = dynamic_cast<Label*>(v);
            if (label && !dynamic_cast<Button*>(v->superview()))
                found.push_back(label);
        });
        return found;
    }

    static Rect inWindow(View* v) { return v->convertRectToView(v->bounds(), nullptr); }

    // Counts the pixels of a rectangle (window points, scale 1) that pass the test.
    static int count(Image const& image, Rect r, std::function<bool(Color)> const& test)
    {
        int n = 0;
        for (int y = static_cast<int>(r.minY()); y < static_cast<int>(r.maxY()); ++y)
            for (int x = static_cast<int>(r.minX()); x < static_cast<int>(r.maxX()); ++x)
                n += test(image.pixel(x, y));
        return n;
    }
    static bool dark(Color c) { return c.alpha() > 0.5 && c.red() < 0.35 && c.green() < 0.35 && c.blue() < 0.35; }
    static bool tinted(Color c) { return c.blue() > 0.6 && c.red() < 0.5; }

    // The left-most column in the rectangle with a tinted pixel, or -1.
    static int firstTintedColumn(Image const& image, Rect r)
    {
        for (int x = static_cast<int>(r.minX()); x < static_cast<int>(r.maxX()); ++x)
            for (int y = static_cast<int>(r.minY()); y < static_cast<int>(r.maxY()); ++y)
                if (tinted(image.pixel(x, y)))
                    return x;
        return -1;
    }
};

} // namespace

TEST_F(AlertLayout, LongMessageWrapsBetweenTitleAndButtonsWithoutOverlap)
{
    auto alert = AlertController::alertControllerWithTitle(
        "Delete",
        "Do you really want to delete the three selected presets from this device?\n"
        "This cannot be undone, and the files will be gone for good.\n"
        "Presets in use by open documents are kept.",
        AlertController::Style::Alert);
    alert->addAction(AlertAction::actionWithTitle("Cancel", AlertAction::Style::Cancel, nullptr));
    alert->addAction(AlertAction::actionWithTitle("Delete", AlertAction::Style::Destructive, nullptr));
    root->presentViewController(alert, false);

    auto labels = texts(*alert);
    auto rows = buttons(*alert);
    ASSERT_EQ(labels.size(), 2u);
    ASSERT_EQ(rows.size(), 2u);
    Rect title = inWindow(labels[0]);
    Rect message = inWindow(labels[1]);
    // Three paragraphs, each wider than the panel: well over three lines.
    EXPECT_GE(message.height(), 4 * labels[1]->font().lineHeight());
    EXPECT_LE(title.maxY(), message.minY());
    EXPECT_LE(message.maxY(), inWindow(rows[0]).minY());
    EXPECT_LE(inWindow(rows[0]).maxY(), inWindow(rows[1]).minY());
    // The panel holds every row, centred on the dimmed screen.
    View* panel = rows[0]->superview();
    Rect p = inWindow(panel);
    EXPECT_LE(p.minY(), title.minY());
    EXPECT_GE(p.maxY(), inWindow(rows[1]).maxY());
    EXPECT_NEAR(p.midX(), 512, 1);
    EXPECT_NEAR(p.midY(), 384, 1);
    EXPECT_TRUE(alert->view()->backgroundColor().has_value());

    Image image = window->renderToImage();
    EXPECT_GT(count(image, message, dark), 100);
    // The message's ink stays inside its own rectangle: none in the buttons' rows.
    Rect buttonsArea(p.minX(), inWindow(rows[0]).minY(), p.width(), 2 * inWindow(rows[0]).height());
    EXPECT_EQ(count(image, buttonsArea, dark), 0);
    // Its last line is drawn: ink in the bottom line's band.
    double line = labels[1]->font().lineHeight();
    EXPECT_GT(count(image, Rect(message.minX(), message.maxY() - line, message.width(), line), dark), 10);
}

TEST_F(AlertLayout, TabIndentedActionTitlesAreLeftAlignedAndStepRight)
{
    auto sheet = AlertController::alertControllerWithTitle("Move", "Please select the destination folder.",
                                                           AlertController::Style::ActionSheet);
    for (char const* title : {"User", "\tPads", "\t\tWarm"})
        sheet->addAction(AlertAction::actionWithTitle(title, AlertAction::Style::Default, nullptr));
    root->presentViewController(sheet, false);
    auto rows = buttons(*sheet);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1]->currentTitle(), "\tPads");  // the title itself keeps its tab

    Image image = window->renderToImage();
    int const user = firstTintedColumn(image, inWindow(rows[0]));
    int const pads = firstTintedColumn(image, inWindow(rows[1]));
    int const warm = firstTintedColumn(image, inWindow(rows[2]));
    ASSERT_GE(user, 0);
    // Left-aligned: the top level starts near the row's left edge, not centred.
    EXPECT_LT(user, inWindow(rows[0]).minX() + 30);
    EXPECT_GT(pads, user + 10);
    EXPECT_GT(warm, pads + 10);
}

TEST_F(AlertLayout, CheckedActionShowsACheckMarkAndOthersNone)
{
    auto sheet = AlertController::alertControllerWithTitle("", "", AlertController::Style::ActionSheet);
    for (char const* title : {"Off", "On"})
        sheet->addAction(AlertAction::actionWithTitle(title, AlertAction::Style::Default, nullptr));
    sheet->actions()[1]->setChecked(true);
    root->presentViewController(sheet, false);
    auto rows = buttons(*sheet);
    ASSERT_EQ(rows.size(), 2u);

    Image image = window->renderToImage();
    auto markArea = [&](Button* b) {
        Rect r = inWindow(b);
        return Rect(r.maxX() - 36, r.minY(), 36, r.height());
    };
    EXPECT_EQ(count(image, markArea(rows[0]), tinted), 0);
    EXPECT_GT(count(image, markArea(rows[1]), tinted), 20);
    // The titles stay centred and clear of the mark.
    EXPECT_EQ(rows[1]->titleLabel()->textAlignment(), TextAlignment::Center);
}

TEST_F(AlertLayout, PopoverSheetFitsItsContentUnderItsSourceWithoutDimming)
{
    auto source = std::make_shared<View>(Rect(100, 100, 80, 30));
    root->view()->addSubview(source);
    auto list = AlertController::alertControllerWithTitle("", "", AlertController::Style::ActionSheet);
    std::string chosen;
    for (char const* title : {"item-0", "item-1", "item-2", "item-3"})
        list->addAction(AlertAction::actionWithTitle(title, AlertAction::Style::Default,
                                                     [&chosen](AlertAction* a) { chosen = a->title(); }));
    list->setModalPresentationStyle(ModalPresentationStyle::Popover);
    PopoverPresentationController* popover = list->popoverPresentationController();
    popover->setSourceView(source.get());
    popover->setSourceRect(source->bounds());
    popover->setPermittedArrowDirections(PopoverArrowDirection::Up);
    root->presentViewController(list, false);
    ASSERT_EQ(list->presentationStyleInEffect(), ModalPresentationStyle::Popover);

    Rect f = list->view()->frame();
    EXPECT_EQ(f.height(), 4 * 44);
    EXPECT_GE(f.width(), 100);
    EXPECT_LE(f.width(), 320);
    EXPECT_EQ(f.minY(), 130);  // right under the source
    EXPECT_NEAR(f.midX(), 140, 0.5);
    EXPECT_FALSE(list->view()->backgroundColor().has_value());
    // The screen around it is not dimmed; the rows are the popover's.
    Image image = window->renderToImage();
    Color far = image.pixel(900, 700);
    EXPECT_GT(far.red(), 0.95);
    auto rows = buttons(*list);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(inWindow(rows[3]).maxY(), f.maxY());

    Rect third = inWindow(rows[2]);
    window->tap({third.midX(), third.midY()}, 0.0);
    EXPECT_EQ(chosen, "item-2");
    EXPECT_EQ(root->presentedViewController(), nullptr);
}

TEST_F(AlertLayout, PopoverTallerThanTheWindowKeepsInsideItAndScrolls)
{
    auto list = AlertController::alertControllerWithTitle("", "", AlertController::Style::ActionSheet);
    for (int i = 0; i < 40; ++i)
        list->addAction(AlertAction::actionWithTitle("item-" + std::to_string(i), AlertAction::Style::Default, nullptr));
    root->presentViewController(list, false);
    ASSERT_EQ(list->presentationStyleInEffect(), ModalPresentationStyle::Popover);
    Rect f = list->view()->frame();
    EXPECT_GE(f.minY(), 0);
    EXPECT_LE(f.maxY(), 768);
    auto* panel = dynamic_cast<ScrollView*>(buttons(*list)[0]->superview());
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->contentSize().height, 40 * 44);
    EXPECT_GT(panel->maximumContentOffset().y, 0);
}

TEST_F(AlertLayout, ModalAlertDimsTheScreen)
{
    auto alert = AlertController::alertControllerWithTitle("Title", "Message", AlertController::Style::Alert);
    alert->addAction(AlertAction::actionWithTitle("OK", AlertAction::Style::Default, nullptr));
    root->presentViewController(alert, false);
    Color corner = window->renderToImage().pixel(5, 5);
    EXPECT_LT(corner.red(), 0.8);
    EXPECT_GT(corner.red(), 0.4);
}
