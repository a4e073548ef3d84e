#include "controls/painter/Lumora_Painter.h"

Lumora_Painter* Lumora_Painter::sharedInstance()
{
    // Made once, even under concurrent first calls, and kept for the whole process so that
    // screens torn down at exit still find it.
    static Lumora_Painter* const instance = [] {
        auto* painter = new Lumora_Painter();
        painter->impl_ = std::make_shared<Lumora_PainterImplementation>();
        return painter;
    }();
    return instance;
}

void Lumora_Painter::setImplimatation(std::shared_ptr<Lumora_PainterImplementation> theme)
{
    sharedInstance()->setImpl(std::move(theme));
}
