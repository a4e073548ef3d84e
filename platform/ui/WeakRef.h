#pragma once

#include "platform/foundation/Object.h"

#include <memory>
#include <type_traits>

namespace Platform {

// An unretained reference, as the platform keeps delegates and data sources: a referent that is
// a shared object is watched through a weak pointer, so a gone delegate reads as none; any other
// referent must outlive the reference.
template <class T>
class WeakRef {
public:
    WeakRef() = default;
    WeakRef(T* object) { reset(object); }

    void reset(T* object = nullptr)
    {
        object_ = object;
        watch_.reset();
        watched_ = false;
        if constexpr (std::is_polymorphic_v<T>) {
            if (auto* shared = dynamic_cast<std::enable_shared_from_this<Object>*>(object)) {
                std::weak_ptr<void const> w = shared->weak_from_this();
                if (!w.expired()) {
                    watch_ = std::move(w);
                    watched_ = true;
                }
            }
        }
    }

    T* get() const { return (watched_ && watch_.expired()) ? nullptr : object_; }
    T* operator->() const { return get(); }
    explicit operator bool() const { return get() != nullptr; }

private:
    T* object_ = nullptr;
    std::weak_ptr<void const> watch_;
    bool watched_ = false;
};

} // namespace Platform
