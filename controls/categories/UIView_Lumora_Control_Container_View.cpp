#include "controls/categories/UIView_Lumora_Control_Container_View.h"

#include "platform/graphics/GraphicsContext.h"

#include <algorithm>

Platform::ViewController* UIView_Lumora_Control_Container_View::traverseResponderChainForUIViewController(
    Platform::View const* view)
{
    if (!view)
        return nullptr;
    Platform::Responder* next = view->nextResponder();
    if (auto* controller = dynamic_cast<Platform::ViewController*>(next))
        return controller;
    if (auto* superview = dynamic_cast<Platform::View*>(next))
        return traverseResponderChainForUIViewController(superview);
    return nullptr;
}

void UIView_Lumora_Control_Container_View::setTintColorToDecendants(Platform::View* view, Platform::Color color)
{
    if (!view)
        return;
    view->setTintColor(color);
    auto subviews = view->subviews();
    for (auto const& sub : subviews)
        setTintColorToDecendants(sub.get(), color);
}

void UIView_Lumora_Control_Container_View::drawDebugBackgroundInRect(Platform::View const* view, Platform::Rect const&)
{
    Platform::GraphicsContext* context = Platform::GraphicsContext::current();
    if (!view || !context)
        return;
    Platform::Rect b = view->bounds();
    double w = b.size.width;
    double h = b.size.height;
    double d = std::min(w, h);
    context->setStrokeColor(Platform::Color::withWhite(0.9));
    context->setLineWidth(1);
    context->beginPath();
    context->addRect(b);
    context->addRect(Platform::Rect(5, 5, w - 10, h - 10));
    context->moveTo({0, 0});
    context->addLineTo({w, h});
    context->moveTo({w, 0});
    context->addLineTo({0, h});
    context->strokePath();
    context->strokeEllipseInRect(Platform::Rect(0, 0, d, d));
    context->strokeEllipseInRect(Platform::Rect(w - d, h - d, d, d));
}
