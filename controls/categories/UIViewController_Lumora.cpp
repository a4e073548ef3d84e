#include "controls/categories/UIViewController_Lumora.h"

void UIViewController_Lumora::adjustPopoverSize(Platform::ViewController* controller)
{
    using Style = Platform::ModalPresentationStyle;
    if (!controller)
        return;
    Style style = controller->modalPresentationStyle();
    if (style != Style::Automatic && style != Style::PageSheet && style != Style::FormSheet && style != Style::Popover)
        return;
    Platform::View* view = controller->view();
    Platform::EdgeInsets insets = view->safeAreaInsets();
    Platform::Size size = view->frame().size;
    view->setFrame(Platform::Rect(insets.left, insets.top, size.width + insets.left - insets.right,
                                  size.height + insets.top));
}
