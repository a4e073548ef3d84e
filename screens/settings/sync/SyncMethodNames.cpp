#include "screens/settings/sync/SyncMethodNames.h"

#include <mutex>

namespace {

std::mutex lock;

std::vector<std::string>& current()
{
    static std::vector<std::string> list = SyncMethodNames::sharedNames();
    return list;
}

} // namespace

namespace SyncMethodNames {

std::vector<std::string> const& sharedNames()
{
    static std::vector<std::string> const shared{"Internal", "MIDI", "Inter-App Audio"};
    return shared;
}

std::vector<std::string> names()
{
    std::lock_guard guard(lock);
    return current();
}

void setNames(std::vector<std::string> list)
{
    std::lock_guard guard(lock);
    current() = list.empty() ? sharedNames() : std::move(list);
}

std::string nameOf(std::uint32_t method)
{
    std::vector<std::string> const list = names();
    if (method >= 1 && method < list.size())
        return list[method];
    return list.front();
}

int rowOf(int method)
{
    return (method >= 1 && method <= 3) ? method : 0;
}

} // namespace SyncMethodNames
