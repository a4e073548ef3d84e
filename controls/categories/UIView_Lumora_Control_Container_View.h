#pragma once

#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"
#include "platform/ui/View.h"
#include "platform/ui/ViewController.h"

#include <functional>

// View-tree helpers of the toolkit, each taking the view it works on first.
class UIView_Lumora_Control_Container_View {
public:
    // The controller the responder chain reaches first from the view: its next responder when
    // that is a controller, else the answer of its next responder when that is a view.
    static Platform::ViewController* traverseResponderChainForUIViewController(Platform::View const* view);
    static Platform::ViewController* firstAvailableUIViewController(Platform::View const* view)
    {
        return traverseResponderChainForUIViewController(view);
    }

    // The view itself when it is a T; else, depth first, each subview tested before its
    // subtree; null when there is none.
    template <class T>
    static T* findDescendantWithClass(Platform::View* view)
    {
        if (!view)
            return nullptr;
        if (auto* hit = dynamic_cast<T*>(view))
            return hit;
        for (auto const& sub : view->subviews()) {
            if (auto* hit = dynamic_cast<T*>(sub.get()))
                return hit;
            if (auto* hit = findDescendantWithClass<T>(sub.get()))
                return hit;
        }
        return nullptr;
    }

    // Calls the handler with the view when it is a T, then with every T below it that lies
    // inside no other T below it (the inside of a match is not searched).
    template <class T>
    static void traverseDescendantWithClass(Platform::View* view, std::function<void(T*)> const& handler)
    {
        if (!view)
            return;
        if (auto* hit = dynamic_cast<T*>(view))
            handler(hit);
        // The subviews may change in the handler: walk a copy.
        auto subviews = view->subviews();
        for (auto const& sub : subviews) {
            if (auto* hit = dynamic_cast<T*>(sub.get()))
                handler(hit);
            else
                traverseDescendantWithClass<T>(sub.get(), handler);
        }
    }

    // Sets the tint of the view and of every view below it.
    static void setTintColorToDecendants(Platform::View* view, Platform::Color color);

    // A layout aid: the bounds, an inner rectangle 5 points in, both diagonals and two circles,
    // stroked 1 point wide in grey 0.9 into the current graphics context.
    static void drawDebugBackgroundInRect(Platform::View const* view, Platform::Rect const& rect);
};
