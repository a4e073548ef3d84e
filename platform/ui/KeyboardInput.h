#pragma once

#include <memory>
#include <string_view>

namespace Platform {

class TextField;
class Window;
class AlertController;

// The keyboard of an on-screen window: typed text goes to the focused text field, Return and
// Escape answer the alert in front, and the Alt key's state is kept for the screens that offer
// an Alt mode. The focused field is the one last touched while it is on screen, else the first
// field of the alert in front.
class KeyboardInput {
public:
    explicit KeyboardInput(Window& window) : window_(window) {}

    TextField* focusedField() const;
    // A touch landed on this view: a text field there takes the focus.
    void touchedView(class View* view);

    // UTF-8 text as the keyboard produced it; control characters are left out.
    void insertText(std::string_view utf8);
    // Removes the last character (a whole UTF-8 sequence).
    void deleteBackward();
    // Return: the alert's default action (the first in the default style). False when nothing
    // took the key.
    bool enter();
    // Escape: the alert's cancel action.
    bool escape();

    // The Alt key, process-wide: a screen with an Alt mode reads it when it is told of a change
    // (the notification kAltKeyDidChangeNotification, posted on the main thread).
    void setAltDown(bool down);
    static bool isAltDown();

private:
    AlertController* frontAlert() const;

    Window& window_;
    std::weak_ptr<TextField> focused_;
};

inline constexpr char const* kAltKeyDidChangeNotification = "PlatformAltKeyDidChangeNotification";

} // namespace Platform
