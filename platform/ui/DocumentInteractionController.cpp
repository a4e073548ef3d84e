#include "platform/ui/DocumentInteractionController.h"

#include "platform/foundation/Log.h"

#include <filesystem>
#include <mutex>

namespace Platform {

namespace {

std::mutex offeredLock;
std::vector<std::string>& offered()
{
    static std::vector<std::string> paths;
    return paths;
}

} // namespace

std::shared_ptr<DocumentInteractionController> DocumentInteractionController::interactionControllerWithURL(std::string path)
{
    auto controller = std::make_shared<DocumentInteractionController>();
    controller->path_ = std::move(path);
    return controller;
}

bool DocumentInteractionController::presentOptionsMenuFromRect(Rect const&, View*, bool)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path_, error))
        return false;
    {
        std::lock_guard guard(offeredLock);
        offered().push_back(path_);
    }
    log("offered to other programs: " + path_);
    if (auto* d = delegate())
        d->documentInteractionControllerDidDismissOptionsMenu(this);
    return true;
}

std::vector<std::string> DocumentInteractionController::offeredPaths()
{
    std::lock_guard guard(offeredLock);
    return offered();
}

void DocumentInteractionController::clearOfferedPaths()
{
    std::lock_guard guard(offeredLock);
    offered().clear();
}

} // namespace Platform
