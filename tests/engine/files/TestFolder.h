#pragma once

#include <gtest/gtest.h>

#include <boost/filesystem.hpp>

#include <fstream>
#include <iterator>
#include <string>

namespace LumoraTest {

// A fresh folder below the test's own temporary directory, removed again at the end.
class TestFolder {
public:
    TestFolder() {
        path_ = boost::filesystem::path(::testing::TempDir()) / boost::filesystem::unique_path("docs-%%%%-%%%%-%%%%");
        boost::filesystem::create_directories(path_);
        // Resolved once so that comparisons with resolved paths hold on systems where the
        // temporary directory is reached through a link.
        path_ = boost::filesystem::canonical(path_);
    }
    ~TestFolder() {
        boost::system::error_code ignored;
        boost::filesystem::permissions(path_, boost::filesystem::owner_all | boost::filesystem::add_perms, ignored);
        boost::filesystem::remove_all(path_, ignored);
    }
    TestFolder(TestFolder const&) = delete;
    TestFolder& operator=(TestFolder const&) = delete;

    boost::filesystem::path const& path() const { return path_; }
    boost::filesystem::path operator/(std::string const& relative) const { return path_ / relative; }

private:
    boost::filesystem::path path_;
};

inline void writeFile(boost::filesystem::path const& path, std::string const& content) {
    boost::filesystem::create_directories(path.parent_path());
    std::ofstream(path.string(), std::ios::binary) << content;
}

inline std::string readFile(boost::filesystem::path const& path) {
    std::ifstream in(path.string(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace LumoraTest
