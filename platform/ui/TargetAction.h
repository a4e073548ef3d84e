#pragma once

#include <array>
#include <cstddef>
#include <cstring>
#include <functional>
#include <memory>
#include <type_traits>
#include <typeindex>
#include <vector>

namespace Platform {

// The targets and actions registered with a sender (a control or a gesture recogniser), each for
// a mask of events. Targets are not retained: a target that is a shared object is watched
// through a weak reference and skipped once gone; any other target must outlive its
// registration. The same target and action registered twice is kept once, its masks joined.
template <class Sender>
class TargetActionList {
public:
    using Handler = std::function<void(Sender*)>;

    template <class T, class S>
        requires std::is_base_of_v<Sender, S>
    void add(T* target, void (T::*action)(S*), unsigned long mask)
    {
        Entry e = entryFor(target, action);
        e.invoke = [target, action](Sender* sender) { (target->*action)(static_cast<S*>(sender)); };
        insert(std::move(e), mask);
    }

    template <class T>
    void add(T* target, void (T::*action)(), unsigned long mask)
    {
        Entry e = entryFor(target, action);
        e.invoke = [target, action](Sender*) { (target->*action)(); };
        insert(std::move(e), mask);
    }

    // A free handler; answers the number to remove it by.
    std::size_t addHandler(Handler handler, unsigned long mask)
    {
        Entry e;
        e.handlerId = ++lastHandlerId_;
        e.invoke = std::move(handler);
        e.mask = mask;
        entries_.push_back(std::move(e));
        return lastHandlerId_;
    }
    void removeHandler(std::size_t id)
    {
        std::erase_if(entries_, [id](Entry const& e) { return e.handlerId == id; });
    }

    // Removes the action from the target for the events of the mask (all its actions when
    // `action` is null); a null target removes every entry matching the mask.
    template <class T, class A>
    void remove(T* target, A action, unsigned long mask)
    {
        Key key = keyOf(action);
        removeWhere([&](Entry const& e) { return e.target == target && (!action || e.key == key); }, mask);
    }
    void removeTarget(void const* target, unsigned long mask)
    {
        removeWhere([&](Entry const& e) { return !target || e.target == target; }, mask);
    }

    bool hasTarget(void const* target) const
    {
        for (auto const& e : entries_)
            if (e.target == target && e.alive())
                return true;
        return false;
    }
    std::size_t count() const { return entries_.size(); }

    // Calls, in order of registration, every live action whose mask meets `events`. The list is
    // copied first, so actions may register or remove targets.
    void send(Sender* sender, unsigned long events) const
    {
        auto entries = entries_;
        for (auto const& e : entries)
            if ((e.mask & events) != 0 && e.alive())
                e.invoke(sender);
    }

private:
    using Key = std::pair<std::type_index, std::array<unsigned char, 2 * sizeof(void*)>>;

    struct Entry {
        void const* target = nullptr;
        std::weak_ptr<void const> watch;
        bool watched = false;
        Key key{typeid(void), {}};
        std::size_t handlerId = 0;
        unsigned long mask = 0;
        Handler invoke;

        bool alive() const { return !watched || !watch.expired(); }
    };

    template <class A>
    static Key keyOf(A action)
    {
        static_assert(sizeof(A) <= 2 * sizeof(void*));
        Key key{typeid(A), {}};
        std::memcpy(key.second.data(), &action, sizeof(A));
        return key;
    }
    static Key keyOf(std::nullptr_t) { return Key{typeid(void), {}}; }

    template <class T, class A>
    static Entry entryFor(T* target, A action)
    {
        Entry e;
        e.target = target;
        e.key = keyOf(action);
        if constexpr (requires { target->weak_from_this(); }) {
            std::weak_ptr<void const> w = target->weak_from_this();
            if (!w.expired()) {
                e.watch = w;
                e.watched = true;
            }
        }
        return e;
    }

    void insert(Entry e, unsigned long mask)
    {
        for (auto& existing : entries_)
            if (existing.handlerId == 0 && existing.target == e.target && existing.key == e.key) {
                existing.mask |= mask;
                return;
            }
        e.mask = mask;
        entries_.push_back(std::move(e));
    }

    template <class Pred>
    void removeWhere(Pred pred, unsigned long mask)
    {
        for (auto& e : entries_)
            if (e.handlerId == 0 && pred(e))
                e.mask &= ~mask;
        std::erase_if(entries_, [](Entry const& e) { return e.mask == 0; });
    }

    std::vector<Entry> entries_;
    std::size_t lastHandlerId_ = 0;
};

} // namespace Platform
