#include "linkkit/support/LinkTestSupport.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include <net/if.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace LinkTest {

namespace {

bool raiseLoopback()
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

class TestDataHome {
public:
    TestDataHome()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "linkkit-test-XXXXXX").string();
        if (mkdtemp(pattern.data()) != nullptr) {
            path_ = pattern;
            setenv("CORVANE_DATA_HOME", path_.c_str(), 1);
        }
    }
    ~TestDataHome()
    {
        std::error_code ignored;
        if (!path_.empty())
            std::filesystem::remove_all(path_, ignored);
    }

private:
    std::string path_;
};

} // namespace

bool enterPrivateLoopbackNetwork()
{
    static bool const entered = unshare(CLONE_NEWNET) == 0 && raiseLoopback();
    return entered;
}

void useTestDataHome()
{
    static TestDataHome home;
}

} // namespace LinkTest
