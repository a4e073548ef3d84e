#include "platform/ui/Nib.h"

#include "platform/ui/View.h"

namespace Platform {

namespace {

struct Registry {
    std::mutex lock;
    std::map<std::string, Nib::Builder> builders;
};

Registry& registry()
{
    static Registry r;
    return r;
}

void awakeSubtree(View& view)
{
    auto subviews = view.subviews();
    for (auto& sub : subviews)
        awakeSubtree(*sub);
    view.awakeFromNib();
}

} // namespace

void Nib::registerNib(std::string const& name, Builder builder)
{
    auto& r = registry();
    std::lock_guard guard(r.lock);
    r.builders[name] = std::move(builder);
}

void Nib::unregisterNib(std::string const& name)
{
    auto& r = registry();
    std::lock_guard guard(r.lock);
    r.builders.erase(name);
}

bool Nib::isRegistered(std::string const& name)
{
    auto& r = registry();
    std::lock_guard guard(r.lock);
    return r.builders.count(name) != 0;
}

std::vector<std::string> Nib::registeredNames()
{
    auto& r = registry();
    std::lock_guard guard(r.lock);
    std::vector<std::string> names;
    for (auto const& [name, builder] : r.builders)
        names.push_back(name);
    return names;
}

std::shared_ptr<Nib> Nib::nibWithNibName(std::string const& name, std::shared_ptr<Bundle> bundle)
{
    auto& r = registry();
    std::lock_guard guard(r.lock);
    auto it = r.builders.find(name);
    if (it == r.builders.end())
        return nullptr;
    return std::make_shared<Nib>(name, it->second, std::move(bundle));
}

std::vector<std::shared_ptr<Object>> Nib::instantiateWithOwner(Object* owner) const
{
    Context context{owner, bundle_};
    auto objects = builder_(context);
    for (auto& object : objects)
        if (auto* view = dynamic_cast<View*>(object.get()))
            awakeSubtree(*view);
    return objects;
}

std::vector<std::shared_ptr<Object>> Nib::loadNibNamed(std::string const& name, Object* owner,
                                                       std::shared_ptr<Bundle> bundle)
{
    auto nib = nibWithNibName(name, std::move(bundle));
    if (!nib)
        return {};
    return nib->instantiateWithOwner(owner);
}

} // namespace Platform
