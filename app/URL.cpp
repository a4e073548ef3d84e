#include "app/URL.h"

namespace AppShell {

URL URL::fileURLWithPath(std::string path) {
    URL url;
    url.scheme_ = "file";
    url.path_ = std::move(path);
    return url;
}

URL URL::withString(std::string const& text) {
    URL url;
    auto colon = text.find(':');
    // A scheme is at least one character and holds no slash.
    if (colon == std::string::npos || colon == 0 || text.find('/') < colon) {
        url.path_ = text;
        return url;
    }
    url.scheme_ = text.substr(0, colon);
    std::string rest = text.substr(colon + 1);
    if (url.scheme_ == "file" && rest.rfind("//", 0) == 0)
        rest.erase(0, 2);
    url.path_ = std::move(rest);
    return url;
}

std::string URL::lastPathComponent() const {
    std::string path = path_;
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    auto slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string URL::pathExtension() const {
    std::string name = lastPathComponent();
    auto dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0)
        return {};
    return name.substr(dot + 1);
}

URL& URL::setSecurityScope(SecurityScope scope) {
    scope_ = std::make_shared<SecurityScope>(std::move(scope));
    return *this;
}

bool URL::startAccessingSecurityScopedResource() const {
    return scope_ && scope_->start && scope_->start();
}

void URL::stopAccessingSecurityScopedResource() const {
    if (scope_ && scope_->stop)
        scope_->stop();
}

void FileCoordinator::coordinateReadingItemAtURL(URL const& url, int, std::function<void(URL const&)> const& accessor) {
    // Nothing on this machine brings files in lazily: the file can be read at once, where it is.
    if (accessor)
        accessor(url);
}

} // namespace AppShell
