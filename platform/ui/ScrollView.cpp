#include "platform/ui/ScrollView.h"

#include "platform/ui/Control.h"
#include "platform/ui/PanGestureRecognizer.h"

#include <algorithm>

namespace Platform {

ScrollView::ScrollView(Rect frame) : View(frame), pan_(std::make_shared<PanGestureRecognizer>())
{
    setClipsToBounds(true);
    pan_->addTarget(this, &ScrollView::handlePan);
    addGestureRecognizer(pan_);
}

void ScrollView::setContentSize(Size size)
{
    contentSize_ = size;
}

Point ScrollView::maximumContentOffset() const
{
    Rect b = bounds();
    return {std::max(0.0, contentSize_.width + contentInset_.right - b.width()),
            std::max(0.0, contentSize_.height + contentInset_.bottom - b.height())};
}

void ScrollView::setContentOffset(Point offset, bool)
{
    Rect b = bounds();
    if (b.origin == offset)
        return;
    b.origin = offset;
    setBounds(b);
    if (auto* d = delegate())
        d->scrollViewDidScroll(this);
}

void ScrollView::setScrollEnabled(bool enabled)
{
    scrollEnabled_ = enabled;
    pan_->setEnabled(enabled);
}

void ScrollView::setCanCancelContentTouches(bool can)
{
    canCancelContentTouches_ = can;
    pan_->setCancelsTouchesInView(can);
}

bool ScrollView::touchesShouldCancelInContentView(View* view)
{
    return dynamic_cast<Control*>(view) == nullptr;
}

bool ScrollView::gestureRecognizerShouldBegin(GestureRecognizer* recognizer)
{
    if (recognizer != pan_.get())
        return View::gestureRecognizerShouldBegin(recognizer);
    // Without cancelling, the pan leaves the content its touches and scrolls alongside.
    if (!canCancelContentTouches_)
        return true;
    for (Touch* touch : pan_->touches()) {
        View* content = touch->view();
        if (content && content != this && content->isDescendantOfView(this)
            && !touchesShouldCancelInContentView(content))
            return false;
    }
    return true;
}

void ScrollView::handlePan(PanGestureRecognizer* pan)
{
    using State = GestureRecognizer::State;
    if (pan->state() == State::Began)
        panStartOffset_ = contentOffset();
    if (pan->state() != State::Began && pan->state() != State::Changed)
        return;
    // The translation is read in the window, as the offset itself moves this view's coordinates.
    Point t = pan->translationInView(nullptr);
    Point max = maximumContentOffset();
    Point offset{std::clamp(panStartOffset_.x - t.x, -contentInset_.left, max.x),
                 std::clamp(panStartOffset_.y - t.y, -contentInset_.top, max.y)};
    setContentOffset(offset);
}

} // namespace Platform
