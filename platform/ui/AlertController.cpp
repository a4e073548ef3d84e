#include "platform/ui/AlertController.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"

#include <algorithm>
#include <cmath>

namespace Platform {

std::shared_ptr<AlertAction> AlertAction::actionWithTitle(std::string title, Style style, Handler handler)
{
    auto action = std::make_shared<AlertAction>();
    action->title_ = std::move(title);
    action->style_ = style;
    action->handler_ = std::move(handler);
    return action;
}

std::shared_ptr<AlertController> AlertController::alertControllerWithTitle(std::string title, std::string message,
                                                                           Style style)
{
    auto alert = newObject<AlertController>();
    alert->setTitle(std::move(title));
    alert->message_ = std::move(message);
    alert->style_ = style;
    alert->setModalPresentationStyle(style == Style::ActionSheet ? ModalPresentationStyle::Popover
                                                                 : ModalPresentationStyle::OverFullScreen);
    return alert;
}

void AlertController::addAction(std::shared_ptr<AlertAction> action)
{
    if (action)
        actions_.push_back(std::move(action));
}

void AlertController::addTextFieldWithConfigurationHandler(std::function<void(TextField*)> configure)
{
    if (style_ != Style::Alert)
        return;
    auto field = std::make_shared<TextField>(Rect(0, 0, 240, 28));
    if (configure)
        configure(field.get());
    textFields_.push_back(std::move(field));
}

bool AlertController::chooseAction(std::size_t index)
{
    if (index >= actions_.size() || !actions_[index]->isEnabled())
        return false;
    // The alert and its action stay alive until the handler has run.
    auto keep = self<AlertController>();
    auto action = actions_[index];
    if (presentingViewController())
        dismissViewControllerAnimated(true);
    if (action->handler())
        action->handler()(action.get());
    return true;
}

bool AlertController::chooseActionWithTitle(std::string const& title)
{
    for (std::size_t i = 0; i < actions_.size(); ++i)
        if (actions_[i]->title() == title)
            return chooseAction(i);
    return false;
}

void AlertController::buttonTapped(Control* sender)
{
    chooseAction(static_cast<std::size_t>(sender->tag()));
}

namespace {

constexpr double kAlertWidth = 270;
constexpr double kSheetWidth = 304;
constexpr double kPopoverMinWidth = 160;
constexpr double kPopoverMaxWidth = 320;
constexpr double kPadding = 16;
constexpr double kButtonHeight = 44;
constexpr double kFieldHeight = 28;
// Room at a button's right for the check mark.
constexpr double kCheckRoom = 36;
constexpr Color kDimming = Color::withWhite(0, 0.4);

// One action's button: its title inset from the edges, a hairline above it, and a check mark at
// its right while its action is checked.
class AlertActionButton : public Button {
public:
    AlertActionButton(Rect frame, std::shared_ptr<AlertAction> action)
        : Button(frame, Button::Type::System), action_(std::move(action))
    {
    }

    void layoutSubviews() override
    {
        Button::layoutSubviews();
        if (Label* label = titleLabel()) {
            // A centred title keeps clear of the check mark on both sides, so it stays centred.
            Rect b = bounds();
            double const left = label->textAlignment() == TextAlignment::Left ? kPadding : kCheckRoom;
            label->setFrame(Rect(b.minX() + left, b.minY(), std::max(0.0, b.width() - left - kCheckRoom), b.height()));
        }
    }

    void drawRect(Rect const& rect) override
    {
        Button::drawRect(rect);
        GraphicsContext* context = GraphicsContext::current();
        if (!context)
            return;
        Rect b = bounds();
        // A hairline parts the row from what is above it; the panel's top row needs none.
        if (frame().minY() > 0) {
            context->setFillColor(Color::withWhite(0.8));
            context->fillRect(Rect(b.minX(), b.minY(), b.width(), 0.5));
        }
        if (!action_->isChecked())
            return;
        // A tick: down to the bottom of a short stroke, then up to the right.
        double const x = b.maxX() - kCheckRoom + 10;
        double const y = b.midY();
        BezierPath tick;
        tick.moveTo({x, y});
        tick.lineTo({x + 5, y + 6});
        tick.lineTo({x + 15, y - 7});
        tick.setLineWidth(2.5);
        context->setStrokeColor(tintColor());
        context->strokePath(tick);
    }

private:
    std::shared_ptr<AlertAction> action_;
};

bool startsWithTab(std::string const& text)
{
    return !text.empty() && text.front() == '\t';
}

} // namespace

bool AlertController::titlesIndented() const
{
    return style_ == Style::ActionSheet
        && std::any_of(actions_.begin(), actions_.end(), [](auto const& a) { return startsWithTab(a->title()); });
}

// The title, the message, the text fields, then one button per action, on a panel that scrolls
// when it has less room than its rows.
void AlertController::viewDidLoad()
{
    panel_ = std::make_shared<ScrollView>(Rect(0, 0, kAlertWidth, 100));
    panel_->setBackgroundColor(Color::withWhite(0.97));
    panel_->layer().cornerRadius = 13;
    panel_->layer().masksToBounds = true;
    panel_->setBounces(false);
    view()->addSubview(panel_);
    rows_.clear();
    auto addLabel = [&](std::string const& text, Font font) {
        if (text.empty())
            return;
        auto label = std::make_shared<Label>(Rect(0, 0, kAlertWidth - 2 * kPadding, font.lineHeight()));
        label->setText(text);
        label->setFont(font);
        label->setNumberOfLines(0);
        label->setTextAlignment(TextAlignment::Center);
        panel_->addSubview(label);
        rows_.push_back(label);
    };
    addLabel(title(), Font::boldSystemFont(17));
    addLabel(message_, Font::systemFont(13));
    for (auto& field : textFields_) {
        field->setBackgroundColor(Color::whiteColor());
        panel_->addSubview(field);
        rows_.push_back(field);
    }
    bool const leftAligned = titlesIndented();
    for (std::size_t i = 0; i < actions_.size(); ++i) {
        auto button = std::make_shared<AlertActionButton>(Rect(0, 0, kAlertWidth, kButtonHeight), actions_[i]);
        button->setTag(static_cast<int>(i));
        button->setTitle(actions_[i]->title(), ControlState::Normal);
        if (actions_[i]->style() == AlertAction::Style::Destructive) {
            button->setTitleColor(Color::redColor(), ControlState::Normal);
            button->setTitleColor(Color::lightGrayColor(), ControlState::Disabled);
        }
        button->titleLabel()->setTextAlignment(leftAligned ? TextAlignment::Left : TextAlignment::Center);
        button->setEnabled(actions_[i]->isEnabled());
        button->addTarget(this, &AlertController::buttonTapped, ControlEvents::TouchUpInside);
        panel_->addSubview(button);
        rows_.push_back(button);
    }
    // As a popover the alert is as large as its content.
    if (preferredContentSize().width <= 0 || preferredContentSize().height <= 0) {
        double const width = popoverWidth();
        // An empty alert still shows a row's height rather than the default popover size.
        setPreferredContentSize({width, std::max(layoutRows(width), kButtonHeight)});
    }
}

double AlertController::modalPanelWidth(double roomWidth) const
{
    double const wanted = style_ == Style::ActionSheet ? kSheetWidth : kAlertWidth;
    return std::max(0.0, std::min(wanted, roomWidth - 2 * 8));
}

double AlertController::popoverWidth() const
{
    double width = kPopoverMinWidth;
    for (auto const& row : rows_) {
        if (auto* button = dynamic_cast<Button*>(row.get())) {
            Label* label = button->titleLabel();
            width = std::max(width, label->sizeThatFits({0, 0}).width + 2 * kCheckRoom);
        } else if (auto* label = dynamic_cast<Label*>(row.get())) {
            width = std::max(width, label->sizeThatFits({0, 0}).width + 2 * kPadding);
        }
    }
    return std::ceil(std::min(width, kPopoverMaxWidth));
}

double AlertController::layoutRows(double width)
{
    double const inner = std::max(0.0, width - 2 * kPadding);
    double y = 0;
    bool textBlock = false;
    for (auto& row : rows_) {
        if (dynamic_cast<Button*>(row.get())) {
            if (textBlock) {
                y += 8;
                textBlock = false;
            }
            row->setFrame(Rect(0, y, width, kButtonHeight));
            y += kButtonHeight;
            continue;
        }
        if (!textBlock)
            y += kPadding;
        textBlock = true;
        double height = kFieldHeight;
        if (auto* label = dynamic_cast<Label*>(row.get()))
            height = std::ceil(label->sizeThatFits({inner, 0}).height);
        row->setFrame(Rect(kPadding, y, inner, height));
        y += height + 4;
    }
    if (textBlock)
        y += kPadding - 4;
    return y;
}

void AlertController::viewDidLayoutSubviews()
{
    if (!panel_)
        return;
    View* root = view();
    Rect const b = root->bounds();
    if (presentationStyleInEffect() == ModalPresentationStyle::Popover) {
        // A popover dims nothing: the panel is the whole popover.
        if (root->backgroundColor() == std::optional<Color>(kDimming))
            root->setBackgroundColor(std::nullopt);
        double const height = layoutRows(b.width());
        panel_->setFrame(b);
        panel_->setContentSize({b.width(), height});
        return;
    }
    root->setBackgroundColor(kDimming);
    double const width = modalPanelWidth(b.width());
    double const height = layoutRows(width);
    double const shown = std::min(height, std::max(0.0, b.height() - 2 * 20));
    panel_->setFrame(Rect(b.midX() - width / 2, b.midY() - shown / 2, width, shown));
    panel_->setContentSize({width, height});
}

} // namespace Platform
