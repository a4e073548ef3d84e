#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using namespace Platform;

TEST(GeometryTest, NegativeSizesStandardize)
{
    Rect const r(10, 20, -4, -6);
    EXPECT_DOUBLE_EQ(r.minX(), 6);
    EXPECT_DOUBLE_EQ(r.minY(), 14);
    EXPECT_DOUBLE_EQ(r.width(), 4);
    EXPECT_DOUBLE_EQ(r.height(), 6);
    EXPECT_DOUBLE_EQ(r.maxX(), 10);
    EXPECT_DOUBLE_EQ(r.midX(), 8);
    EXPECT_EQ(r.standardized(), Rect(6, 14, 4, 6));
}

TEST(GeometryTest, InsetIntersectUnionContain)
{
    Rect const r(0, 0, 10, 10);
    EXPECT_EQ(r.insetBy(2, 3), Rect(2, 3, 6, 4));
    EXPECT_TRUE(r.insetBy(6, 0).isNull());
    EXPECT_EQ(r.intersection(Rect(5, 5, 10, 10)), Rect(5, 5, 5, 5));
    EXPECT_TRUE(r.intersection(Rect(20, 20, 1, 1)).isNull());
    EXPECT_EQ(r.unionWith(Rect(20, 20, 1, 1)), Rect(0, 0, 21, 21));
    EXPECT_TRUE(r.contains(Point{0, 0}));
    EXPECT_FALSE(r.contains(Point{10, 5}));
    EXPECT_EQ(Rect(0.5, 0.5, 1.2, 1).integral(), Rect(0, 0, 2, 2));
}

TEST(GeometryTest, TransformsComposeAndInvert)
{
    AffineTransform const t = AffineTransform::identity().translatedBy(10, 0).rotatedBy(std::numbers::pi / 2).scaledBy(2, 2);
    Point const p = t.apply(Point{1, 0});
    EXPECT_NEAR(p.x, 10, 1e-12);
    EXPECT_NEAR(p.y, 2, 1e-12);
    Point const back = t.inverted().apply(p);
    EXPECT_NEAR(back.x, 1, 1e-12);
    EXPECT_NEAR(back.y, 0, 1e-12);
}

TEST(ColorTest, HueSaturationBrightnessRoundTrip)
{
    struct Case {
        Color rgb;
        HSBA hsb;
    };
    Case const cases[] = {
        {Color(1, 0, 0), {0, 1, 1, 1}},
        {Color(0, 1, 0, 0.5), {1.0 / 3, 1, 1, 0.5}},
        {Color(0, 0, 1), {2.0 / 3, 1, 1, 1}},
        {Color(0.109, 0.109, 0.109), {0, 0, 0.109, 1}},
        {Color(1, 0.427, 0.157), {(0.427 - 0.157) / 0.843 / 6, 0.843, 1, 1}},
    };
    for (Case const& c : cases) {
        HSBA const h = c.rgb.hsba();
        EXPECT_NEAR(h.hue, c.hsb.hue, 1e-9);
        EXPECT_NEAR(h.saturation, c.hsb.saturation, 1e-9);
        EXPECT_NEAR(h.brightness, c.hsb.brightness, 1e-9);
        EXPECT_NEAR(h.alpha, c.hsb.alpha, 1e-9);
        Color const back = Color::withHSBA(h);
        EXPECT_NEAR(back.red(), c.rgb.red(), 1e-9);
        EXPECT_NEAR(back.green(), c.rgb.green(), 1e-9);
        EXPECT_NEAR(back.blue(), c.rgb.blue(), 1e-9);
    }
    // A grey keeps hue and saturation when only brightness changes.
    HSBA grey = Color::whiteColor().hsba();
    grey.brightness = 0.8;
    EXPECT_EQ(Color::withHSBA(grey), Color(0.8, 0.8, 0.8));
}

TEST(BezierPathTest, ContainsPointFollowsTheFillRule)
{
    BezierPath ring;
    ring.addOvalInRect(Rect(0, 0, 100, 100));
    ring.addOvalInRect(Rect(25, 25, 50, 50));
    EXPECT_TRUE(ring.containsPoint({50, 50}));  // nonzero: both wound the same way
    ring.setUsesEvenOddFillRule(true);
    EXPECT_FALSE(ring.containsPoint({50, 50}));
    EXPECT_TRUE(ring.containsPoint({10, 50}));
    EXPECT_FALSE(ring.containsPoint({2, 2}));
}

TEST(BezierPathTest, ArcsRunByDirectionAndJoinTheCurrentPoint)
{
    // Clockwise from 0 to 90 degrees on a y-down screen passes through the lower right quadrant.
    BezierPath pie;
    pie.addArc({0, 0}, 10, 0, std::numbers::pi / 2, true);
    pie.lineTo({0, 0});
    pie.close();
    EXPECT_TRUE(pie.containsPoint({4, 4}));
    EXPECT_FALSE(pie.containsPoint({-4, -4}));
    // Counter-clockwise the same angles take the other three quarters.
    BezierPath other;
    other.addArc({0, 0}, 10, 0, std::numbers::pi / 2, false);
    Point const end = other.currentPoint();
    EXPECT_NEAR(end.x, 0, 1e-12);
    EXPECT_NEAR(end.y, 10, 1e-12);
    other.lineTo({0, 0});
    other.close();
    EXPECT_FALSE(other.containsPoint({4, 4}));
    EXPECT_TRUE(other.containsPoint({-4, -4}));
    // A second arc is joined to the path by a line, not a new subpath.
    other.addArc({0, 0}, 5, 0, 1, true);
    EXPECT_EQ(other.elements()[other.elements().size() - 2].type, BezierPath::ElementType::LineTo);
}

TEST(BezierPathTest, ArcsOfAnyAngleSweepAtMostOneTurn)
{
    double const pi = std::numbers::pi;
    // Backwards against its direction an arc wraps round: clockwise from 0 to -90 degrees is three
    // quarters of a turn through the bottom, ending at the top.
    BezierPath wrapped;
    wrapped.addArc({0, 0}, 10, 0, -pi / 2, true);
    EXPECT_NEAR(wrapped.currentPoint().x, 0, 1e-9);
    EXPECT_NEAR(wrapped.currentPoint().y, -10, 1e-9);
    EXPECT_EQ(wrapped.elements().size(), 4u);

    // More than a turn draws one whole circle.
    BezierPath over;
    over.addArc({0, 0}, 10, 0, 3 * pi, true);
    EXPECT_EQ(over.elements().size(), 5u);
    EXPECT_NEAR(over.currentPoint().x, 10, 1e-9);
    EXPECT_NEAR(over.currentPoint().y, 0, 1e-9);

    // Angles far out of range or infinite finish at once with at most one turn.
    struct Case {
        double end;
        bool clockwise;
    };
    Case const cases[] = {{-1e18, true}, {1e18, true}, {1e18, false}, {-1e18, false},
                          {-INFINITY, true}, {INFINITY, false}, {NAN, true}};
    for (Case const& c : cases) {
        SCOPED_TRACE(testing::Message() << c.end << " " << c.clockwise);
        BezierPath path;
        path.addArc({0, 0}, 10, 0, c.end, c.clockwise);
        EXPECT_GE(path.elements().size(), 1u);
        EXPECT_LE(path.elements().size(), 5u);
    }
}

TEST(BezierPathTest, RoundedRectangleCornersAndLimits)
{
    BezierPath const r = BezierPath::withRoundedRect(Rect(0, 0, 40, 20), 5);
    EXPECT_FALSE(r.containsPoint({0.5, 0.5}));
    EXPECT_TRUE(r.containsPoint({5, 5}));
    EXPECT_TRUE(r.containsPoint({20, 0.5}));
    // Only the bottom corners rounded.
    BezierPath const bottom = BezierPath::withRoundedRect(Rect(0, 0, 40, 20), BottomLeft | BottomRight, Size{5, 5});
    EXPECT_TRUE(bottom.containsPoint({0.5, 0.5}));
    EXPECT_FALSE(bottom.containsPoint({0.5, 19.5}));
    // A radius beyond half the short side makes a stadium, not a broken outline.
    BezierPath const pill = BezierPath::withRoundedRect(Rect(0, 0, 40, 20), 50);
    EXPECT_TRUE(pill.containsPoint({20, 10}));
    EXPECT_FALSE(pill.containsPoint({1, 1}));
    EXPECT_EQ(pill.bounds(), Rect(0, 0, 40, 20));
}
