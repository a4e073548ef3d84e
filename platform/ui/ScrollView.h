#pragma once

#include "platform/ui/EdgeInsets.h"
#include "platform/ui/View.h"
#include "platform/ui/WeakRef.h"

#include <memory>

namespace Platform {

class ScrollView;
class PanGestureRecognizer;

class ScrollViewDelegate {
public:
    virtual ~ScrollViewDelegate() = default;
    virtual void scrollViewDidScroll(ScrollView*) {}
};

// A view whose bounds origin is the offset into a larger content; a one-finger pan (its own
// recogniser, which takes the touches from the content once it begins) moves it within the
// content size. When the pan would begin over content that may be cancelled, the content view
// is asked first: a control keeps its touches and the view does not scroll.
class ScrollView : public View {
public:
    enum class ContentInsetAdjustment : int { Automatic = 0, ScrollableAxes = 1, Never = 2, Always = 3 };

    explicit ScrollView(Rect frame = {});

    Size contentSize() const { return contentSize_; }
    // Subclasses that override it call the base first.
    virtual void setContentSize(Size size);
    Point contentOffset() const { return bounds().origin; }
    void setContentOffset(Point offset, bool animated = false);
    EdgeInsets contentInset() const { return contentInset_; }
    void setContentInset(EdgeInsets insets) { contentInset_ = insets; }
    ContentInsetAdjustment contentInsetAdjustmentBehavior() const { return insetAdjustment_; }
    void setContentInsetAdjustmentBehavior(ContentInsetAdjustment b) { insetAdjustment_ = b; }

    ScrollViewDelegate* delegate() const { return delegate_.get(); }
    void setDelegate(ScrollViewDelegate* delegate) { delegate_.reset(delegate); }

    bool isScrollEnabled() const { return scrollEnabled_; }
    void setScrollEnabled(bool enabled);
    bool delaysContentTouches() const { return delaysContentTouches_; }
    void setDelaysContentTouches(bool delays) { delaysContentTouches_ = delays; }
    bool canCancelContentTouches() const { return canCancelContentTouches_; }
    void setCanCancelContentTouches(bool can);
    bool bounces() const { return bounces_; }
    void setBounces(bool bounces) { bounces_ = bounces; }
    bool showsHorizontalScrollIndicator() const { return showsHorizontal_; }
    void setShowsHorizontalScrollIndicator(bool shows) { showsHorizontal_ = shows; }
    bool showsVerticalScrollIndicator() const { return showsVertical_; }
    void setShowsVerticalScrollIndicator(bool shows) { showsVertical_ = shows; }
    bool scrollsToTop() const { return scrollsToTop_; }
    void setScrollsToTop(bool scrolls) { scrollsToTop_ = scrolls; }

    PanGestureRecognizer* panGestureRecognizer() const { return pan_.get(); }
    // The largest offset the content allows (never below 0).
    Point maximumContentOffset() const;

    // Whether the pan may take the touches of a content view it began over: not from a
    // control (which keeps tracking them), from any other view.
    virtual bool touchesShouldCancelInContentView(View* view);
    bool gestureRecognizerShouldBegin(GestureRecognizer* recognizer) override;

private:
    void handlePan(PanGestureRecognizer* pan);

    Size contentSize_{};
    EdgeInsets contentInset_;
    ContentInsetAdjustment insetAdjustment_ = ContentInsetAdjustment::Automatic;
    WeakRef<ScrollViewDelegate> delegate_;
    bool scrollEnabled_ = true;
    bool delaysContentTouches_ = true;
    bool canCancelContentTouches_ = true;
    bool bounces_ = true;
    bool showsHorizontal_ = true;
    bool showsVertical_ = true;
    bool scrollsToTop_ = true;
    std::shared_ptr<PanGestureRecognizer> pan_;
    Point panStartOffset_;
};

} // namespace Platform
