#pragma once

namespace Platform {

struct Point {
    double x = 0;
    double y = 0;

    friend bool operator==(Point const&, Point const&) = default;
};

struct Size {
    double width = 0;
    double height = 0;

    friend bool operator==(Size const&, Size const&) = default;
};

// A rectangle as origin and size. Width and height may be negative; every accessor below works
// on the standardized rectangle (absolute size, origin at the smaller edges), so a rectangle
// drawn leftwards or upwards covers the same area as its standardized form.
struct Rect {
    Point origin;
    Size size;

    Rect() = default;
    Rect(double x, double y, double width, double height) : origin{x, y}, size{width, height} {}
    Rect(Point o, Size s) : origin(o), size(s) {}

    // The rectangle that an empty intersection answers; it has no position.
    static Rect null();
    bool isNull() const;

    Rect standardized() const;
    double minX() const;
    double minY() const;
    double maxX() const;
    double maxY() const;
    double midX() const;
    double midY() const;
    double width() const;
    double height() const;
    bool isEmpty() const;

    // Moves every edge inwards by dx and dy (outwards when negative).
    Rect insetBy(double dx, double dy) const;
    Rect offsetBy(double dx, double dy) const;
    // The smallest rectangle with whole-number edges that contains this one.
    Rect integral() const;
    Rect intersection(Rect const& other) const;
    Rect unionWith(Rect const& other) const;
    bool intersects(Rect const& other) const;
    // Half-open: the minimum edges belong to the rectangle, the maximum ones do not.
    bool contains(Point p) const;
    bool contains(Rect const& other) const;

    friend bool operator==(Rect const&, Rect const&) = default;
};

// The affine map (x, y) -> (a x + c y + tx, b x + d y + ty).
struct AffineTransform {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    static AffineTransform identity() { return {}; }
    static AffineTransform translation(double dx, double dy);
    static AffineTransform scaling(double sx, double sy);
    // Positive angles turn the x axis towards the y axis (clockwise on a y-down screen).
    static AffineTransform rotation(double radians);

    // This transform followed by `next`.
    AffineTransform concatenating(AffineTransform const& next) const;
    // Appends a translation, scale or rotation in this transform's own (inner) coordinates, as
    // the graphics context does with its current transform.
    AffineTransform translatedBy(double dx, double dy) const;
    AffineTransform scaledBy(double sx, double sy) const;
    AffineTransform rotatedBy(double radians) const;
    // Identity when the transform cannot be inverted.
    AffineTransform inverted() const;
    bool isIdentity() const;

    Point apply(Point p) const;
    Size apply(Size s) const;
    // The bounding box of the transformed rectangle.
    Rect apply(Rect const& r) const;

    friend bool operator==(AffineTransform const&, AffineTransform const&) = default;
};

} // namespace Platform
