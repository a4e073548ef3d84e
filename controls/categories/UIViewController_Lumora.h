#pragma once

#include "platform/ui/ViewController.h"

// Controller helpers.
class UIViewController_Lumora {
public:
    // For sheet and popover presentations (automatic, page sheet, form sheet, popover), moves the
    // root view's frame by its safe-area insets; other presentations are left alone. The
    // platform this runs on is taken as one whose sheets need it.
    static void adjustPopoverSize(Platform::ViewController* controller);
};
