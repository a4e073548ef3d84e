#pragma once

#include <stdexcept>

namespace Lumora::Exception {

// An error with a message, thrown and caught inside one component (the app's Audiobus set-up).
class RuntimeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace Lumora::Exception
