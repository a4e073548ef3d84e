#pragma once

#include <memory>

namespace Platform {

// The root of the classes that stand for the platform's reference-counted objects (model object,
// settings, controls, screens ...). Objects are owned through std::shared_ptr; a weak reference
// of the platform is a std::weak_ptr. Creation takes two steps, as on the platform: construct,
// then an init method, which may call virtual operations of the finished object and answers
// false where the platform's initializer answers nil. newObject() does both.
class Object : public std::enable_shared_from_this<Object> {
public:
    virtual ~Object() = default;

    virtual bool init() { return true; }

protected:
    Object() = default;
    Object(Object const&) = delete;
    Object& operator=(Object const&) = delete;

    // A strong or weak reference to this object as its own class.
    template <class T>
    std::shared_ptr<T> self() {
        return std::static_pointer_cast<T>(shared_from_this());
    }
    template <class T>
    std::weak_ptr<T> weakSelf() {
        return self<T>();
    }
};

// Constructs an object and runs its init(); nothing when init answers false.
template <class T, class... Args>
std::shared_ptr<T> newObject(Args&&... args) {
    auto object = std::make_shared<T>(std::forward<Args>(args)...);
    if (!object->init())
        return nullptr;
    return object;
}

} // namespace Platform
