#pragma once

#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"
#include "platform/ui/EdgeInsets.h"
#include "platform/ui/Responder.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace Platform {

class GestureRecognizer;
class LayoutConstraint;
class ViewController;
class Window;
class GraphicsContext;
class BezierPath;

// Which of a view's margins and sizes follow its superview's size changes.
namespace Autoresizing {
constexpr unsigned None = 0;
constexpr unsigned FlexibleLeftMargin = 1;
constexpr unsigned FlexibleWidth = 2;
constexpr unsigned FlexibleRightMargin = 4;
constexpr unsigned FlexibleTopMargin = 8;
constexpr unsigned FlexibleHeight = 16;
constexpr unsigned FlexibleBottomMargin = 32;
} // namespace Autoresizing

// How a view's content (an image view's image) fits its bounds.
enum class ContentMode : int { ScaleToFill = 0, ScaleAspectFit = 1, ScaleAspectFill = 2, Redraw = 3, Center = 4 };

// What the platform keeps on a view's backing layer that the screens set: rounded corners, a
// border, and whether drawing is cut to the rounded bounds.
struct Layer {
    double cornerRadius = 0;
    unsigned maskedCorners = 15;  // the four corners, as in RectCorner
    bool masksToBounds = false;
    double borderWidth = 0;
    std::optional<Color> borderColor;
};

// A rectangle of the interface with its own coordinates (bounds), placed in its superview by its
// centre and a transform about that centre. A view owns its subviews; it refers to its superview
// and its controller without owning them. Views are made through newObject or std::make_shared,
// as subviews are held by shared pointers.
class View : public Responder {
public:
    explicit View(Rect frame = {});
    ~View() override;

    // Geometry. The frame is the bounding box, in the superview, of the transformed bounds;
    // setting it under a scale-only transform sets the centre and the untransformed size so that
    // the displayed rectangle is the one given.
    // Subclasses that override the setters call the base first.
    Rect frame() const;
    virtual void setFrame(Rect const& frame);
    Rect bounds() const { return bounds_; }
    virtual void setBounds(Rect const& bounds);
    Point center() const { return center_; }
    void setCenter(Point center);
    AffineTransform transform() const { return transform_; }
    void setTransform(AffineTransform const& transform);

    int tag() const { return tag_; }
    void setTag(int tag) { tag_ = tag; }
    bool isHidden() const { return hidden_; }
    void setHidden(bool hidden);
    double alpha() const { return alpha_; }
    void setAlpha(double alpha);
    bool isUserInteractionEnabled() const { return userInteractionEnabled_; }
    void setUserInteractionEnabled(bool enabled) { userInteractionEnabled_ = enabled; }
    bool isMultipleTouchEnabled() const { return multipleTouchEnabled_; }
    void setMultipleTouchEnabled(bool enabled) { multipleTouchEnabled_ = enabled; }
    bool clipsToBounds() const { return clipsToBounds_; }
    void setClipsToBounds(bool clips);
    bool isOpaque() const { return opaque_; }
    void setOpaque(bool opaque) { opaque_ = opaque; }
    ContentMode contentMode() const { return contentMode_; }
    void setContentMode(ContentMode mode);
    // A size change of this view moves and resizes the subviews by their masks (Autoresizing),
    // unless autoresizesSubviews is off.
    unsigned autoresizingMask() const { return autoresizingMask_; }
    void setAutoresizingMask(unsigned mask) { autoresizingMask_ = mask; }
    bool autoresizesSubviews() const { return autoresizesSubviews_; }
    void setAutoresizesSubviews(bool autoresizes) { autoresizesSubviews_ = autoresizes; }
    Layer& layer() { return layer_; }
    Layer const& layer() const { return layer_; }

    // No background colour draws no background.
    std::optional<Color> const& backgroundColor() const { return backgroundColor_; }
    virtual void setBackgroundColor(std::optional<Color> color);
    // The view's own tint, else its superview's, else the platform's blue.
    Color tintColor() const;
    void setTintColor(std::optional<Color> color);
    virtual void tintColorDidChange() {}

    // The tree.
    View* superview() const { return superview_; }
    std::vector<std::shared_ptr<View>> const& subviews() const { return subviews_; }
    void addSubview(std::shared_ptr<View> view);
    void insertSubview(std::shared_ptr<View> view, std::size_t index);
    // The view may be released by this call when its superview held the last reference.
    void removeFromSuperview();
    void bringSubviewToFront(View* view);
    void sendSubviewToBack(View* view);
    bool isDescendantOfView(View const* view) const;
    // The receiver or the first view below it, depth first, with that tag.
    View* viewWithTag(int tag);
    Window* window() const;
    std::shared_ptr<View> sharedView() { return self<View>(); }

    // Called before the superview changes (null when leaving) and after it changed.
    virtual void willMoveToSuperview(View* newSuperview);
    virtual void didMoveToSuperview() {}
    virtual void didAddSubview(View*) {}
    virtual void willRemoveSubview(View*) {}
    // Once the interface file that made the view has connected everything.
    virtual void awakeFromNib() {}

    // Runs the changes at once: there are no animations off screen, and a headless render shows
    // the end state. The completion gets true (finished).
    static void animateWithDuration(double duration, std::function<void()> const& animations,
                                    std::function<void(bool)> const& completion = {});

    // Layout: a request is kept until the next layout pass, which lays out the view and then its
    // subviews.
    void setNeedsLayout();
    // Constraints are not solved (LayoutConstraint.h): the hooks exist for screens that adjust
    // theirs.
    void setNeedsUpdateConstraints() { needsUpdateConstraints_ = true; }
    void updateConstraintsIfNeeded();
    virtual void updateConstraints() {}
    bool needsLayout() const { return needsLayout_; }
    void layoutIfNeeded();
    virtual void layoutSubviews();
    virtual Size sizeThatFits(Size size) const;
    void sizeToFit();

    // How far a view's drawing may spill past its bounds (antialiased edges, strokes centred on
    // them), in points: a display request covers it, and drawing a region skips a view only
    // when the region misses its bounds by more.
    static constexpr double kDrawingSpill = 2;

    // Drawing: a request is recorded until the next render; the count lets tests see requests.
    // A view in a window also tells the window which part of the screen to draw again.
    void setNeedsDisplay();
    bool needsDisplay() const { return needsDisplay_; }
    std::uint64_t displayRequestCount() const { return displayRequests_; }
    // Draws the view's content in its own coordinates into the current graphics context.
    virtual void drawRect(Rect const& rect);
    // Draws the view and its subtree (background, drawRect, subviews, border) into `context`,
    // whose current coordinates are this view's superview's; a hidden view draws nothing.
    void drawHierarchy(GraphicsContext& context);
    // The same with the context's current coordinates taken as this view's own. Parts that do
    // not meet the context's clip are left out: a view whose bounds miss it draws nothing of its
    // own, and one that clips to its bounds nothing at all.
    void drawHierarchyInOwnCoordinates(GraphicsContext& context);

    // Touches.
    virtual View* hitTest(Point point, Event const* event);
    virtual bool pointInside(Point point, Event const* event) const;
    Responder* nextResponder() const override;

    std::vector<std::shared_ptr<GestureRecognizer>> const& gestureRecognizers() const { return recognizers_; }
    void addGestureRecognizer(std::shared_ptr<GestureRecognizer> recognizer);
    void removeGestureRecognizer(GestureRecognizer* recognizer);
    // Asked when a recogniser attached to this view is about to begin (or be recognised);
    // answering false makes it fail, leaving the touches to the views they landed on.
    virtual bool gestureRecognizerShouldBegin(GestureRecognizer* recognizer);

    // Coordinate conversion between views of one tree (null means the tree's root).
    Point convertPointToView(Point point, View const* view) const;
    Point convertPointFromView(Point point, View const* view) const;
    Rect convertRectToView(Rect const& rect, View const* view) const;
    Point convertPointToWindow(Point point) const;
    Point convertPointFromWindow(Point point) const;
    // A point of this view's coordinates in its superview's, and back.
    Point pointInSuperview(Point point) const;
    Point pointFromSuperview(Point point) const;

    // The insets of the screen's unsafe edges; the host (or a test) sets them on a root view.
    EdgeInsets safeAreaInsets() const { return safeAreaInsets_; }
    void setSafeAreaInsets(EdgeInsets insets);
    virtual void safeAreaInsetsDidChange();

    // Constraints are kept for the screens that switch them; nothing solves them.
    std::vector<std::shared_ptr<LayoutConstraint>> const& constraints() const { return constraints_; }
    void addConstraint(std::shared_ptr<LayoutConstraint> constraint);
    void removeConstraint(LayoutConstraint* constraint);

    // The controller whose root view this is.
    ViewController* viewController() const { return controller_; }

private:
    friend class ViewController;

    AffineTransform placement() const;
    // The window's picture changed beyond this view's own drawing (geometry, visibility, tree).
    void visualChanged() const;
    void layoutSubtree();
    void resizeSubviewsWithOldSize(Size oldSize);
    // Background and drawRect, then (after the subviews) the border, inside `outline`.
    void drawOwnContent(GraphicsContext& context, BezierPath const& outline);
    void drawBorder(GraphicsContext& context, BezierPath const& outline);

    Point center_;
    Rect bounds_;
    AffineTransform transform_;
    int tag_ = 0;
    bool hidden_ = false;
    double alpha_ = 1;
    bool userInteractionEnabled_ = true;
    bool multipleTouchEnabled_ = false;
    bool clipsToBounds_ = false;
    bool opaque_ = true;
    ContentMode contentMode_ = ContentMode::ScaleToFill;
    unsigned autoresizingMask_ = Autoresizing::None;
    bool autoresizesSubviews_ = true;
    Layer layer_;
    std::optional<Color> backgroundColor_;
    std::optional<Color> tintColor_;
    View* superview_ = nullptr;
    std::vector<std::shared_ptr<View>> subviews_;
    std::vector<std::shared_ptr<GestureRecognizer>> recognizers_;
    std::vector<std::shared_ptr<LayoutConstraint>> constraints_;
    ViewController* controller_ = nullptr;
    EdgeInsets safeAreaInsets_;
    bool needsLayout_ = true;
    bool needsUpdateConstraints_ = true;
    bool needsDisplay_ = true;
    std::uint64_t displayRequests_ = 0;
};

} // namespace Platform
