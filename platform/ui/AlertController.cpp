#include "platform/ui/AlertController.h"

#include "platform/ui/Button.h"
#include "platform/ui/Label.h"

#include <algorithm>

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

// A plain panel: title, message, the text fields, then one button per action.
void AlertController::viewDidLoad()
{
    View* root = view();
    root->setBackgroundColor(Color::withWhite(0, 0.4));
    auto panel = std::make_shared<View>(Rect(0, 0, 270, 100));
    panel->setBackgroundColor(Color::withWhite(0.97));
    panel->layer().cornerRadius = 13;
    panel->layer().masksToBounds = true;
    root->addSubview(panel);
    rows_.clear();
    auto addLabel = [&](std::string const& text, Font font) {
        if (text.empty())
            return;
        auto label = std::make_shared<Label>(Rect(0, 0, 250, font.lineHeight() + 8));
        label->setText(text);
        label->setFont(font);
        label->setNumberOfLines(0);
        label->setTextAlignment(TextAlignment::Center);
        panel->addSubview(label);
        rows_.push_back(label);
    };
    addLabel(title(), Font::boldSystemFont(17));
    addLabel(message_, Font::systemFont(13));
    for (auto& field : textFields_) {
        field->setBackgroundColor(Color::whiteColor());
        panel->addSubview(field);
        rows_.push_back(field);
    }
    for (std::size_t i = 0; i < actions_.size(); ++i) {
        auto button = std::make_shared<Button>(Rect(0, 0, 270, 44), Button::Type::System);
        button->setTag(static_cast<int>(i));
        button->setTitle(actions_[i]->title(), ControlState::Normal);
        button->setEnabled(actions_[i]->isEnabled());
        button->addTarget(this, &AlertController::buttonTapped, ControlEvents::TouchUpInside);
        panel->addSubview(button);
        rows_.push_back(button);
    }
}

void AlertController::viewDidLayoutSubviews()
{
    if (rows_.empty())
        return;
    View* panel = rows_.front()->superview();
    double y = 12;
    for (auto& row : rows_) {
        Rect f = row->frame();
        double x = (270 - f.width()) / 2;
        row->setFrame(Rect(x, y, f.width(), f.height()));
        y += f.height() + 4;
    }
    Rect b = view()->bounds();
    double height = y + 8;
    panel->setFrame(Rect(b.midX() - 135, b.midY() - height / 2, 270, height));
}

} // namespace Platform
