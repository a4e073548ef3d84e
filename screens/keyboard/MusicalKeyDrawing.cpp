#include "screens/keyboard/MusicalKeyDrawing.h"

#include "controls/painter/Lumora_Painter.h"

void Lumora_drawMusicalKey(Platform::Rect const& frame, bool isWhiteKey, bool pressed, bool held)
{
    Lumora_Painter* painter = Lumora_Painter::sharedInstance();
    if (isWhiteKey)
        painter->drawKeyWhiteWithFrame(frame, pressed, held);
    else
        painter->drawKeyBlackWithFrame(frame, pressed, held);
}
