#include "platform/ui/SegmentedControl.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/StringDrawing.h"

#include <algorithm>

namespace Platform {

SegmentedControl::SegmentedControl(Rect frame, std::vector<std::string> titles)
    : Control(frame), titles_(std::move(titles)), enabled_(titles_.size(), true)
{
    setOpaque(false);
}

void SegmentedControl::insertSegmentWithTitle(std::string title, std::size_t index, bool)
{
    index = std::min(index, titles_.size());
    titles_.insert(titles_.begin() + static_cast<std::ptrdiff_t>(index), std::move(title));
    enabled_.insert(enabled_.begin() + static_cast<std::ptrdiff_t>(index), true);
    if (selected_ >= static_cast<int>(index))
        ++selected_;
    setNeedsDisplay();
}

void SegmentedControl::removeAllSegments()
{
    titles_.clear();
    enabled_.clear();
    selected_ = noSegment;
    setNeedsDisplay();
}

void SegmentedControl::setTitle(std::string title, std::size_t index)
{
    if (index < titles_.size()) {
        titles_[index] = std::move(title);
        setNeedsDisplay();
    }
}

std::string SegmentedControl::titleForSegment(std::size_t index) const
{
    return index < titles_.size() ? titles_[index] : std::string();
}

void SegmentedControl::setEnabledForSegment(bool enabled, std::size_t index)
{
    if (index < enabled_.size())
        enabled_[index] = enabled;
}

bool SegmentedControl::isEnabledForSegment(std::size_t index) const
{
    return index < enabled_.size() && enabled_[index];
}

void SegmentedControl::setSelectedSegmentIndex(int index)
{
    if (index < 0 || index >= static_cast<int>(titles_.size()))
        index = noSegment;
    if (index != selected_) {
        selected_ = index;
        setNeedsDisplay();
    }
}

void SegmentedControl::touchesBegan(TouchSet const& touches, Event const* event)
{
    Control::touchesBegan(touches, event);
    Touch* touch = touches.anyObject();
    if (!touch || titles_.empty() || !isEnabled())
        return;
    Rect b = bounds();
    double width = b.width() / static_cast<double>(titles_.size());
    int index = static_cast<int>((touch->locationInView(this).x - b.minX()) / width);
    index = std::clamp(index, 0, static_cast<int>(titles_.size()) - 1);
    if (!enabled_[static_cast<std::size_t>(index)] || index == selected_)
        return;
    setSelectedSegmentIndex(index);
    sendActionsForControlEvents(ControlEvents::ValueChanged);
}

void SegmentedControl::drawRect(Rect const&)
{
    auto* context = GraphicsContext::current();
    if (!context || titles_.empty())
        return;
    Rect b = bounds().insetBy(0.5, 0.5);
    Color tint = isEnabled() ? tintColor() : Color::lightGrayColor();
    double width = b.width() / static_cast<double>(titles_.size());
    TextAttributes a;
    a.font = Font::systemFont(13);
    a.alignment = TextAlignment::Center;
    for (std::size_t i = 0; i < titles_.size(); ++i) {
        Rect segment(b.minX() + width * static_cast<double>(i), b.minY(), width, b.height());
        bool chosen = static_cast<int>(i) == selected_;
        if (chosen) {
            context->setFillColor(tint);
            context->fillRect(segment);
        }
        a.color = chosen ? Color::whiteColor() : tint;
        double h = a.font.lineHeight();
        StringDrawing::drawInRect(titles_[i], Rect(segment.minX(), segment.midY() - h / 2, segment.width(), h), a);
    }
    context->setStrokeColor(tint);
    context->strokePath(BezierPath::withRoundedRect(b, 4));
}

} // namespace Platform
