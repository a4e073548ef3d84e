#include "plugin/lv2/support/JalvProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace Lv2Test {

using Clock = std::chrono::steady_clock;

JalvProcess::JalvProcess(std::vector<std::string> const& arguments, std::string const& log, std::string const& preload) {
    // Everything the child needs is made before the fork: after it, only plain system calls.
    std::vector<char*> argv;
    for (std::string const& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::string const preloadVariable = "LD_PRELOAD=" + preload;
    std::string const asanVariable = "ASAN_OPTIONS=detect_leaks=0:verify_asan_link_order=0";
    int fds[2];
    if (arguments.empty() || ::pipe(fds) != 0)
        return;
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(fds[0], 0);
        int const out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(out, 1);
        ::dup2(out, 2);
        ::close(fds[1]);
        if (!preload.empty()) {
            ::putenv(const_cast<char*>(preloadVariable.c_str()));
            ::putenv(const_cast<char*>(asanVariable.c_str()));
        }
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(fds[0]);
    stdin_ = fds[1];
}

JalvProcess::~JalvProcess() { stop(); }

bool JalvProcess::running() const {
    if (pid_ <= 0 || reaped_)
        return false;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == 0)
        return true;
    reaped_ = true;
    return false;
}

void JalvProcess::stop() {
    if (pid_ <= 0)
        return;
    if (!reaped_)
        ::kill(pid_, SIGTERM);
    auto const end = Clock::now() + std::chrono::seconds(10);
    int status = 0;
    while (!reaped_ && ::waitpid(pid_, &status, WNOHANG) == 0) {
        if (Clock::now() > end) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::close(stdin_);
    pid_ = -1;
    stdin_ = -1;
}

bool waitFor(std::function<bool()> const& condition, std::chrono::milliseconds limit,
             std::chrono::milliseconds interval) {
    auto const end = Clock::now() + limit;
    while (!condition()) {
        if (Clock::now() > end)
            return false;
        std::this_thread::sleep_for(interval);
    }
    return true;
}

std::string readFile(std::string const& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace Lv2Test
