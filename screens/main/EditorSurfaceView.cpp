#include "screens/main/EditorSurfaceView.h"

#include "model/framework/Shared_Information.h"
#include "platform/ui/ImageNamed.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Nib.h"
#include "screens/main/nibs/MainScreenNibs.h"

#include <string>

char const* EditorSurfaceView::nibNameFor(int64_t idiom, bool isPlugin)
{
    if (idiom == 1)
        return isPlugin ? padPluginNibName : padAppNibName;
    return phoneNibName;
}

std::shared_ptr<EditorSurfaceView> EditorSurfaceView::createInstanceFor(int64_t idiom, bool isPlugin)
{
    registerMainScreenNibs();
    std::string const name = nibNameFor(idiom, isPlugin);
    auto nib = Platform::Nib::nibWithNibName(name, Platform::Bundle::main());
    if (!nib)
        return nullptr;
    auto objects = nib->instantiateWithOwner(nullptr);
    auto surface = objects.empty() ? nullptr : std::dynamic_pointer_cast<EditorSurfaceView>(objects.front());
    if (!surface)
        return nullptr;
    surface->setOriginalSize(surface->frame().size);
    if (surface->backgroundImageView) {
        auto bundle = Shared_Information::frameworkBundle();
        surface->backgroundImageView->setImage(Platform::imageNamed(name + "_background", bundle.get()));
        surface->backgroundImageView->setBackgroundColor(Platform::Color::blackColor());
        surface->backgroundImageView->setHighlighted(false);
    }
    return surface;
}
