#pragma once

#include "platform/graphics/BezierPath.h"
#include "platform/ui/Button.h"

#include <chrono>
#include <memory>

namespace Platform {
class Timer;
}

// A transport button of the inter-app audio panel, drawn as one filled shape:
// 1 rewind (two left-pointing triangles), 2 pause (two bars), 3 play (a right-pointing
// triangle), 4 record (a circle), 5 recording (the circle, outlined and pulsing).
class TransportButton : public Platform::Button {
public:
    enum Style : int { None = 0, Rewind = 1, Pause = 2, Play = 3, Record = 4, Recording = 5 };

    explicit TransportButton(Platform::Rect frame);
    ~TransportButton() override;

    int drawingStyle() const { return style_; }
    // Nothing happens when the style is unchanged.
    void setDrawingStyle(int style);
    Platform::Color fillColor() const { return fill_; }
    void setFillColor(Platform::Color color);
    // The shape's outline: clear except while recording.
    Platform::Color strokeColor() const { return stroke_; }
    double lineWidth() const { return lineWidth_; }
    // The pulse of the recording style: runs while the style is 5.
    void flash();
    bool isFlashing() const { return flashing_; }
    static constexpr double pulseSeconds = 2.0;
    static constexpr double pulseLowestAlpha = 0.2;
    // The fill's alpha a pulse gives at a time after it began: from the colour's own alpha down to
    // 0.2 over two seconds, and back over two more, again and again.
    static double pulseAlpha(double colorAlpha, double secondsSinceStart);

    // The shape of a style in a rectangle (empty for unknown styles).
    static Platform::BezierPath newPathRefForStyle(int style, Platform::Rect imageRect);

    void drawRect(Platform::Rect const& rect) override;

private:
    Platform::Rect imageRect_;
    int style_ = None;
    Platform::Color fill_ = Platform::Color::darkGrayColor();
    Platform::Color stroke_ = Platform::Color::clearColor();
    double lineWidth_ = 0;
    bool flashing_ = false;
    std::chrono::steady_clock::time_point flashStart_;
    // Redraws the pulse while it runs.
    std::shared_ptr<Platform::Timer> pulseTimer_;
    void stopFlashing();
};
