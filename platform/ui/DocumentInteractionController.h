#pragma once

#include "platform/graphics/Geometry.h"
#include "platform/ui/WeakRef.h"

#include <memory>
#include <string>
#include <vector>

namespace Platform {

class View;
class DocumentInteractionController;

class DocumentInteractionControllerDelegate {
public:
    virtual ~DocumentInteractionControllerDelegate() = default;
    virtual void documentInteractionControllerDidDismissOptionsMenu(DocumentInteractionController*) {}
};

// Offers a file to other programs. Nothing leaves the process here: an offered file is recorded
// (the shell or a test reads the record) and the options menu closes at once.
class DocumentInteractionController {
public:
    static std::shared_ptr<DocumentInteractionController> interactionControllerWithURL(std::string path);

    std::string const& path() const { return path_; }
    DocumentInteractionControllerDelegate* delegate() const { return delegate_.get(); }
    void setDelegate(DocumentInteractionControllerDelegate* delegate) { delegate_.reset(delegate); }

    // Answers whether an offer was made (false for a path that names no file).
    bool presentOptionsMenuFromRect(Rect const& rect, View* view, bool animated);

    // The paths offered so far in this process, oldest first.
    static std::vector<std::string> offeredPaths();
    static void clearOfferedPaths();

private:
    std::string path_;
    WeakRef<DocumentInteractionControllerDelegate> delegate_;
};

} // namespace Platform
