#pragma once

#include <functional>
#include <memory>
#include <string>

namespace AppShell {

// The address of a document another app hands over: a scheme and a path. A file URL names a
// file of this machine. A security-scoped URL (a file in another app's folder) must be opened
// for access before its file can be seen, and closed again afterwards; whoever hands it over
// supplies how.
class URL {
public:
    struct SecurityScope {
        std::function<bool()> start;   // true when access was granted
        std::function<void()> stop;
    };

    static URL fileURLWithPath(std::string path);
    // "scheme:rest"; "file://" + path makes a file URL. A text without a scheme is not a URL of
    // any kind this app opens.
    static URL withString(std::string const& text);

    bool isFileURL() const { return scheme_ == "file"; }
    std::string const& scheme() const { return scheme_; }
    std::string const& path() const { return path_; }
    // The last path component, and its extension without the dot ("" when it has none; a name
    // that only starts with a dot has none).
    std::string lastPathComponent() const;
    std::string pathExtension() const;

    URL& setSecurityScope(SecurityScope scope);
    bool isSecurityScoped() const { return scope_ != nullptr; }
    // False for a URL without a scope, as on the platform.
    bool startAccessingSecurityScopedResource() const;
    void stopAccessingSecurityScopedResource() const;

private:
    std::string scheme_;
    std::string path_;
    std::shared_ptr<SecurityScope> scope_;
};

// Coordinated reading of a file that another process may be writing or still bringing in: the
// accessor runs once the file can be read, with the URL to read it at.
class FileCoordinator {
public:
    void coordinateReadingItemAtURL(URL const& url, int options, std::function<void(URL const&)> const& accessor);
};

} // namespace AppShell
