#pragma once

#include "platform/ui/ScrollView.h"
#include "platform/ui/TextField.h"
#include "platform/ui/ViewController.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Platform {

class AlertAction;

// A button of an alert: its title, style and the block run when it is chosen.
class AlertAction {
public:
    enum class Style : int { Default = 0, Cancel = 1, Destructive = 2 };
    using Handler = std::function<void(AlertAction*)>;

    static std::shared_ptr<AlertAction> actionWithTitle(std::string title, Style style, Handler handler);

    std::string const& title() const { return title_; }
    Style style() const { return style_; }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled) { enabled_ = enabled; }
    // The check mark some lists show beside a choice.
    bool isChecked() const { return checked_; }
    void setChecked(bool checked) { checked_ = checked; }
    Handler const& handler() const { return handler_; }

private:
    std::string title_;
    Style style_ = Style::Default;
    Handler handler_;
    bool enabled_ = true;
    bool checked_ = false;
};

// A message with buttons (and, in the alert style, text fields), presented over a screen.
// Choosing an enabled action dismisses the alert and then runs the action's handler.
// Presented modally it dims the screen and centres a panel sized to its title, wrapped message,
// fields and buttons; presented as a popover it takes its content's size (its preferred content
// size unless one was set) at its source, undimmed. Content taller than the room scrolls.
// An action sheet whose titles carry leading tabs shows all its titles left-aligned, each tab an
// indent; a checked action shows a check mark.
class AlertController : public ViewController {
public:
    enum class Style : int { ActionSheet = 0, Alert = 1 };

    static std::shared_ptr<AlertController> alertControllerWithTitle(std::string title, std::string message, Style style);

    std::string const& title() const { return ViewController::title(); }
    std::string const& message() const { return message_; }
    Style preferredStyle() const { return style_; }

    void addAction(std::shared_ptr<AlertAction> action);
    std::vector<std::shared_ptr<AlertAction>> const& actions() const { return actions_; }
    // Text fields exist in the alert style only; the block configures the new field.
    void addTextFieldWithConfigurationHandler(std::function<void(TextField*)> configure);
    std::vector<std::shared_ptr<TextField>> const& textFields() const { return textFields_; }

    // The user chooses the action at that index (in the order of adding); false when there is
    // none or it is disabled.
    bool chooseAction(std::size_t index);
    // The same by title.
    bool chooseActionWithTitle(std::string const& title);

    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;

private:
    void buttonTapped(Control* sender);
    // The panel's width where the alert is not a popover, inside the given room.
    double modalPanelWidth(double roomWidth) const;
    // The width the content asks for as a popover.
    double popoverWidth() const;
    // Places the rows for a panel width and gives the height they take.
    double layoutRows(double width);
    bool titlesIndented() const;

    std::string message_;
    Style style_ = Style::Alert;
    std::vector<std::shared_ptr<AlertAction>> actions_;
    std::vector<std::shared_ptr<TextField>> textFields_;
    std::shared_ptr<ScrollView> panel_;
    std::vector<std::shared_ptr<View>> rows_;
};

} // namespace Platform
