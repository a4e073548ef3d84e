#include "platform/ui/KeyboardInput.h"

#include "platform/foundation/NotificationCenter.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/TextField.h"
#include "platform/ui/Window.h"

#include <atomic>
#include <string>

namespace Platform {

namespace {

std::atomic<bool> altDown{false};

bool onScreenIn(View const& view, Window const& window)
{
    if (view.window() != &window)
        return false;
    for (View const* v = &view; v; v = v->superview())
        if (v->isHidden())
            return false;
    return true;
}

// A UTF-8 continuation byte: 10xxxxxx.
bool continuationByte(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

} // namespace

AlertController* KeyboardInput::frontAlert() const
{
    ViewController* top = window_.rootViewController();
    if (!top)
        return nullptr;
    while (top->presentedViewController())
        top = top->presentedViewController();
    return dynamic_cast<AlertController*>(top);
}

TextField* KeyboardInput::focusedField() const
{
    if (auto field = focused_.lock(); field && onScreenIn(*field, window_))
        return field.get();
    if (AlertController* alert = frontAlert())
        for (auto const& field : alert->textFields())
            if (onScreenIn(*field, window_))
                return field.get();
    return nullptr;
}

void KeyboardInput::touchedView(View* view)
{
    if (auto* field = dynamic_cast<TextField*>(view))
        focused_ = std::static_pointer_cast<TextField>(field->shared_from_this());
}

void KeyboardInput::insertText(std::string_view utf8)
{
    std::string printable;
    for (char c : utf8)
        if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7F)
            printable += c;
    TextField* field = focusedField();
    if (!field || printable.empty() || !field->isEnabled())
        return;
    field->typeText(field->text() + printable);
}

void KeyboardInput::deleteBackward()
{
    TextField* field = focusedField();
    if (!field || field->text().empty() || !field->isEnabled())
        return;
    std::string text = field->text();
    std::size_t end = text.size() - 1;
    while (end > 0 && continuationByte(text[end]))
        --end;
    text.erase(end);
    field->typeText(std::move(text));
}

bool KeyboardInput::enter()
{
    AlertController* alert = frontAlert();
    if (!alert)
        return false;
    auto const& actions = alert->actions();
    for (std::size_t i = 0; i < actions.size(); ++i)
        if (actions[i]->style() == AlertAction::Style::Default)
            return alert->chooseAction(i);
    return false;
}

bool KeyboardInput::escape()
{
    AlertController* alert = frontAlert();
    if (!alert)
        return false;
    auto const& actions = alert->actions();
    for (std::size_t i = 0; i < actions.size(); ++i)
        if (actions[i]->style() == AlertAction::Style::Cancel)
            return alert->chooseAction(i);
    return false;
}

void KeyboardInput::setAltDown(bool down)
{
    if (altDown.exchange(down) == down)
        return;
    NotificationCenter::defaultCenter().post(Notification{kAltKeyDidChangeNotification, nullptr, {}});
}

bool KeyboardInput::isAltDown()
{
    return altDown.load();
}

} // namespace Platform
