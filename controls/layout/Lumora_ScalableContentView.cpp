#include "controls/layout/Lumora_ScalableContentView.h"

Lumora_ScalableContentView::Lumora_ScalableContentView(Platform::Rect frame)
    : Platform::View(frame), originalSize_(bounds().size)
{
    // A content made in code has its fixed size from the start; an interface file's is taken
    // again once the file is loaded.
}

void Lumora_ScalableContentView::awakeFromNib()
{
    Platform::View::awakeFromNib();
    originalSize_ = bounds().size;
}
