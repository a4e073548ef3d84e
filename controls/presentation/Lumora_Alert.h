#pragma once

#include "platform/ui/ViewController.h"

#include <functional>
#include <string>

// Three ready-made alerts, each presented in the alert style from a screen, animated. A missing
// handler makes its button only close the alert. The button titles "OK" and "Cancel" are fixed.
class Lumora_Alert {
public:
    using Handler = std::function<void()>;
    using TextHandler = std::function<void(std::string const& text)>;

    // One "OK" button.
    static void showAlertWithTitle(std::string const& title, std::string const& message, Handler okHandler,
                                   Platform::ViewController* viewController);
    // "Cancel", then "OK".
    static void showAlertWithTitle(std::string const& title, std::string const& message, Handler okHandler,
                                   Handler cancelHandler, Platform::ViewController* viewController);
    // "Cancel", then "OK", then a text field holding the default text; both handlers get the
    // field's text as it is when the button is chosen.
    static void showTextInputAlertWithTitle(std::string const& title, std::string const& message,
                                            std::string const& defaultText, TextHandler okHandler,
                                            TextHandler cancelHandler, Platform::ViewController* viewController);
};
