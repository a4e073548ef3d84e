#include "model/conversion/PresetFileConverter.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include <boost/filesystem/operations.hpp>
#include <boost/filesystem/path.hpp>

#include <sys/stat.h>
#include <unistd.h>

#include "engine/audio/iAudioEngine.h"
#include "engine/files/FileSystem.h"
#include "platform/foundation/Log.h"

namespace fs = boost::filesystem;
namespace files = Lumora::filesystem;

namespace {

void logFailure(char const* call, std::string const& subject, std::string const& description) {
    Platform::log(std::string("ERROR! : [") + call + ":" + subject + "] " + description);
}

// Makes a folder without intermediate folders; an existing folder is fine.
bool makeFolder(fs::path const& path, std::string& description) {
    if (files::is_directory(path))
        return true;
    boost::system::error_code error;
    fs::create_directory(path, error);
    if (error) {
        description = error.message();
        return false;
    }
    return true;
}

// Structurally valid UTF-8: no stray continuation bytes, no overlong forms, no surrogates, no
// code point beyond U+10FFFF.
bool isValidUtf8(std::string const& text) {
    auto const* s = reinterpret_cast<unsigned char const*>(text.data());
    std::size_t const n = text.size();
    std::size_t i = 0;
    while (i < n) {
        unsigned char c = s[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        std::size_t length;
        unsigned char low = 0x80, high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0)
                low = 0xA0;
            if (c == 0xED)
                high = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0)
                low = 0x90;
            if (c == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        if (i + length > n)
            return false;
        if (s[i + 1] < low || s[i + 1] > high)
            return false;
        for (std::size_t k = 2; k < length; ++k)
            if (s[i + k] < 0x80 || s[i + k] > 0xBF)
                return false;
        i += length;
    }
    return true;
}

bool readFile(fs::path const& path, std::string& text, std::string& description) {
    std::ifstream in(path.string(), std::ios::binary);
    if (!in) {
        description = std::strerror(errno);
        return false;
    }
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        description = "The file could not be read.";
        return false;
    }
    return true;
}

// Writes into a new file beside the target and renames it over the target, so the target is
// either the old document or the whole new one.
bool writeFileAtomically(fs::path const& path, std::string const& text, std::string& description) {
    std::string temporary = (path.parent_path() / ("." + path.filename().string() + ".XXXXXX")).string();
    int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        description = std::strerror(errno);
        return false;
    }
    std::size_t written = 0;
    while (written < text.size()) {
        ssize_t n = ::write(fd, text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            description = std::strerror(errno);
            ::close(fd);
            ::unlink(temporary.c_str());
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    // Readable like any document the program writes (mkstemp makes the file private).
    ::fchmod(fd, 0644);
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        description = std::strerror(errno);
        ::unlink(temporary.c_str());
        return false;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        description = std::strerror(errno);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace

bool PresetFileConverter::convert_oldVersionDirectoryPath(std::string const& oldDirectory,
                                                          std::string const& newDirectory,
                                                          std::string const& convertedDirectoryName,
                                                          std::string const& oldExtension,
                                                          std::string const& newExtension,
                                                          Lumora::iAudioEngine* engine, Lumora::SerializeWhat what) {
    if (engine == nullptr || !files::is_directory(oldDirectory) || !files::is_directory(newDirectory))
        return false;
    fs::path target = fs::path(newDirectory) / convertedDirectoryName;
    std::string description;
    if (!makeFolder(target, description)) {
        logFailure("createDirectoryAtPath", convertedDirectoryName, description);
        return false;
    }
    convertOldDirPath(oldDirectory, target.string(), oldExtension, newExtension, engine, what);
    return true;
}

void PresetFileConverter::convertOldDirPath(std::string const& oldDirectory, std::string const& targetDirectory,
                                            std::string const& oldExtension, std::string const& newExtension,
                                            Lumora::iAudioEngine* engine, Lumora::SerializeWhat what) {
    // Names in byte order, so that the engine ends with the same document on every machine.
    std::vector<std::string> names;
    boost::system::error_code error;
    for (fs::directory_iterator it(oldDirectory, error), end; !error && it != end; it.increment(error))
        names.push_back(it->path().filename().string());
    std::sort(names.begin(), names.end());

    for (std::string const& name : names) {
        fs::path item = fs::path(oldDirectory) / name;
        boost::system::error_code statusError;
        // The item itself, not what a link points to: links are skipped, so no walk can loop.
        fs::file_status status = fs::symlink_status(item, statusError);
        if (statusError)
            continue;
        if (fs::is_regular_file(status)) {
            if (!name.ends_with(oldExtension))
                continue;
            std::string newName = fs::path(name).stem().string() + "." + newExtension;
            convertOldFilePath(item.string(), (fs::path(targetDirectory) / newName).string(), engine, what);
        } else if (fs::is_directory(status)) {
            fs::path subTarget = fs::path(targetDirectory) / name;
            std::string description;
            if (!makeFolder(subTarget, description))
                logFailure("createDirectoryAtPath", subTarget.string(), description);
            convertOldDirPath(item.string(), subTarget.string(), oldExtension, newExtension, engine, what);
        }
    }
}

void PresetFileConverter::convertOldFilePath(std::string const& oldFile, std::string const& newFile,
                                             Lumora::iAudioEngine* engine, Lumora::SerializeWhat what) {
    if (engine == nullptr)
        return;
    std::string text;
    std::string description;
    if (!readFile(oldFile, text, description)) {
        logFailure("stringWithContentsOfFile", oldFile, description);
        return;
    }
    // An old file that is not text would reach the engine as noise; it is left alone.
    if (!isValidUtf8(text)) {
        logFailure("stringWithContentsOfFile", oldFile, "The file is not UTF-8 text.");
        return;
    }
    std::string converted = convertContentText(text, engine, what, Lumora::SerializeWhere::Document);
    // Nothing of the old text could be read (an empty body): writing the engine's text would
    // make a document of whatever the engine held before, under this file's name.
    if (converted.empty()) {
        logFailure("convertContentText", oldFile, "The engine could not read the text.");
        return;
    }
    if (!writeFileAtomically(newFile, converted, description))
        logFailure("writeToFile", newFile, description);
}

std::string PresetFileConverter::convertContentText(std::string const& text, Lumora::iAudioEngine* engine,
                                                    Lumora::SerializeWhat what, Lumora::SerializeWhere where) {
    if (!engine->deserialize(what, text, where))
        return {};
    return engine->serialize(what, where);
}
