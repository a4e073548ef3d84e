#include "controls/presentation/Lumora_Alert.h"

#include "platform/ui/AlertController.h"

using Platform::AlertAction;
using Platform::AlertController;

namespace {

AlertAction::Handler plain(Lumora_Alert::Handler handler)
{
    if (!handler)
        return nullptr;
    return [handler = std::move(handler)](AlertAction*) { handler(); };
}

} // namespace

void Lumora_Alert::showAlertWithTitle(std::string const& title, std::string const& message, Handler okHandler,
                                      Platform::ViewController* viewController)
{
    if (!viewController)
        return;
    auto alert = AlertController::alertControllerWithTitle(title, message, AlertController::Style::Alert);
    alert->addAction(AlertAction::actionWithTitle("OK", AlertAction::Style::Default, plain(std::move(okHandler))));
    viewController->presentViewController(alert, true);
}

void Lumora_Alert::showAlertWithTitle(std::string const& title, std::string const& message, Handler okHandler,
                                      Handler cancelHandler, Platform::ViewController* viewController)
{
    if (!viewController)
        return;
    auto alert = AlertController::alertControllerWithTitle(title, message, AlertController::Style::Alert);
    alert->addAction(AlertAction::actionWithTitle("Cancel", AlertAction::Style::Cancel, plain(std::move(cancelHandler))));
    alert->addAction(AlertAction::actionWithTitle("OK", AlertAction::Style::Default, plain(std::move(okHandler))));
    viewController->presentViewController(alert, true);
}

void Lumora_Alert::showTextInputAlertWithTitle(std::string const& title, std::string const& message,
                                               std::string const& defaultText, TextHandler okHandler,
                                               TextHandler cancelHandler, Platform::ViewController* viewController)
{
    if (!viewController)
        return;
    auto alert = AlertController::alertControllerWithTitle(title, message, AlertController::Style::Alert);
    alert->addTextFieldWithConfigurationHandler([&](Platform::TextField* field) {
        field->setText(defaultText);
        field->setClearButtonMode(Platform::TextField::ViewMode::WhileEditing);
        field->setKeyboardType(Platform::TextField::KeyboardType::AsciiCapable);
    });
    // The handlers hold the field, not the alert, so the alert's actions do not keep it alive.
    auto field = alert->textFields().front();
    auto withText = [field](TextHandler handler) -> AlertAction::Handler {
        if (!handler)
            return nullptr;
        return [field, handler = std::move(handler)](AlertAction*) { handler(field->text()); };
    };
    alert->addAction(AlertAction::actionWithTitle("Cancel", AlertAction::Style::Cancel, withText(std::move(cancelHandler))));
    alert->addAction(AlertAction::actionWithTitle("OK", AlertAction::Style::Default, withText(std::move(okHandler))));
    viewController->presentViewController(alert, true);
}
