#include "linkkit/views/ABLActivityIndicatorView.h"

#include "platform/foundation/RunLoop.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"

#include <cmath>
#include <numbers>

ABLActivityIndicatorView::ABLActivityIndicatorView()
    : View(Platform::Rect(0, 0, side, side))
{
    setBackgroundColor(Platform::Color::clearColor());
    setOpaque(false);
    setUserInteractionEnabled(false);
}

ABLActivityIndicatorView::~ABLActivityIndicatorView()
{
    if (timer_)
        timer_->invalidate();
}

void ABLActivityIndicatorView::startAnimating()
{
    if (animating_)
        return;
    animating_ = true;
    started_ = std::chrono::steady_clock::now();
    std::weak_ptr<View> weak = self<View>();
    timer_ = Platform::RunLoop::main().scheduledTimer(1.0 / spokes, true, [weak](Platform::Timer& timer) {
        if (auto view = weak.lock())
            view->setNeedsDisplay();
        else
            timer.invalidate();
    });
}

void ABLActivityIndicatorView::stopAnimating()
{
    animating_ = false;
    if (timer_)
        timer_->invalidate();
    timer_.reset();
    setNeedsDisplay();
}

int ABLActivityIndicatorView::leadingSpoke() const
{
    if (!animating_)
        return 0;
    auto const elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    return static_cast<int>(std::floor(elapsed * spokes)) % spokes;
}

// Spoke i points at the angle i / 12 of a turn, clockwise from the top; the leading spoke is
// drawn darkest and the ones behind it fade out.
void ABLActivityIndicatorView::drawRect(Platform::Rect const&)
{
    Platform::GraphicsContext* context = Platform::GraphicsContext::current();
    if (!context)
        return;
    Platform::Rect const b = bounds();
    double const radius = std::min(b.width(), b.height()) / 2;
    Platform::Point const centre { b.midX(), b.midY() };
    int const leading = leadingSpoke();
    context->saveGState();
    for (int i = 0; i < spokes; ++i) {
        double const angle = 2 * std::numbers::pi * i / spokes;
        double const dx = std::sin(angle);
        double const dy = -std::cos(angle);
        int const behind = (leading - i + spokes) % spokes;
        double const alpha = 1.0 - 0.75 * behind / (spokes - 1);
        Platform::BezierPath spoke;
        spoke.setLineWidth(radius * 0.22);
        spoke.setLineCapStyle(Platform::LineCap::Round);
        spoke.moveTo({ centre.x + dx * radius * 0.5, centre.y + dy * radius * 0.5 });
        spoke.lineTo({ centre.x + dx * radius * 0.92, centre.y + dy * radius * 0.92 });
        context->setStrokeColor(Platform::Color::withWhite(0.45, alpha));
        context->strokePath(spoke);
    }
    context->restoreGState();
}
