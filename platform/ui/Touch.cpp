#include "platform/ui/Touch.h"

#include "platform/ui/View.h"

#include <algorithm>

namespace Platform {

Touch::Touch(Window* window, Point locationInWindow, double timestamp, int tapCount)
    : window_(window), location_(locationInWindow), previous_(locationInWindow),
      timestamp_(timestamp), tapCount_(tapCount)
{
}

Point Touch::locationInView(View const* view) const
{
    return view ? view->convertPointFromWindow(location_) : location_;
}

Point Touch::previousLocationInView(View const* view) const
{
    return view ? view->convertPointFromWindow(previous_) : previous_;
}

bool TouchSet::contains(Touch const* touch) const
{
    return std::find(touches_.begin(), touches_.end(), touch) != touches_.end();
}

void TouchSet::add(Touch* touch)
{
    if (!contains(touch))
        touches_.push_back(touch);
}

TouchSet Event::touchesForView(View const* view) const
{
    TouchSet result;
    for (Touch* touch : all_)
        if (touch->view() == view)
            result.add(touch);
    return result;
}

} // namespace Platform
