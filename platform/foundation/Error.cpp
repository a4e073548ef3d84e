#include "platform/foundation/Error.h"

#include <cstring>
#include <utility>

namespace Platform {

Error::Error(std::string domain, int code, std::string description)
    : domain_(std::move(domain)), code_(code), description_(std::move(description)) {}

Error Error::fromErrno(int errorNumber) {
    return Error(POSIXErrorDomain, errorNumber, std::strerror(errorNumber));
}

Error Error::fromErrno(int errorNumber, std::string description) {
    return Error(POSIXErrorDomain, errorNumber, std::move(description));
}

} // namespace Platform
