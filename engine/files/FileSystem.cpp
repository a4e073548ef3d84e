#include "engine/files/FileSystem.h"

#include "platform/foundation/FileLock.h"
#include "platform/foundation/TemporaryDirectory.h"

#include <boost/filesystem/operations.hpp>
#include <boost/system/error_code.hpp>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Lumora::filesystem {

namespace bfs = boost::filesystem;
using boost::system::error_code;

namespace {

void printLine(std::string const& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
}

// Something is there, even a link that leads nowhere: a destination that must not exist yet.
bool occupied(Path const& path) {
    error_code ec;
    return bfs::symlink_status(path, ec).type() != bfs::file_not_found && !ec;
}

bool writeAll(int descriptor, char const* bytes, size_t length) {
    off_t offset = 0;
    while (static_cast<size_t>(offset) < length) {
        ssize_t written = ::pwrite(descriptor, bytes + offset, length - static_cast<size_t>(offset), offset);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        offset += written;
    }
    return true;
}

// Copies into a destination that does not exist yet; a partial copy is removed again.
bool copyItem(Path const& source, Path const& destination, error_code& ec) {
    if (occupied(destination)) {
        ec = error_code(EEXIST, boost::system::generic_category());
        return false;
    }
    bfs::file_status status = bfs::symlink_status(source, ec);
    if (ec)
        return false;
    if (status.type() == bfs::file_not_found) {
        ec = error_code(ENOENT, boost::system::generic_category());
        return false;
    }
    bfs::copy(source, destination, bfs::copy_options::recursive | bfs::copy_options::copy_symlinks, ec);
    if (ec) {
        error_code ignored;
        bfs::remove_all(destination, ignored);
        return false;
    }
    return true;
}

} // namespace

std::string trimLastSlash(std::string const& path) {
    if (!path.empty() && path.back() == '/')
        return path.substr(0, path.size() - 1);
    return path;
}

std::string trimHeadDot(std::string const& text) {
    if (!text.empty() && text.front() == '.')
        return text.substr(1);
    return text;
}

std::string temporaryPath() {
    return trimLastSlash(Platform::temporaryDirectory());
}

bool exists(Path const& path) {
    error_code ec;
    return bfs::exists(path, ec) && !ec;
}

bool is_regular_file(Path const& path) {
    error_code ec;
    bfs::file_status status = bfs::status(path, ec);
    return !ec && bfs::exists(status) && !bfs::is_directory(status);
}

bool is_directory(Path const& path) {
    error_code ec;
    return bfs::is_directory(path, ec) && !ec;
}

bool rename(Path const& source, Path const& destination) {
    error_code ec;
    if (occupied(destination)) {
        ec = error_code(EEXIST, boost::system::generic_category());
    } else {
        bfs::rename(source, destination, ec);
        // Another file system: move by copying, and delete the source only once the copy is whole.
        if (ec && ec.value() == EXDEV) {
            ec.clear();
            if (copyItem(source, destination, ec))
                bfs::remove_all(source, ec);
        }
    }
    if (!ec)
        return true;
    printLine("moveItemAtPath:" + source.string() + " -> " + destination.string() + " : " + ec.message());
    return false;
}

bool createDirectory(Path const& path, bool withIntermediateDirectories) {
    error_code ec;
    if (withIntermediateDirectories) {
        bfs::create_directories(path, ec);
        if (!ec && !filesystem::is_directory(path))
            ec = error_code(EEXIST, boost::system::generic_category());
    } else if (occupied(path)) {
        ec = error_code(EEXIST, boost::system::generic_category());
    } else {
        bfs::create_directory(path, ec);
    }
    if (!ec)
        return true;
    printLine("createDirectory:" + path.string() + " : " + ec.message());
    return false;
}

bool createDirectory(Path const& path) {
    return createDirectory(path, false);
}

bool removeDirectory(Path const& path) {
    error_code ec;
    if (!occupied(path))
        ec = error_code(ENOENT, boost::system::generic_category());
    else
        bfs::remove_all(path, ec);
    if (!ec)
        return true;
    printLine("removeDirectory: " + path.string() + " " + ec.message());
    return false;
}

bool copyFile(Path const& source, Path const& destination) {
    error_code ec;
    if (copyItem(source, destination, ec))
        return true;
    printLine("copyFile: " + source.string() + " -> " + destination.string() + " " + ec.message());
    return false;
}

bool copyDirectory(Path const& source, Path const& destination) {
    return copyFile(source, destination);
}

std::vector<std::string> fileList(Path const& directory, std::string const& extension) {
    std::string filter;
    if (!extension.empty() && extension != ".")
        filter = extension.front() == '.' ? extension : "." + extension;

    error_code ec;
    std::vector<std::string> names;
    bfs::directory_iterator it(directory, ec);
    for (; !ec && it != bfs::directory_iterator(); it.increment(ec))
        names.push_back(it->path().filename().string());
    if (ec) {
        printLine("fileList: " + directory.string() + " " + ec.message());
        return {};
    }
    std::sort(names.begin(), names.end());

    std::vector<std::string> directories;
    std::vector<std::string> files;
    for (std::string const& name : names) {
        if (!filter.empty()
            && (name.size() < filter.size() || name.compare(name.size() - filter.size(), filter.size(), filter) != 0))
            continue;
        Path full = directory / name;
        if (filesystem::is_directory(full))
            directories.push_back(full.string());
        else if (filesystem::is_regular_file(full))
            files.push_back(full.string());
    }
    directories.insert(directories.end(), files.begin(), files.end());
    return directories;
}

bool isEmptyDirectory(Path const& path) {
    error_code ec;
    bfs::directory_iterator it(path, ec);
    if (ec) {
        printLine("isEmptyDirectory: " + path.string() + " " + ec.message());
        return false;
    }
    return it == bfs::directory_iterator();
}

bool isDescendant(Path const& a, Path const& b) {
    Path relative = bfs::relative(a, b);
    // Compared by component: an entry whose name merely begins with two dots is still inside.
    return relative.empty() || *relative.begin() != "..";
}

bool isParent(Path const& a, Path const& b) {
    return bfs::relative(a, b) == "..";
}

std::pair<bool, std::string> readTextFromFile(Path const& path, bool lock) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        std::fprintf(stderr, "ERROR! : readTextFromFile(%s) fopen faild.", path.c_str());
        return {false, ""};
    }
    if (lock && !Platform::FileLock::lockExclusive(::fileno(file))) {
        std::fclose(file);
        return {false, ""};
    }
    std::string text;
    char buffer[16384];
    size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, count);
    bool readFailed = std::ferror(file) != 0;
    if (lock)
        Platform::FileLock::unlock(::fileno(file));
    std::fclose(file);
    if (readFailed)
        return {false, ""};
    return {true, text};
}

bool writeTextToFile(Path const& path, std::string const& text, bool lock) {
    // The file is opened without emptying it: its content may only change under the lock, and
    // only once the new text has been written.
    // Whether this write made the file: a failed first save must not leave an empty document.
    bool created = true;
    int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0 && errno == EEXIST) {
        created = false;
        descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    }
    if (descriptor < 0)
        return false;
    if (lock && !Platform::FileLock::lockExclusive(descriptor)) {
        ::close(descriptor);
        if (created)
            ::unlink(path.c_str());
        return false;
    }

    size_t const length = std::strlen(text.c_str());
    struct stat before {};
    bool ok = ::fstat(descriptor, &before) == 0;
    if (ok && length > 0) {
        // Reserving the space first turns a full disk into a failure before any byte changes.
        int reserved = ::posix_fallocate(descriptor, 0, static_cast<off_t>(length));
        if (reserved == ENOSPC || reserved == EDQUOT || reserved == EFBIG) {
            if (::ftruncate(descriptor, before.st_size) != 0) {
                // The former length could not be restored; the old bytes are still there.
            }
            ok = false;
        }
    }
    ok = ok && writeAll(descriptor, text.c_str(), length);
    ok = ok && ::ftruncate(descriptor, static_cast<off_t>(length)) == 0;
    ok = ok && ::fdatasync(descriptor) == 0;
    if (!ok && created)
        ::unlink(path.c_str());
    if (lock)
        Platform::FileLock::unlock(descriptor);
    if (::close(descriptor) != 0 && ok) {
        ok = false;
        if (created)
            ::unlink(path.c_str());
    }
    return ok;
}

} // namespace Lumora::filesystem
