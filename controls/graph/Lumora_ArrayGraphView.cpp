#include "controls/graph/Lumora_ArrayGraphView.h"

#include "controls/categories/UIEvent_Lumora.h"
#include "controls/graph/findSuperView.h"
#include "platform/ui/ScrollView.h"

#include <algorithm>
#include <cmath>
#include <vector>

Lumora_ArrayGraphView::Lumora_ArrayGraphView(Platform::Rect frame) : Platform::View(frame)
{
    initialize();
}

void Lumora_ArrayGraphView::initialize()
{
    defaultValue_ = 0.0f;
    setBackgroundColor(Platform::Color::clearColor());
    observers_.clear();
    longTapObserver_ = std::make_shared<LongTapObserver>();
    currentOperationIndex_ = 0;
}

void Lumora_ArrayGraphView::addObserver(std::shared_ptr<Lumora_ArrayGraphView_Observer> observer)
{
    if (observer)
        observers_.insert(std::move(observer));
}

void Lumora_ArrayGraphView::removeObserver(Lumora_ArrayGraphView_Observer* observer)
{
    std::erase_if(observers_, [observer](auto const& o) { return o.get() == observer; });
}

Platform::Rect Lumora_ArrayGraphView::effectiveRect() const
{
    // A rectangle without height would divide by zero as surely as one without width.
    if (operableRect_.width() > 0 && operableRect_.height() > 0)
        return operableRect_;
    return Platform::Rect(0, 0, bounds().width(), bounds().height());
}

std::pair<int, float> Lumora_ArrayGraphView::valueFromPoint(Platform::Point point)
{
    Platform::Rect const r = effectiveRect();
    bool const precise = longTapObserver_->updatePoint(point);
    float value = 0;
    if (!precise) {
        // Column = trunc((x - left) / column width), kept within the columns; a position left of
        // the graph (or a graph without width) takes the first column.
        double const columnWidth = r.width() / static_cast<double>(size_);
        double const q = (point.x - r.minX()) / columnWidth;
        int32_t index = 0;
        if (size_ == 0)
            index = -1;
        else if (q >= static_cast<double>(size_))
            index = static_cast<int32_t>(std::min<uint32_t>(size_ - 1, INT32_MAX));
        else if (q > 0)
            index = static_cast<int32_t>(q);
        currentOperationIndex_ = index;
        // 1 at the top edge, 0 (-1 with bipole) at the bottom.
        double v = 1.0 - (point.y - r.minY()) / r.height();
        if (bipole_)
            v = 2 * v - 1;
        value = static_cast<float>(std::clamp(v, bipole_ ? -1.0 : 0.0, 1.0));
    } else {
        // A quarter of the range per graph height; moving up is positive.
        value = static_cast<float>((pointLast_.y - point.y) / r.height() * 0.25);
    }
    pointLast_ = point;
    return {currentOperationIndex_, value};
}

// Observers learn only of elements the array has and of values that are numbers.
void Lumora_ArrayGraphView::notify(int index, float value, bool relative)
{
    if (index < 0 || static_cast<uint32_t>(index) >= size_ || !std::isfinite(value))
        return;
    // An observer may remove itself (or others) while being told: walk a copy.
    std::vector<std::shared_ptr<Lumora_ArrayGraphView_Observer>> const told(observers_.begin(), observers_.end());
    for (auto const& observer : told)
        observer->didChangeArrayGraphView(this, index, value, relative);
}

void Lumora_ArrayGraphView::stopScroll()
{
    auto* scroll = findSuperView<Platform::ScrollView>(superview());
    if (!scroll)
        return;
    // A second finger's touch-down must not take the already switched-off state as the one to
    // give back.
    if (!scrollStopped_)
        backupScrollEnabledState_ = scroll->isScrollEnabled();
    scroll->setScrollEnabled(false);
    scrollStopped_ = true;
}

void Lumora_ArrayGraphView::restoreScrollState()
{
    if (!scrollStopped_)
        return;
    scrollStopped_ = false;
    if (auto* scroll = findSuperView<Platform::ScrollView>(superview()))
        scroll->setScrollEnabled(backupScrollEnabledState_);
}

void Lumora_ArrayGraphView::touchesBegan(Platform::TouchSet const& touches, Platform::Event const* event)
{
    longTapObserver_->reset();
    currentOperationIndex_ = -1;
    if (Platform::Touch* touch = UIEvent_Lumora::touchForView(this, touches, event)) {
        Platform::Point const p = touch->locationInView(this);
        pointLast_ = p;
        // Picks the element and arms the long-press detection; nobody is told.
        valueFromPoint(p);
    }
    stopScroll();
    Platform::View::touchesBegan(touches, event);
}

void Lumora_ArrayGraphView::touchesMoved(Platform::TouchSet const& touches, Platform::Event const* event)
{
    if (Platform::Touch* touch = UIEvent_Lumora::touchForView(this, touches, event)) {
        auto const [index, value] = valueFromPoint(touch->locationInView(this));
        notify(index, value, preciseMode());
    }
    Platform::View::touchesMoved(touches, event);
}

void Lumora_ArrayGraphView::touchesEnded(Platform::TouchSet const& touches, Platform::Event const* event)
{
    Platform::Touch* touch = UIEvent_Lumora::touchForView(this, touches, event);
    if (touch && touch->tapCount() == 2) {
        int const index = valueFromPoint(touch->locationInView(this)).first;
        notify(index, defaultValue_, preciseMode());
    }
    currentOperationIndex_ = -1;
    restoreScrollState();
    Platform::View::touchesEnded(touches, event);
}

void Lumora_ArrayGraphView::touchesCancelled(Platform::TouchSet const& touches, Platform::Event const* event)
{
    restoreScrollState();
    Platform::View::touchesCancelled(touches, event);
}
