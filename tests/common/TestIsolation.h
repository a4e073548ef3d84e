#pragma once

// Keeps what a test program's Link sessions and user defaults touch inside the program.
// Header-only, so that the test programs of every folder can use it; each function does its
// work once per process.
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace TestIsolation {

namespace Detail {

inline bool raiseLoopback()
{
    int const fd = socket(AF_INET, SOCK_DGRAM, 0);
    if (fd < 0)
        return false;
    ifreq request {};
    std::strncpy(request.ifr_name, "lo", IFNAMSIZ - 1);
    bool ok = ioctl(fd, SIOCGIFFLAGS, &request) == 0;
    if (ok) {
        request.ifr_flags |= IFF_UP | IFF_MULTICAST;
        ok = ioctl(fd, SIOCSIFFLAGS, &request) == 0;
    }
    close(fd);
    return ok;
}

class DataHome {
public:
    DataHome()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "corvane-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
            setenv("CORVANE_DATA_HOME", path_.c_str(), 1);
            setenv("CORVANE_CONFIG_HOME", (path_ + "/Config").c_str(), 1);
        }
    }
    ~DataHome()
    {
        std::error_code ignored;
        if (!path_.empty())
            std::filesystem::remove_all(path_, ignored);
    }
    DataHome(DataHome const&) = delete;
    DataHome& operator=(DataHome const&) = delete;

private:
    std::string path_;
};

} // namespace Detail

// Moves the calling thread (and the threads it starts from now on: Link's network threads)
// into a network namespace of its own whose only interface is the loopback one, so that the
// sessions of a test reach nothing beyond this process. False when the system refuses.
inline bool enterPrivateLoopbackNetwork()
{
    static bool const entered = unshare(CLONE_NEWNET) == 0 && Detail::raiseLoopback();
    return entered;
}

// Points the program's data home and config home (and so its user defaults) at a folder of
// this test process, removed when the process ends.
inline void useTestDataHome()
{
    static Detail::DataHome home;
}

} // namespace TestIsolation
