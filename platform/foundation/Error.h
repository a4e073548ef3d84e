#pragma once

#include <string>

namespace Platform {

// The error domains of the failures our stand-ins report.
inline constexpr char const* POSIXErrorDomain = "NSPOSIXErrorDomain";
inline constexpr char const* CocoaErrorDomain = "NSCocoaErrorDomain";

// A failure as the platform reports it: which family of codes (domain), the code within it and
// a human-readable description. A default-constructed error means "no error".
class Error {
public:
    Error() = default;
    Error(std::string domain, int code, std::string description);

    // An error of the POSIX domain for a system error number, described by the C library.
    static Error fromErrno(int errorNumber);
    static Error fromErrno(int errorNumber, std::string description);

    std::string const& domain() const { return domain_; }
    int code() const { return code_; }
    std::string const& localizedDescription() const { return description_; }

    explicit operator bool() const { return !domain_.empty(); }

private:
    std::string domain_;
    int code_ = 0;
    std::string description_;
};

} // namespace Platform
