#include "linkkit/views/LocalizedString.h"

#include "platform/foundation/Bundle.h"

#include <memory>
#include <mutex>

namespace {

constexpr char const* resourceBundleName = "LinkKitResources.bundle";

// Loaded on first use, and again on every later use while it could not be found.
std::shared_ptr<Platform::Bundle> resourceBundle()
{
    static std::mutex lock;
    static std::shared_ptr<Platform::Bundle> bundle;
    std::lock_guard guard(lock);
    if (!bundle) {
        if (auto main = Platform::Bundle::main())
            bundle = Platform::Bundle::withPath(main->resourcePath() + "/" + resourceBundleName);
    }
    return bundle;
}

} // namespace

std::optional<std::string> LocalizedString::resourcesLocalizedString(std::string const& key, std::string const&)
{
    auto bundle = resourceBundle();
    if (!bundle)
        return std::nullopt;
    return bundle->localizedStringForKey(key);
}
