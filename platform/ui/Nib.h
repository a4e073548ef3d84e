#pragma once

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Object.h"

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace Platform {

class View;

// An interface file. Each file the program loads is a builder registered under the file's name:
// the builder makes the file's objects (views with their classes, frames, tags and attributes),
// connects outlets and actions to the owner it is given, and answers the top-level objects.
// Instantiating calls awakeFromNib on every view made, once all are connected, subviews before
// their superviews.
class Nib {
public:
    // What a builder gets: the owner (may be null) and the bundle the file was asked for.
    struct Context {
        Object* owner = nullptr;
        std::shared_ptr<Bundle> bundle;

        // The owner as the class the file expects, or null.
        template <class T>
        T* ownerAs() const { return dynamic_cast<T*>(owner); }
    };
    using Builder = std::function<std::vector<std::shared_ptr<Object>>(Context const&)>;

    // Registers (or replaces) the builder of a file name.
    static void registerNib(std::string const& name, Builder builder);
    static void unregisterNib(std::string const& name);
    static bool isRegistered(std::string const& name);
    static std::vector<std::string> registeredNames();

    // The file of that name; none when nothing is registered under it. The bundle is handed to
    // the builder (resources such as images come from it).
    static std::shared_ptr<Nib> nibWithNibName(std::string const& name, std::shared_ptr<Bundle> bundle = nullptr);
    // Makes the file's objects for an owner (may be null); answers the top-level objects.
    std::vector<std::shared_ptr<Object>> instantiateWithOwner(Object* owner) const;
    // The bundle's loadNibNamed: the same, in one call; empty when no such file exists.
    static std::vector<std::shared_ptr<Object>> loadNibNamed(std::string const& name, Object* owner,
                                                              std::shared_ptr<Bundle> bundle = nullptr);

    std::string const& name() const { return name_; }

    Nib(std::string name, Builder builder, std::shared_ptr<Bundle> bundle)
        : name_(std::move(name)), builder_(std::move(builder)), bundle_(std::move(bundle))
    {
    }

private:
    std::string name_;
    Builder builder_;
    std::shared_ptr<Bundle> bundle_;
};

// Registers a builder while static objects are made: `static Platform::NibRegistration r("Name", build);`.
// In a static library such an object is linked only when its file is used otherwise, so
// programs register through a function they call instead where that is not certain.
struct NibRegistration {
    NibRegistration(std::string const& name, Nib::Builder builder) { Nib::registerNib(name, std::move(builder)); }
};

} // namespace Platform
