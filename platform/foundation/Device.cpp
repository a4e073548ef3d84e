#include "platform/foundation/Device.h"

#include <cstdlib>
#include <string_view>

namespace Platform::Device {

UserInterfaceIdiom userInterfaceIdiom() {
    char const* chosen = std::getenv("CORVANE_UI_IDIOM");
    std::string_view idiom = chosen ? chosen : "";
    if (idiom == "phone")
        return UserInterfaceIdiom::Phone;
    if (idiom == "mac")
        return UserInterfaceIdiom::Mac;
    return UserInterfaceIdiom::Pad;
}

} // namespace Platform::Device
