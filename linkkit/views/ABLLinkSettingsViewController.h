#pragma once

#include <memory>

struct ABLLink;

namespace Platform {
class ViewController;
}

// How a program gets the kit's settings view of a link, to push it on its navigation stack.
class ABLLinkSettingsViewController {
public:
    // The link's settings view controller; none for a null link.
    static std::shared_ptr<Platform::ViewController> instance(ABLLink* link);
};
