#pragma once

#include <cstdint>
#include <string>

namespace Lumora {

// A collection of items, each with a value and the name of its picture, that a collection
// picker shows. The picker does not own it: it must outlive the picker.
class iCollection {
public:
    struct Item {
        uint32_t value = 0;
        // The name of a picture in the picker's image bundle.
        std::string imageName;
    };

    virtual ~iCollection() = default;

    // The position of the item with that value; negative when there is none.
    virtual int valueToIndex(int value) const = 0;
    // Null when the index is out of range.
    virtual Item const* itemFromIndex(int index) const = 0;
    virtual unsigned numOfItems() const = 0;
};

} // namespace Lumora
