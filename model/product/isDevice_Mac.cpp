#include "model/product/isDevice_Mac.h"

#include "platform/foundation/Device.h"

// Only the Mac idiom means a Mac: a pad is not one.
bool isDevice_Mac() {
    return Platform::Device::userInterfaceIdiom() == Platform::UserInterfaceIdiom::Mac;
}
