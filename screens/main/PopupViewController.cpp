#include "screens/main/PopupViewController.h"

float PopupViewController::scaleOfContent()
{
    if (auto* delegate = containerDelegate_.get())
        return delegate->scaleOfContent();
    return 1.0f;
}

void PopupViewController::touchOutsideOfContent()
{
    dismissViewControllerAnimated(true);
}
