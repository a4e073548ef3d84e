#include "platform/ui/View.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/LayoutConstraint.h"
#include "platform/ui/ViewController.h"
#include "platform/ui/Window.h"

#include <algorithm>
#include <cmath>

namespace Platform {

namespace {

// The platform's default tint, a system blue.
constexpr Color defaultTint(0.0, 122.0 / 255.0, 1.0, 1.0);

} // namespace

View::View(Rect frame)
    : center_{frame.midX(), frame.midY()}, bounds_(0, 0, frame.width(), frame.height())
{
}

View::~View()
{
    for (auto& sub : subviews_)
        sub->superview_ = nullptr;
}

// Maps this view's bounds coordinates into its superview's: about the bounds centre, through the
// transform, to the centre.
AffineTransform View::placement() const
{
    return AffineTransform::translation(-bounds_.midX(), -bounds_.midY())
        .concatenating(transform_)
        .concatenating(AffineTransform::translation(center_.x, center_.y));
}

void View::visualChanged() const
{
    if (Window* w = window())
        w->invalidateAll();
}

void View::setCenter(Point center)
{
    if (center == center_)
        return;
    center_ = center;
    visualChanged();
}

void View::setTransform(AffineTransform const& transform)
{
    if (transform == transform_)
        return;
    transform_ = transform;
    visualChanged();
}

void View::setHidden(bool hidden)
{
    if (hidden == hidden_)
        return;
    hidden_ = hidden;
    visualChanged();
}

void View::setAlpha(double alpha)
{
    if (alpha == alpha_)
        return;
    alpha_ = alpha;
    visualChanged();
}

void View::setClipsToBounds(bool clips)
{
    if (clips == clipsToBounds_)
        return;
    clipsToBounds_ = clips;
    visualChanged();
}

void View::setNeedsLayout()
{
    needsLayout_ = true;
    if (Window* w = window())
        w->requestLayoutPass();
}

Rect View::frame() const
{
    return placement().apply(Rect(bounds_.origin, bounds_.size));
}

void View::setFrame(Rect const& frame)
{
    Size size = frame.standardized().size;
    // Under a scale (and translation) only, the untransformed size is the displayed one undone;
    // under a rotation the size is left alone, as the displayed box no longer determines it.
    if (transform_.b == 0 && transform_.c == 0) {
        if (transform_.a != 0)
            size.width /= std::fabs(transform_.a);
        if (transform_.d != 0)
            size.height /= std::fabs(transform_.d);
        Size const old = bounds_.size;
        bounds_.size = size;
        if (size != old) {
            needsLayout_ = true;
            visualChanged();
            resizeSubviewsWithOldSize(old);
        }
    }
    setCenter({frame.midX() - transform_.tx, frame.midY() - transform_.ty});
}

void View::setBounds(Rect const& bounds)
{
    Size const old = bounds_.size;
    if (bounds != bounds_)
        visualChanged();
    bounds_ = bounds;
    if (bounds.size != old) {
        needsLayout_ = true;
        resizeSubviewsWithOldSize(old);
    }
}

namespace {

// Shares a change of length among an axis' flexible parts (margin before, size, margin after)
// in proportion to their lengths, or evenly when they have none.
void distribute(double delta, bool flexible[3], double length[3])
{
    double total = 0;
    int count = 0;
    for (int i = 0; i < 3; ++i)
        if (flexible[i]) {
            total += std::max(0.0, length[i]);
            ++count;
        }
    if (count == 0)
        return;
    for (int i = 0; i < 3; ++i)
        if (flexible[i])
            length[i] += total > 0 ? delta * std::max(0.0, length[i]) / total : delta / count;
}

} // namespace

void View::resizeSubviewsWithOldSize(Size oldSize)
{
    if (!autoresizesSubviews_)
        return;
    Size const now = bounds_.size;
    for (auto const& sub : std::vector<std::shared_ptr<View>>(subviews_)) {
        unsigned const mask = sub->autoresizingMask_;
        if (mask == Autoresizing::None)
            continue;
        Rect const f = sub->frame();
        bool flexX[3] = {(mask & Autoresizing::FlexibleLeftMargin) != 0, (mask & Autoresizing::FlexibleWidth) != 0,
                         (mask & Autoresizing::FlexibleRightMargin) != 0};
        double x[3] = {f.minX(), f.width(), oldSize.width - f.maxX()};
        distribute(now.width - oldSize.width, flexX, x);
        bool flexY[3] = {(mask & Autoresizing::FlexibleTopMargin) != 0, (mask & Autoresizing::FlexibleHeight) != 0,
                         (mask & Autoresizing::FlexibleBottomMargin) != 0};
        double y[3] = {f.minY(), f.height(), oldSize.height - f.maxY()};
        distribute(now.height - oldSize.height, flexY, y);
        sub->setFrame(Rect(x[0], y[0], std::max(0.0, x[1]), std::max(0.0, y[1])));
    }
}

void View::setContentMode(ContentMode mode)
{
    contentMode_ = mode;
    setNeedsDisplay();
}

void View::setBackgroundColor(std::optional<Color> color)
{
    backgroundColor_ = color;
    setNeedsDisplay();
}

Color View::tintColor() const
{
    for (View const* v = this; v; v = v->superview_)
        if (v->tintColor_)
            return *v->tintColor_;
    return defaultTint;
}

void View::setTintColor(std::optional<Color> color)
{
    tintColor_ = color;
    visualChanged();
    tintColorDidChange();
    // Views below that inherit the tint see it change too.
    std::vector<View*> pending;
    for (auto& sub : subviews_)
        pending.push_back(sub.get());
    while (!pending.empty()) {
        View* v = pending.back();
        pending.pop_back();
        if (v->tintColor_)
            continue;
        v->tintColorDidChange();
        for (auto& sub : v->subviews_)
            pending.push_back(sub.get());
    }
}

void View::addSubview(std::shared_ptr<View> view)
{
    insertSubview(std::move(view), subviews_.size());
}

void View::insertSubview(std::shared_ptr<View> view, std::size_t index)
{
    // A view cannot hold itself or one of its own ancestors.
    if (!view || isDescendantOfView(view.get()))
        return;
    if (view->superview_ == this) {
        // Re-adding moves it.
        auto it = std::find(subviews_.begin(), subviews_.end(), view);
        std::size_t old = static_cast<std::size_t>(it - subviews_.begin());
        subviews_.erase(it);
        if (index > old)
            --index;
        subviews_.insert(subviews_.begin() + static_cast<std::ptrdiff_t>(std::min(index, subviews_.size())), view);
        visualChanged();
        return;
    }
    if (view->superview_)
        view->removeFromSuperview();
    view->willMoveToSuperview(this);
    view->superview_ = this;
    subviews_.insert(subviews_.begin() + static_cast<std::ptrdiff_t>(std::min(index, subviews_.size())), view);
    didAddSubview(view.get());
    view->didMoveToSuperview();
    setNeedsLayout();
    visualChanged();
}

void View::removeFromSuperview()
{
    View* parent = superview_;
    if (!parent)
        return;
    // The parent may hold the last reference: keep the view alive until the hooks have run.
    std::shared_ptr<Object> keep = weak_from_this().lock();
    parent->visualChanged();
    parent->willRemoveSubview(this);
    willMoveToSuperview(nullptr);
    auto& siblings = parent->subviews_;
    siblings.erase(std::remove_if(siblings.begin(), siblings.end(), [this](auto const& s) { return s.get() == this; }),
                   siblings.end());
    superview_ = nullptr;
    didMoveToSuperview();
    parent->setNeedsLayout();
}

void View::bringSubviewToFront(View* view)
{
    auto it = std::find_if(subviews_.begin(), subviews_.end(), [view](auto const& s) { return s.get() == view; });
    if (it == subviews_.end())
        return;
    std::shared_ptr<View> keep = *it;
    subviews_.erase(it);
    subviews_.push_back(std::move(keep));
    visualChanged();
}

void View::sendSubviewToBack(View* view)
{
    auto it = std::find_if(subviews_.begin(), subviews_.end(), [view](auto const& s) { return s.get() == view; });
    if (it == subviews_.end())
        return;
    std::shared_ptr<View> keep = *it;
    subviews_.erase(it);
    subviews_.insert(subviews_.begin(), std::move(keep));
    visualChanged();
}

bool View::isDescendantOfView(View const* view) const
{
    for (View const* v = this; v; v = v->superview_)
        if (v == view)
            return true;
    return false;
}

View* View::viewWithTag(int tag)
{
    if (tag_ == tag)
        return this;
    for (auto& sub : subviews_)
        if (View* found = sub->viewWithTag(tag))
            return found;
    return nullptr;
}

Window* View::window() const
{
    View const* root = this;
    while (root->superview_)
        root = root->superview_;
    return dynamic_cast<Window*>(const_cast<View*>(root));
}

void View::willMoveToSuperview(View*) {}

void View::layoutIfNeeded()
{
    updateConstraintsIfNeeded();
    layoutSubtree();
}

void View::animateWithDuration(double, std::function<void()> const& animations,
                               std::function<void(bool)> const& completion)
{
    if (animations)
        animations();
    if (completion)
        completion(true);
}

void View::updateConstraintsIfNeeded()
{
    for (auto& sub : std::vector<std::shared_ptr<View>>(subviews_))
        sub->updateConstraintsIfNeeded();
    if (needsUpdateConstraints_) {
        needsUpdateConstraints_ = false;
        updateConstraints();
    }
}

void View::layoutSubtree()
{
    if (needsLayout_) {
        needsLayout_ = false;
        if (controller_)
            controller_->viewWillLayoutSubviews();
        layoutSubviews();
        if (controller_)
            controller_->viewDidLayoutSubviews();
    }
    // Layout may add or remove subviews: walk a copy.
    auto subviews = subviews_;
    for (auto& sub : subviews)
        sub->layoutSubtree();
}

void View::layoutSubviews() {}

Size View::sizeThatFits(Size) const
{
    return bounds_.size;
}

void View::sizeToFit()
{
    Size fitted = sizeThatFits(bounds_.size);
    Rect f = frame();
    setFrame(Rect(f.origin, fitted));
}

void View::setNeedsDisplay()
{
    needsDisplay_ = true;
    ++displayRequests_;
    // Drawing may spill a little past the bounds (antialiased edges, strokes centred on them).
    if (Window* w = window())
        w->invalidateRect(convertRectToView(bounds_, nullptr).insetBy(-kDrawingSpill, -kDrawingSpill));
}

void View::drawRect(Rect const&) {}

void View::drawHierarchy(GraphicsContext& context)
{
    if (hidden_ || alpha_ <= 0)
        return;
    context.saveGState();
    context.concat(placement());
    drawHierarchyInOwnCoordinates(context);
    context.restoreGState();
}

void View::drawHierarchyInOwnCoordinates(GraphicsContext& context)
{
    if (hidden_ || alpha_ <= 0)
        return;
    // Only what meets the clip is drawn: a host that draws a small invalid region again clips to
    // it, and every pixel outside the clip stays as it was whatever is painted there.
    bool const clips = clipsToBounds_ || layer_.masksToBounds;
    bool const ownMeets = context.clipMeets(bounds_.insetBy(-kDrawingSpill, -kDrawingSpill));
    if (clips && !ownMeets) {
        needsDisplay_ = false;
        return;  // the whole subtree lies inside the bounds
    }
    context.saveGState();
    bool const grouped = alpha_ < 1;
    if (grouped) {
        context.setAlpha(context.alpha() * alpha_);
        context.beginTransparencyLayer();
    }
    BezierPath outline = layer_.cornerRadius > 0
        ? BezierPath::withRoundedRect(bounds_, layer_.maskedCorners, Size{layer_.cornerRadius, layer_.cornerRadius})
        : BezierPath::withRect(bounds_);
    if (clips)
        context.clipToPath(outline);
    if (ownMeets)
        drawOwnContent(context, outline);
    else
        needsDisplay_ = false;
    // Subviews that stick out of an unclipped view are tested one by one.
    for (auto const& sub : subviews_)
        sub->drawHierarchy(context);
    if (ownMeets)
        drawBorder(context, outline);
    if (grouped)
        context.endTransparencyLayer();
    context.restoreGState();
}

void View::drawOwnContent(GraphicsContext& context, BezierPath const& outline)
{
    if (backgroundColor_) {
        context.setFillColor(*backgroundColor_);
        context.fillPath(outline);
    }
    context.saveGState();
    drawRect(bounds_);
    context.restoreGState();
    needsDisplay_ = false;
}

void View::drawBorder(GraphicsContext& context, BezierPath const& outline)
{
    if (layer_.borderWidth <= 0 || !layer_.borderColor)
        return;
    BezierPath border = outline;
    border.setLineWidth(layer_.borderWidth * 2);  // half of it falls outside the clip
    context.saveGState();
    context.clipToPath(outline);
    context.setStrokeColor(*layer_.borderColor);
    context.strokePath(border);
    context.restoreGState();
}

View* View::hitTest(Point point, Event const* event)
{
    if (hidden_ || !userInteractionEnabled_ || alpha_ < 0.01)
        return nullptr;
    if (!pointInside(point, event))
        return nullptr;
    // Front-most first.
    for (auto it = subviews_.rbegin(); it != subviews_.rend(); ++it) {
        // The subview may be removed by a hit test override: hold it.
        std::shared_ptr<View> sub = *it;
        if (View* hit = sub->hitTest(sub->pointFromSuperview(point), event))
            return hit;
    }
    return this;
}

bool View::pointInside(Point point, Event const*) const
{
    return bounds_.contains(point);
}

Responder* View::nextResponder() const
{
    if (controller_)
        return controller_;
    return superview_;
}

void View::addGestureRecognizer(std::shared_ptr<GestureRecognizer> recognizer)
{
    if (!recognizer)
        return;
    if (View* old = recognizer->view(); old && old != this)
        old->removeGestureRecognizer(recognizer.get());
    if (std::find(recognizers_.begin(), recognizers_.end(), recognizer) == recognizers_.end()) {
        recognizer->setView(this);
        recognizers_.push_back(std::move(recognizer));
    }
}

bool View::gestureRecognizerShouldBegin(GestureRecognizer*)
{
    return true;
}

void View::removeGestureRecognizer(GestureRecognizer* recognizer)
{
    auto it = std::find_if(recognizers_.begin(), recognizers_.end(),
                           [recognizer](auto const& r) { return r.get() == recognizer; });
    if (it == recognizers_.end())
        return;
    (*it)->setView(nullptr);
    recognizers_.erase(it);
}

Point View::pointInSuperview(Point point) const
{
    return placement().apply(point);
}

Point View::pointFromSuperview(Point point) const
{
    return placement().inverted().apply(point);
}

Point View::convertPointToWindow(Point point) const
{
    for (View const* v = this; v->superview_; v = v->superview_)
        point = v->pointInSuperview(point);
    return point;
}

Point View::convertPointFromWindow(Point point) const
{
    std::vector<View const*> chain;
    for (View const* v = this; v->superview_; v = v->superview_)
        chain.push_back(v);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        point = (*it)->pointFromSuperview(point);
    return point;
}

Point View::convertPointToView(Point point, View const* view) const
{
    Point root = convertPointToWindow(point);
    return view ? view->convertPointFromWindow(root) : root;
}

Point View::convertPointFromView(Point point, View const* view) const
{
    Point root = view ? view->convertPointToWindow(point) : point;
    return convertPointFromWindow(root);
}

Rect View::convertRectToView(Rect const& rect, View const* view) const
{
    Rect r = rect.standardized();
    Point corners[4] = {{r.minX(), r.minY()}, {r.maxX(), r.minY()}, {r.minX(), r.maxY()}, {r.maxX(), r.maxY()}};
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    for (int i = 0; i < 4; ++i) {
        Point p = convertPointToView(corners[i], view);
        if (i == 0 || p.x < x0) x0 = p.x;
        if (i == 0 || p.y < y0) y0 = p.y;
        if (i == 0 || p.x > x1) x1 = p.x;
        if (i == 0 || p.y > y1) y1 = p.y;
    }
    return Rect(x0, y0, x1 - x0, y1 - y0);
}

void View::setSafeAreaInsets(EdgeInsets insets)
{
    if (insets == safeAreaInsets_)
        return;
    safeAreaInsets_ = insets;
    safeAreaInsetsDidChange();
    if (controller_)
        controller_->viewSafeAreaInsetsDidChange();
    setNeedsLayout();
}

void View::safeAreaInsetsDidChange() {}

void View::addConstraint(std::shared_ptr<LayoutConstraint> constraint)
{
    if (constraint && std::find(constraints_.begin(), constraints_.end(), constraint) == constraints_.end())
        constraints_.push_back(std::move(constraint));
    setNeedsLayout();
}

void View::removeConstraint(LayoutConstraint* constraint)
{
    constraints_.erase(std::remove_if(constraints_.begin(), constraints_.end(),
                                      [constraint](auto const& c) { return c.get() == constraint; }),
                       constraints_.end());
    setNeedsLayout();
}

} // namespace Platform
