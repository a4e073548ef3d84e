#pragma once

#include "platform/ui/View.h"

// The view itself when it is a T (or a subclass), else the nearest view up its superview chain
// that is; null when there is none.
template <class T>
T* findSuperView(Platform::View* view)
{
    for (Platform::View* v = view; v; v = v->superview())
        if (auto* hit = dynamic_cast<T*>(v))
            return hit;
    return nullptr;
}
