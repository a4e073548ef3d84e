// The bundle as LV2's own tools read it: lv2_validate passes, lv2ls lists Corvane and lv2info
// shows every port.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include <boost/filesystem/path.hpp>

#include "plugin/lv2/support/Lv2TestHost.h"

namespace {

struct Output {
    int status = -1;
    std::string text;
};

// A command's exit status and its standard output and error, limited to a minute.
Output runCommand(std::string const& command) {
    Output out;
    FILE* pipe = ::popen(("timeout 60 " + command + " 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return out;
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        out.text.append(buffer, n);
    int const status = ::pclose(pipe);
    out.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return out;
}

std::string const kBundle = CORVANE_LV2_BUNDLE;

} // namespace

TEST(Lv2Bundle, PassesLv2Validate) {
    Output const result = runCommand("lv2_validate " + kBundle + "/manifest.ttl " + kBundle + "/Corvane.ttl " +
                                     kBundle + "/presets.ttl");
    EXPECT_EQ(result.status, 0) << result.text;
    EXPECT_EQ(result.text.find("error:"), std::string::npos) << result.text;
    EXPECT_NE(result.text.find("Found 0 errors"), std::string::npos) << result.text;
}

TEST(Lv2Bundle, LilvToolsListThePluginAndItsPorts) {
    Lv2Test::useBuildBundle();
    Output const listed = runCommand("lv2ls");
    EXPECT_NE(listed.text.find("urn:corvane:lv2:Corvane"), std::string::npos) << listed.text;

    Output const info = runCommand("lv2info urn:corvane:lv2:Corvane");
    EXPECT_EQ(info.status, 0) << info.text;
    for (char const* expected : {"Corvane", "events_in", "out_left", "out_right", "notify", "master_transpose",
                                 "common_volume", "common_arpeggiator", "Presets:", "Bass - Sub Square Bass"})
        EXPECT_NE(info.text.find(expected), std::string::npos) << expected << "\n" << info.text;
}
