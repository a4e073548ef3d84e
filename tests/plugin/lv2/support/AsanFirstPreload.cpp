// Preloaded after the AddressSanitizer runtime into a host that is not sanitized (jalv.gtk3), so
// that the sanitized plug-in can load there. Without it the host hangs before its first window:
// libgpg-error's constructor runs before the runtime's own and calls bindtextdomain, whose first
// allocation starts the runtime while glibc holds its message-catalogue lock for writing; the
// runtime's start-up translates a dlerror() message under that same lock, which leaves the lock's
// count broken, and GTK's own bindtextdomain then waits on it forever. Starting the runtime with
// an allocation before the lock is taken avoids it.

#include <dlfcn.h>

#include <cstdlib>

extern "C" __attribute__((visibility("default"))) char* bindtextdomain(char const* domain, char const* directory) {
    void* volatile first = std::malloc(1);
    std::free(first);
    using Function = char* (*)(char const*, char const*);
    static auto const next = reinterpret_cast<Function>(dlsym(RTLD_NEXT, "bindtextdomain"));
    return next != nullptr ? next(domain, directory) : nullptr;
}
