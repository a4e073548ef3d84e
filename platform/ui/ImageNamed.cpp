#include "platform/ui/ImageNamed.h"

namespace Platform {

Image imageNamed(std::string const& name, Bundle const* bundle)
{
    std::shared_ptr<Bundle> main;
    if (!bundle) {
        main = Bundle::main();
        bundle = main.get();
    }
    if (!bundle || name.empty())
        return Image();
    bool typed = name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0;
    if (typed) {
        if (auto path = bundle->pathForResource(name, ""))
            return Image::contentsOfFile(*path);
        return Image();
    }
    for (char const* suffix : {"", "@2x", "@3x"})
        if (auto path = bundle->pathForResource(name + suffix, "png"))
            return Image::contentsOfFile(*path);
    return Image();
}

} // namespace Platform
