#include "platform/foundation/UserDefaults.h"

#include "platform/foundation/Bundle.h"
#include "platform/foundation/Containers.h"
#include "platform/foundation/FileLock.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/NotificationCenter.h"

#include <boost/filesystem/operations.hpp>
#include <boost/filesystem/path.hpp>
#include <boost/system/error_code.hpp>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

namespace {

constexpr char const* kHeader = "Corvane user defaults: one key per line";

std::string normalized(std::string const& path) {
    boost::system::error_code error;
    auto absolute = boost::filesystem::absolute(path, boost::filesystem::current_path(error));
    return absolute.lexically_normal().string();
}

void ensureParentFolder(std::string const& path) {
    boost::system::error_code error;
    auto parent = boost::filesystem::path(path).parent_path();
    if (!parent.empty())
        boost::filesystem::create_directories(parent, error);
}

// Closes a descriptor (and drops its lock) on every way out.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Descriptor(Descriptor const&) = delete;
    Descriptor& operator=(Descriptor const&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

private:
    int fd_;
};

bool writeAll(int fd, std::string const& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool readAll(int fd, std::string& text) {
    char buffer[8192];
    while (true) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return true;
        text.append(buffer, static_cast<std::size_t>(n));
    }
}

} // namespace

std::shared_ptr<UserDefaults> UserDefaults::standard() {
    std::string suite = Bundle::main()->bundleIdentifier().value_or("Corvane");
    return forSuite(suite);
}

std::shared_ptr<UserDefaults> UserDefaults::forSuite(std::string const& suiteName) {
    std::string name = suiteName.empty() ? "Corvane" : suiteName;
    for (char& c : name) {
        if (c == '/' || c == '\0')
            c = '-';
    }
    // Group suites too: the settings the app and the plug-in share are settings, kept with the
    // program's own in the config home, and their suite names keep the files apart.
    auto store = atPath(Containers::preferences() + "/" + name + fileExtension);

    // A suite's store lives as long as the process, as the platform's shared defaults objects do:
    // the defaults registered with it must still answer when the next caller asks for the suite.
    static std::mutex lock;
    static std::map<std::string, std::shared_ptr<UserDefaults>> kept;
    std::lock_guard<std::mutex> guard(lock);
    kept[store->filePath()] = store;
    return store;
}

std::shared_ptr<UserDefaults> UserDefaults::atPath(std::string const& filePath) {
    static std::mutex lock;
    static std::map<std::string, std::weak_ptr<UserDefaults>> stores;
    std::string key = normalized(filePath);
    std::lock_guard<std::mutex> guard(lock);
    if (auto existing = stores[key].lock())
        return existing;
    auto store = std::make_shared<UserDefaults>(key);
    stores[key] = store;
    return store;
}

UserDefaults::UserDefaults(std::string filePath) : filePath_(std::move(filePath)) {
    ensureParentFolder(filePath_);
}

UserDefaults::FileStamp UserDefaults::stampOf(std::string const& path) {
    struct stat info {};
    FileStamp stamp;
    if (::stat(path.c_str(), &info) != 0)
        return stamp;
    stamp.exists = true;
    stamp.device = info.st_dev;
    stamp.inode = info.st_ino;
    stamp.size = static_cast<unsigned long long>(info.st_size);
    stamp.modified = static_cast<long long>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec;
    stamp.changed = static_cast<long long>(info.st_ctim.tv_sec) * 1000000000LL + info.st_ctim.tv_nsec;
    return stamp;
}

void UserDefaults::applyPendingLocked() {
    for (auto const& [key, value] : pending_) {
        if (value)
            stored_.insert_or_assign(key, *value);
        else if (auto found = stored_.find(key); found != stored_.end())
            stored_.erase(found);
    }
}

// Loads the file again when another program (or another store object) replaced it. Every write
// replaces the file by a rename, so a changed file shows a new inode as well as new times.
void UserDefaults::refreshLocked() {
    FileStamp now = stampOf(filePath_);
    if (loaded_ && now == loadedStamp_)
        return;

    Dictionary entries;
    std::size_t unreadable = 0;
    bool readFailed = false;
    if (now.exists) {
        Descriptor fd(::open(filePath_.c_str(), O_RDONLY | O_CLOEXEC));
        std::string text;
        if (fd.get() < 0 || !readAll(fd.get(), text)) {
            readFailed = true;
        } else {
            // Stamp what was read, not what was statted before: a rename in between is seen next time.
            struct stat info {};
            if (::fstat(fd.get(), &info) == 0 && info.st_ino != now.inode)
                now = FileStamp{};
            auto read = PropertyListText::readDictionary(text);
            entries = std::move(read.entries);
            unreadable = read.unreadableLines;
        }
    }
    if (readFailed) {
        // Keep what we know rather than answering defaults for everything; try again next time.
        log("ERROR: UserDefaults read(" + filePath_ + ") " + std::strerror(errno));
        loaded_ = false;
        return;
    }
    if (unreadable > 0)
        log("ERROR: UserDefaults(" + filePath_ + ") skipped " + std::to_string(unreadable) + " unreadable lines");
    stored_ = std::move(entries);
    applyPendingLocked();
    loadedStamp_ = now;
    loaded_ = true;
}

bool UserDefaults::writeFileLocked(std::string const& text) {
    static std::atomic<unsigned> counter{0};
    std::string temporary =
        filePath_ + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(counter.fetch_add(1));
    Descriptor fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    if (fd.get() < 0)
        return false;
    bool ok = writeAll(fd.get(), text) && ::fsync(fd.get()) == 0;
    int savedErrno = errno;
    ok = ::close(fd.release()) == 0 && ok;
    if (ok && ::rename(temporary.c_str(), filePath_.c_str()) == 0)
        return true;
    savedErrno = errno ? errno : savedErrno;
    ::unlink(temporary.c_str());
    errno = savedErrno;
    return false;
}

// Stores the unsaved changes: under the cross-program lock, load what the others wrote, apply ours
// on top and replace the file.
bool UserDefaults::persistLocked() {
    if (pending_.empty())
        return true;
    ensureParentFolder(filePath_);
    std::string lockPath = filePath_ + ".lock";
    Descriptor lockFile(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (lockFile.get() < 0 || !FileLock::lockExclusive(lockFile.get())) {
        log("ERROR: UserDefaults lock(" + lockPath + ") " + std::strerror(errno));
        return false;
    }
    // Loading what the others wrote puts the unsaved changes back on top of it.
    refreshLocked();
    bool written = writeFileLocked(PropertyListText::writeDictionary(stored_, kHeader));
    if (!written) {
        log("ERROR: UserDefaults write(" + filePath_ + ") " + std::strerror(errno));
    } else {
        pending_.clear();
        loadedStamp_ = stampOf(filePath_);
        loaded_ = true;
    }
    FileLock::unlock(lockFile.get());
    return written;
}

void UserDefaults::change(std::string_view key, std::optional<Value> value) {
    {
        std::lock_guard<std::mutex> guard(lock_);
        pending_.insert_or_assign(std::string(key), std::move(value));
        applyPendingLocked();
        persistLocked();
    }
    NotificationCenter::defaultCenter().post(didChangeNotification, this);
}

void UserDefaults::setObject(std::string_view key, Value value) {
    change(key, std::move(value));
}

void UserDefaults::removeObjectForKey(std::string_view key) {
    change(key, std::nullopt);
}

bool UserDefaults::synchronize() {
    std::lock_guard<std::mutex> guard(lock_);
    bool written = persistLocked();
    refreshLocked();
    return written;
}

void UserDefaults::registerDefaults(Dictionary const& defaults) {
    std::lock_guard<std::mutex> guard(lock_);
    for (auto const& [key, value] : defaults)
        registered_.insert_or_assign(key, value);
}

std::optional<Value> UserDefaults::objectForKey(std::string_view key) {
    std::lock_guard<std::mutex> guard(lock_);
    refreshLocked();
    if (auto found = stored_.find(key); found != stored_.end())
        return found->second;
    if (auto found = registered_.find(key); found != registered_.end())
        return found->second;
    return std::nullopt;
}

bool UserDefaults::boolForKey(std::string_view key) {
    auto value = objectForKey(key);
    return value && value->boolValue();
}

std::int64_t UserDefaults::integerForKey(std::string_view key) {
    auto value = objectForKey(key);
    return value ? value->integerValue() : 0;
}

float UserDefaults::floatForKey(std::string_view key) {
    double value = doubleForKey(key);
    // Out of the float range is out of any use; keep the sign rather than wrapping into garbage.
    if (std::isfinite(value) && std::fabs(value) > std::numeric_limits<float>::max())
        return value > 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

double UserDefaults::doubleForKey(std::string_view key) {
    auto value = objectForKey(key);
    return value ? value->doubleValue() : 0.0;
}

std::optional<std::string> UserDefaults::stringForKey(std::string_view key) {
    auto value = objectForKey(key);
    return value ? value->stringValue() : std::nullopt;
}

std::optional<Array> UserDefaults::arrayForKey(std::string_view key) {
    auto value = objectForKey(key);
    if (!value || !value->array())
        return std::nullopt;
    return *value->array();
}

std::optional<Data> UserDefaults::dataForKey(std::string_view key) {
    auto value = objectForKey(key);
    if (!value || !value->data())
        return std::nullopt;
    return *value->data();
}

std::optional<Dictionary> UserDefaults::dictionaryForKey(std::string_view key) {
    auto value = objectForKey(key);
    if (!value || !value->dictionary())
        return std::nullopt;
    return *value->dictionary();
}

Dictionary UserDefaults::dictionaryRepresentation() {
    std::lock_guard<std::mutex> guard(lock_);
    refreshLocked();
    Dictionary all = registered_;
    for (auto const& [key, value] : stored_)
        all.insert_or_assign(key, value);
    return all;
}

} // namespace Platform
