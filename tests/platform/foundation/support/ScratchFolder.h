#pragma once

#include "platform/foundation/TemporaryDirectory.h"

#include <boost/filesystem/operations.hpp>

#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>

// A fresh folder for one test, removed afterwards; optionally made the programs' data home, with
// its "Config" sub-folder as their config home (where the user defaults live).
class ScratchFolder {
public:
    explicit ScratchFolder(bool asDataHome = false) {
        std::string pattern = Platform::temporaryDirectory() + "scratch-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
        if (asDataHome) {
            if (char const* old = std::getenv("CORVANE_DATA_HOME"))
                savedHome_ = old;
            if (char const* old = std::getenv("CORVANE_CONFIG_HOME"))
                savedConfig_ = old;
            ::setenv("CORVANE_DATA_HOME", path_.c_str(), 1);
            ::setenv("CORVANE_CONFIG_HOME", configPath().c_str(), 1);
            ownsHome_ = true;
        }
    }
    ~ScratchFolder() {
        if (ownsHome_) {
            if (savedHome_)
                ::setenv("CORVANE_DATA_HOME", savedHome_->c_str(), 1);
            else
                ::unsetenv("CORVANE_DATA_HOME");
            if (savedConfig_)
                ::setenv("CORVANE_CONFIG_HOME", savedConfig_->c_str(), 1);
            else
                ::unsetenv("CORVANE_CONFIG_HOME");
        }
        boost::system::error_code ignored;
        boost::filesystem::remove_all(path_, ignored);
    }
    ScratchFolder(ScratchFolder const&) = delete;
    ScratchFolder& operator=(ScratchFolder const&) = delete;

    std::string const& path() const { return path_; }
    std::string configPath() const { return path_ + "/Config"; }
    std::string operator/(std::string const& name) const { return path_ + "/" + name; }

private:
    std::string path_;
    std::optional<std::string> savedHome_;
    std::optional<std::string> savedConfig_;
    bool ownsHome_ = false;
};
