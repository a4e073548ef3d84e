#pragma once

namespace Platform {

// Hue, saturation and brightness with alpha, each in 0..1 (hue 1 is a full turn).
struct HSBA {
    double hue = 0;
    double saturation = 0;
    double brightness = 0;
    double alpha = 1;
};

// An sRGB colour with straight (not premultiplied) alpha. Components are kept as given, even
// outside 0..1: drawing clamps them, so a computed colour such as a lamp glow with red 1.3 is
// handed over unchanged and shows as full red.
class Color {
public:
    constexpr Color() = default;
    constexpr Color(double red, double green, double blue, double alpha = 1.0)
        : red_(red), green_(green), blue_(blue), alpha_(alpha)
    {
    }

    static constexpr Color withWhite(double white, double alpha = 1.0)
    {
        return Color(white, white, white, alpha);
    }
    static Color withHSBA(HSBA const& hsba);

    static constexpr Color blackColor() { return Color(0, 0, 0, 1); }
    static constexpr Color whiteColor() { return Color(1, 1, 1, 1); }
    static constexpr Color clearColor() { return Color(0, 0, 0, 0); }
    static constexpr Color grayColor() { return withWhite(0.5); }
    static constexpr Color darkGrayColor() { return withWhite(1.0 / 3.0); }
    static constexpr Color lightGrayColor() { return withWhite(2.0 / 3.0); }
    static constexpr Color redColor() { return Color(1, 0, 0, 1); }
    static constexpr Color greenColor() { return Color(0, 1, 0, 1); }
    static constexpr Color blueColor() { return Color(0, 0, 1, 1); }

    constexpr double red() const { return red_; }
    constexpr double green() const { return green_; }
    constexpr double blue() const { return blue_; }
    constexpr double alpha() const { return alpha_; }

    // The same colour with its alpha replaced.
    constexpr Color withAlphaComponent(double alpha) const { return Color(red_, green_, blue_, alpha); }
    HSBA hsba() const;

    // Make this colour the current graphics context's fill colour, stroke colour, or both. Without
    // a current context nothing happens.
    void setFill() const;
    void setStroke() const;
    void set() const;

    friend constexpr bool operator==(Color const&, Color const&) = default;

private:
    double red_ = 0;
    double green_ = 0;
    double blue_ = 0;
    double alpha_ = 1;
};

} // namespace Platform
