#include "screens/arpeggiator/Lumora_ArpPgmSlider.h"

#include "controls/painter/Lumora_Painter.h"
#include "platform/graphics/GraphicsContext.h"

#include <algorithm>

Lumora_ArpPgmSlider::Lumora_ArpPgmSlider(Platform::Rect frame) : Lumora_Ctrl_Slider(frame)
{
    setupPositions();
}

void Lumora_ArpPgmSlider::awakeFromNib()
{
    Lumora_Ctrl_Slider::awakeFromNib();
    setupPositions();
}

void Lumora_ArpPgmSlider::setupPositions()
{
    setIsSwitched(true);
    setNumOfSwitches(positionCount);
}

void Lumora_ArpPgmSlider::drawRect(Platform::Rect const&)
{
    auto* context = Platform::GraphicsContext::current();
    if (!context)
        return;
    // The drawing works in its fixed canvas: fit it, centred, into the bounds.
    Platform::Rect const b = bounds();
    double const scale = std::min(b.width() / canvasWidth, b.height() / canvasHeight);
    if (!(scale > 0))
        return;
    context->saveGState();
    context->translate(b.minX() + (b.width() - canvasWidth * scale) / 2, b.minY() + (b.height() - canvasHeight * scale) / 2);
    context->scale(scale, scale);
    Lumora_Painter::sharedInstance()->drawArpPgSliderWithValue(indicatorPosition(), value(), disabled());
    context->restoreGState();
}
