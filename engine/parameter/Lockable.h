#pragma once

#include <mutex>

namespace Lumora {

// Owns one recursive mutex: the object's own lock. Recursive because a change made under it
// may, through its observers, come back to the same object on the same thread.
class Lockable {
public:
    Lockable() = default;
    Lockable(const Lockable&) = delete;
    Lockable& operator=(const Lockable&) = delete;

    std::recursive_mutex& mutex() const { return mutex_; }

private:
    mutable std::recursive_mutex mutex_;
};

} // namespace Lumora
