#pragma once

#include "platform/foundation/PropertyList.h"

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace Platform {

// A persistent key-value store, one file per suite. Every write goes to the file at once, through
// a temporary file renamed over the old one, under an advisory lock on a companion lock file, so
// that two programs sharing a suite never lose each other's keys and a crash never leaves half a
// file. Reads notice a file that another program replaced and load it again, so a value written
// by one program is what the other reads next. Registered defaults are answered for keys that
// were never stored; they are not written.
//
// Every set or removal posts didChangeNotification (object: this store) on the calling thread,
// after the store's own lock is released. All operations may be called from any thread.
//
// A damaged file never stops the store: unreadable lines are skipped (and logged), the others
// are kept, and the next write rewrites the file cleanly.
class UserDefaults {
public:
    static constexpr char const* didChangeNotification = "UserDefaultsDidChangeNotification";
    static constexpr char const* fileExtension = ".defaults";

    // The program's own defaults (suite: the main bundle's identifier, or "Corvane").
    static std::shared_ptr<UserDefaults> standard();
    // The defaults of a suite, an application group's ("group." ...) or any other: its file lies in
    // the config home (Containers::preferences()), named after the suite. The store of a
    // suite, with the defaults registered with it, stays for the life of the process.
    static std::shared_ptr<UserDefaults> forSuite(std::string const& suiteName);
    // The store of one file; every caller in the process gets the same store while one lives.
    static std::shared_ptr<UserDefaults> atPath(std::string const& filePath);

    // A store of its own over the file, as another program would open it.
    explicit UserDefaults(std::string filePath);
    UserDefaults(UserDefaults const&) = delete;
    UserDefaults& operator=(UserDefaults const&) = delete;

    std::string const& filePath() const { return filePath_; }

    void registerDefaults(Dictionary const& defaults);

    std::optional<Value> objectForKey(std::string_view key);
    bool boolForKey(std::string_view key);
    std::int64_t integerForKey(std::string_view key);
    float floatForKey(std::string_view key);
    double doubleForKey(std::string_view key);
    std::optional<std::string> stringForKey(std::string_view key);   // strings and numbers
    std::optional<Array> arrayForKey(std::string_view key);
    std::optional<Data> dataForKey(std::string_view key);
    std::optional<Dictionary> dictionaryForKey(std::string_view key);
    // Stored values over the registered defaults.
    Dictionary dictionaryRepresentation();

    void setObject(std::string_view key, Value value);
    void setBool(std::string_view key, bool value) { setObject(key, Value(value)); }
    void setInteger(std::string_view key, std::int64_t value) { setObject(key, Value(value)); }
    void setFloat(std::string_view key, float value) { setObject(key, Value(value)); }
    void setDouble(std::string_view key, double value) { setObject(key, Value(value)); }
    void removeObjectForKey(std::string_view key);

    // Writes what an earlier write could not store and loads what other programs stored; false
    // while a change of this store is not on disk.
    bool synchronize();

private:
    struct FileStamp {
        bool exists = false;
        unsigned long long device = 0, inode = 0, size = 0;
        long long modified = 0, changed = 0;
        bool operator==(FileStamp const&) const = default;
    };

    void change(std::string_view key, std::optional<Value> value);
    void refreshLocked();
    bool persistLocked();
    bool writeFileLocked(std::string const& text);
    void applyPendingLocked();
    static FileStamp stampOf(std::string const& path);

    std::string const filePath_;
    std::mutex lock_;
    Dictionary stored_;     // the file's entries with this store's unsaved changes applied
    Dictionary registered_;
    std::map<std::string, std::optional<Value>, std::less<>> pending_;   // not yet on disk
    FileStamp loadedStamp_;
    bool loaded_ = false;
};

} // namespace Platform
