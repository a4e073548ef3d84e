#include "engine/zip/ZqZipArchive.h"

#include "platform/foundation/Log.h"

#include <boost/filesystem.hpp>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <iconv.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace bfs = boost::filesystem;
using boost::system::error_code;

namespace {

constexpr size_t PackBufferSize = 16384;
constexpr size_t UnpackBufferSize = 4096;
constexpr unsigned long VersionMadeBy = 0x1300;
constexpr int ErrorCrc = -105;

Platform::Error zipError(int code, std::string description) {
    return Platform::Error(ZqZipArchive::ErrorDomain, code, std::move(description));
}

void zqLog(std::string const& text) {
    Platform::log("[ZqZipArchive] " + text);
}

// Converts bytes from a character set to UTF-8; false when the bytes are not valid in it.
bool convertToUtf8(char const* bytes, size_t size, char const* charset, std::string& out) {
    iconv_t converter = ::iconv_open("UTF-8", charset);
    if (converter == reinterpret_cast<iconv_t>(-1))
        return false;
    std::string result(size * 4 + 4, '\0');
    char* in = const_cast<char*>(bytes);
    size_t inLeft = size;
    char* outPtr = result.data();
    size_t outLeft = result.size();
    bool ok = ::iconv(converter, &in, &inLeft, &outPtr, &outLeft) != static_cast<size_t>(-1) && inLeft == 0;
    ::iconv_close(converter);
    if (!ok)
        return false;
    result.resize(result.size() - outLeft);
    out = std::move(result);
    return true;
}

bool isDirectoryEntryName(std::string const& raw) {
    return !raw.empty() && (raw.back() == '/' || raw.back() == '\\');
}

bool isSymbolicLink(unz_file_info const& info) {
    return (info.version >> 8) == 3 && ((info.external_fa >> 16) & 0170000) == 0120000;
}

bool hasZipExtension(bfs::path const& path) {
    std::string extension = path.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return std::tolower(c); });
    return extension == ".zip";
}

// Reads the raw name of the current entry.
bool currentEntryName(unzFile archive, unz_file_info& info, std::string& raw) {
    if (unzGetCurrentFileInfo(archive, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
        return false;
    raw.assign(info.size_filename + 1, '\0');
    if (unzGetCurrentFileInfo(archive, &info, raw.data(), info.size_filename + 1, nullptr, 0, nullptr, 0) != UNZ_OK)
        return false;
    raw.resize(std::strlen(raw.c_str()));
    return true;
}

bool skippedName(std::string const& name) {
    return name.rfind("__MACOSX/", 0) == 0;
}

// Writes an entry's content to a new file beside the target and moves it over the target only
// when complete and its checksum holds, so a failed or damaged entry never replaces a document.
// The entry is closed here, whatever the result, since its checksum is known only on closing.
enum class WriteResult { Written, Skipped, Failed, ChecksumFailed };

WriteResult writeEntryContent(unzFile archive, bfs::path const& fullPath, std::string& temporary,
                              Platform::Error& kept) {
    std::vector<char> buffer(UnpackBufferSize);
    int count = unzReadCurrentFile(archive, buffer.data(), static_cast<unsigned>(buffer.size()));
    if (count < 0)
        return WriteResult::Failed;

    temporary = fullPath.string() + ".zqpart-XXXXXX";
    int descriptor = ::mkstemp(temporary.data());
    if (descriptor < 0) {
        temporary.clear();
        int number = errno;
        if (number == EISDIR)
            return WriteResult::Skipped;
        Platform::Error error = Platform::Error::fromErrno(number);
        zqLog("Failed to open file on unzipping.(" + error.localizedDescription() + ")");
        if (number == EMFILE || number == ENOSPC) {
            kept = error;
            return WriteResult::Failed;
        }
        return WriteResult::Skipped;
    }
    std::FILE* file = ::fdopen(descriptor, "wb");
    bool ok = file != nullptr;
    while (ok && count > 0) {
        if (std::fwrite(buffer.data(), 1, static_cast<size_t>(count), file) != static_cast<size_t>(count)) {
            zqLog("Failed to write file (check your free space)");
            kept = zipError(-5, "Failed to write file (check your free space)");
            ok = false;
            break;
        }
        count = unzReadCurrentFile(archive, buffer.data(), static_cast<unsigned>(buffer.size()));
        if (count < 0)
            ok = false;
    }
    if (file) {
        if (std::fclose(file) != 0 && ok) {
            kept = zipError(-5, "Failed to write file (check your free space)");
            ok = false;
        }
    } else {
        ::close(descriptor);
    }
    return ok ? WriteResult::Written : WriteResult::Failed;
}

WriteResult writeEntryToFile(unzFile archive, bfs::path const& fullPath, Platform::Error& kept) {
    std::string temporary;
    WriteResult result = writeEntryContent(archive, fullPath, temporary, kept);
    if (unzCloseCurrentFile(archive) == ErrorCrc && result == WriteResult::Written)
        result = WriteResult::ChecksumFailed;
    if (result != WriteResult::Written) {
        if (!temporary.empty())
            ::unlink(temporary.c_str());
        return result;
    }
    ::chmod(temporary.c_str(), 0644);
    if (::rename(temporary.c_str(), fullPath.c_str()) != 0) {
        int number = errno;
        ::unlink(temporary.c_str());
        // A folder already stands where the file would go: the file is left out.
        if (number == EISDIR)
            return WriteResult::Skipped;
        kept = Platform::Error::fromErrno(number);
        return WriteResult::Failed;
    }
    return WriteResult::Written;
}

// What is wrong with an entry's cleaned name for this file system, or nothing.
std::string nameProblem(std::string const& cleaned, bfs::path const& destination) {
    for (bfs::path const& component : bfs::path(cleaned))
        if (component.string().size() > NAME_MAX)
            return "a name in it is longer than " + std::to_string(NAME_MAX) + " bytes";
    if ((destination / cleaned).string().size() >= PATH_MAX)
        return "its path is longer than " + std::to_string(PATH_MAX - 1) + " bytes";
    return {};
}

// Makes the folders of an entry one by one below the destination, following no link: a link or a
// file standing where a folder should be refuses the entry before anything is created through it.
std::string makeFoldersWithoutLinks(bfs::path const& destination, bfs::path const& relative) {
    bfs::path current = destination;
    for (bfs::path const& component : relative) {
        current /= component;
        error_code ec;
        bfs::file_status const status = bfs::symlink_status(current, ec);
        if (status.type() == bfs::file_not_found) {
            if (::mkdir(current.c_str(), 0755) != 0 && errno != EEXIST)
                return std::string("could not make the folder: ") + std::strerror(errno);
            continue;
        }
        if (ec)
            return "could not read the folder: " + ec.message();
        if (status.type() == bfs::symlink_file)
            return "it leads through a symbolic link";
        if (status.type() != bfs::directory_file)
            return "a file stands where its folder should be";
    }
    return {};
}

// The permissions an unpacked file gets: the owner may always read and write it, nobody else may
// write it, and set-id and sticky bits never come from an archive.
mode_t ordinaryMode(unsigned long externalAttributes) {
    return (static_cast<mode_t>((externalAttributes >> 16) & 0777) | 0600) & ~static_cast<mode_t>(022);
}

bool isArchiveWithoutEntries(std::string const& path) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    unsigned char record[22];
    if (!file || std::fread(record, 1, sizeof record, file.get()) != sizeof record)
        return false;
    unsigned const commentLength = record[20] | (record[21] << 8);
    error_code ec;
    return std::memcmp(record, "PK\x05\x06", 4) == 0 && record[8] == 0 && record[9] == 0 && record[10] == 0
           && record[11] == 0 && bfs::file_size(path, ec) == sizeof record + commentLength && !ec;
}

bool setModificationDate(bfs::path const& path, std::time_t date) {
    error_code ec;
    bfs::last_write_time(path, date, ec);
    return !ec;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Unzipping

bool ZqZipArchive::unzipFileAtPath(std::string const& path, std::string const& destination) {
    return unzipFileAtPath(path, destination, static_cast<Delegate*>(nullptr));
}

bool ZqZipArchive::unzipFileAtPath(std::string const& path, std::string const& destination, Delegate* delegate) {
    return unzipFileAtPath(path, destination, true, true, 0, {}, nullptr, delegate, {}, {});
}

bool ZqZipArchive::unzipFileAtPath(std::string const& path, std::string const& destination, bool overwrite,
                                   std::string const& password, Platform::Error* error, Delegate* delegate) {
    return unzipFileAtPath(path, destination, true, overwrite, 0, password, error, delegate, {}, {});
}

bool ZqZipArchive::unzipFileAtPath(std::string const& path, std::string const& destination, bool overwrite,
                                   std::string const& password, ProgressHandler progress,
                                   CompletionHandler completion) {
    return unzipFileAtPath(path, destination, true, overwrite, 0, password, nullptr, nullptr, std::move(progress),
                           std::move(completion));
}

bool ZqZipArchive::unzipFileAtPath(std::string const& path, std::string const& destination,
                                   ProgressHandler progress, CompletionHandler completion) {
    return unzipFileAtPath(path, destination, true, true, 0, {}, nullptr, nullptr, std::move(progress),
                           std::move(completion));
}

bool ZqZipArchive::unzipFileAtPath(std::string const& path, std::string const& destination, bool preserveAttributes,
                                   bool overwrite, int nestedZipLevel, std::string const& password,
                                   Platform::Error* error, Delegate* delegate, ProgressHandler progress,
                                   CompletionHandler completion) {
    auto fail = [&](Platform::Error const& failure) {
        if (error)
            *error = failure;
        if (completion)
            completion(nullptr, false, &failure);
        return false;
    };
    if (path.empty() || destination.empty())
        return fail(zipError(-6, "received invalid argument(s)"));

    unzFile archive = unzOpen(path.c_str());
    if (!archive && isArchiveWithoutEntries(path)) {
        if (completion)
            completion(&path, true, nullptr);
        return true;
    }
    if (!archive)
        return fail(zipError(-1, "failed to open zip file"));

    error_code ec;
    unsigned long long const archiveSize = bfs::file_size(path, ec);
    unz_global_info globalInfo{};
    if (unzGetGlobalInfo(archive, &globalInfo) != UNZ_OK) {
        unzClose(archive);
        return fail(zipError(-2, "failed to open first file in zip file"));
    }
    if (globalInfo.number_entry == 0) {
        unzClose(archive);
        if (completion)
            completion(&path, true, nullptr);
        return true;
    }
    int result = unzGoToFirstFile(archive);
    if (result != UNZ_OK && result != UNZ_END_OF_LIST_OF_FILE) {
        unzClose(archive);
        return fail(zipError(-2, "failed to open first file in zip file"));
    }

    // The entries' declared sizes bound what minizip hands out, so they decide before anything
    // is written whether the pack fits: within the limit and in the free space of the destination.
    unsigned long long const payload = payloadSizeForArchiveAtPath(path, nullptr);
    if (payload > MaximumUnpackedBytes) {
        unzClose(archive);
        return fail(zipError(-5, "refused pack: it would unpack to " + std::to_string(payload) + " bytes, more than the "
                                     + std::to_string(MaximumUnpackedBytes) + " a pack of documents may hold"));
    }
    bfs::path spaceProbe = destination;
    while (!spaceProbe.empty() && !bfs::exists(spaceProbe, ec))
        spaceProbe = spaceProbe.parent_path();
    bfs::space_info const space = bfs::space(spaceProbe.empty() ? bfs::path(".") : spaceProbe, ec);
    if (!ec && payload > space.available) {
        unzClose(archive);
        return fail(zipError(-5, "Failed to write file (check your free space): the pack needs "
                                     + std::to_string(payload) + " bytes"));
    }

    if (delegate) {
        delegate->zipArchiveWillUnzipArchiveAtPath(path, globalInfo);
        delegate->zipArchiveProgressEvent(0, archiveSize);
    }

    bfs::create_directories(destination, ec);

    bool success = true;
    bool canceled = false;
    bool crcFailed = false;
    bool refusedAny = false;
    Platform::Error kept;
    std::vector<std::pair<std::string, std::time_t>> directoryDates;
    unsigned long long loaded = 0;
    long const total = static_cast<long>(globalInfo.number_entry);
    long index = 0;

    while (result == UNZ_OK) {
        int opened = password.empty() ? unzOpenCurrentFile(archive)
                                      : unzOpenCurrentFilePassword(archive, password.c_str());
        if (opened != UNZ_OK) {
            kept = zipError(-2, "failed to open file in zip file");
            success = false;
            break;
        }
        unz_file_info info{};
        std::string raw;
        if (!currentEntryName(archive, info, raw)) {
            kept = zipError(-3, "failed to retrieve info for file");
            success = false;
            unzCloseCurrentFile(archive);
            break;
        }
        if (delegate) {
            if (!delegate->zipArchiveShouldUnzipFileAtIndex(index, total, path, info)) {
                success = false;
                canceled = true;
                unzCloseCurrentFile(archive);
                break;
            }
            delegate->zipArchiveWillUnzipFileAtIndex(index, total, path, info);
            loaded += info.compressed_size;
            delegate->zipArchiveProgressEvent(loaded, archiveSize);
        }

        bool const symbolicLink = isSymbolicLink(info);
        std::string const name = filenameStringWithCString(raw.c_str(), info.version, info.flag, raw.size());
        auto next = [&] {
            unzCloseCurrentFile(archive);
            result = unzGoToNextFile(archive);
            ++index;
        };
        if (skippedName(name)) {
            next();
            continue;
        }
        bool const directoryEntry = isDirectoryEntryName(raw);
        std::string cleaned = sanitizedPath(name);
        if (cleaned.empty())
            cleaned = std::to_string(index);
        bfs::path const fullPath = bfs::path(destination) / cleaned;

        // An entry that can't be placed safely is left out and reported; the rest still unpack.
        auto refuse = [&](std::string const& why) {
            zqLog("Refused entry \"" + name + "\": " + why);
            if (!kept)
                kept = zipError(-7, "refused entry \"" + name + "\": " + why);
            refusedAny = true;
            next();
        };
        // Packs this program writes hold no links; a link in a pack could only lead somewhere else.
        if (symbolicLink) {
            refuse("symbolic links are not unpacked");
            continue;
        }
        if (std::string const problem = nameProblem(cleaned, destination); !problem.empty()) {
            refuse(problem);
            continue;
        }

        std::time_t const date = dateWithMSDOSFormat(static_cast<std::uint32_t>(info.dosDate));
        if (preserveAttributes)
            directoryDates.emplace_back(fullPath.string(), date);

        bfs::path const relativeFolder = directoryEntry ? bfs::path(cleaned) : bfs::path(cleaned).parent_path();
        errno = 0;
        if (std::string const problem = makeFoldersWithoutLinks(destination, relativeFolder); !problem.empty()) {
            if (errno == ENOSPC) {
                kept = Platform::Error::fromErrno(ENOSPC);
                success = false;
                unzCloseCurrentFile(archive);
                break;
            }
            refuse(problem);
            continue;
        }

        error_code statusError;
        bfs::file_status const itemStatus = bfs::symlink_status(fullPath, statusError);
        bool const itemExists = itemStatus.type() != bfs::file_not_found && !statusError;
        if (!directoryEntry && itemStatus.type() == bfs::symlink_file) {
            refuse("a symbolic link stands in its place");
            continue;
        }
        if (itemExists && !directoryEntry && !overwrite) {
            next();
            continue;
        }

        bool entryOk = true;
        bool entryClosed = false;
        if (directoryEntry) {
            // The folder was made above.
        } else {
            WriteResult written = writeEntryToFile(archive, fullPath, kept);
            entryClosed = true;
            if (written == WriteResult::ChecksumFailed)
                crcFailed = true;
            if (written == WriteResult::Failed || written == WriteResult::ChecksumFailed)
                entryOk = false;
            if (written == WriteResult::Written) {
                bool handledAsArchive = false;
                if (nestedZipLevel > 0 && hasZipExtension(fullPath)) {
                    if (unzipFileAtPath(fullPath.string(), fullPath.parent_path().string(), preserveAttributes,
                                        overwrite, nestedZipLevel - 1, password, nullptr, nullptr, {}, {})) {
                        if (preserveAttributes && !directoryDates.empty())
                            directoryDates.pop_back();
                        error_code ignored;
                        bfs::remove(fullPath, ignored);
                        handledAsArchive = true;
                    }
                }
                if (!handledAsArchive && preserveAttributes) {
                    if (info.dosDate != 0 && !setModificationDate(fullPath, date))
                        zqLog("Failed to set attributes - whilst setting modification date");
                    if (::chmod(fullPath.c_str(), ordinaryMode(info.external_fa)) != 0)
                        zqLog("Failed to set attributes - whilst setting permissions");
                }
            }
        }

        if (!entryClosed && unzCloseCurrentFile(archive) == ErrorCrc) {
            crcFailed = true;
            entryOk = false;
        }
        result = unzGoToNextFile(archive);
        if (delegate && !delegate->zipArchiveDidUnzipFileAtIndex(index, total, path, info))
            delegate->zipArchiveDidUnzipFileAtIndex(index, total, path, fullPath.string());
        if (progress)
            progress(cleaned, info, index, total);
        ++index;
        if (!entryOk) {
            success = false;
            break;
        }
    }
    unzClose(archive);
    if (refusedAny)
        success = false;

    if (success && preserveAttributes) {
        for (auto const& [item, date] : directoryDates) {
            if (!setModificationDate(item, date)) {
                zqLog("Set attributes failed for directory: " + item + ".");
                zqLog("Error setting directory file modification date attribute: " + item);
            }
        }
    }
    if (success && delegate)
        delegate->zipArchiveDidUnzipArchiveAtPath(path, globalInfo, destination);
    if (delegate && !canceled)
        delegate->zipArchiveProgressEvent(archiveSize, archiveSize);

    Platform::Error reported = kept;
    if (!reported && crcFailed)
        reported = zipError(-3, "crc check failed for file");
    if (error && reported)
        *error = reported;
    if (completion)
        completion(&path, success, reported ? &reported : nullptr);
    return success;
}

// ---------------------------------------------------------------------------------------------
// Packing

bool ZqZipArchive::createZipFileAtPath(std::string const& path, std::vector<std::string> const& files,
                                       std::string const& password) {
    ZqZipArchive archive(path);
    if (!archive.open())
        return false;
    bool success = true;
    for (std::string const& file : files)
        success = archive.writeFile(file, password) && success;
    return archive.close() && success;
}

bool ZqZipArchive::createZipFileAtPath(std::string const& path, std::string const& directory,
                                       bool keepParentDirectory, int compressionLevel, std::string const& password,
                                       bool aes, ZipProgressHandler progress) {
    ZqZipArchive archive(path);
    if (!archive.open())
        return false;

    bfs::path folder = directory;
    while (folder.filename() == "." && folder.has_parent_path())
        folder = folder.parent_path();
    // Sorted, so that one folder always gives the same archive.
    std::vector<std::string> items;
    error_code ec;
    for (bfs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        items.push_back(it->path().lexically_relative(folder).string());
    std::sort(items.begin(), items.end());
    if (keepParentDirectory && items.empty())
        items.emplace_back();

    bool success = !ec;
    unsigned long done = 0;
    for (std::string const& relative : items) {
        bfs::path const full = relative.empty() ? folder : folder / relative;
        std::string name = keepParentDirectory ? (folder.filename() / relative).string() : relative;
        if (!name.empty() && name.back() == '/')
            name.pop_back();
        error_code statusError;
        if (bfs::is_directory(full, statusError)) {
            if (bfs::is_empty(full, statusError))
                success = archive.writeFolderAtPath(full.string(), name, password) && success;
        } else {
            success = archive.writeFileAtPath(full.string(), name, compressionLevel, password, aes) && success;
        }
        ++done;
        if (progress)
            progress(done, items.size());
    }
    return archive.close() && success;
}

// ---------------------------------------------------------------------------------------------
// Archive inspection

bool ZqZipArchive::isFilePasswordProtectedAtPath(std::string const& path) {
    unzFile archive = unzOpen(path.c_str());
    if (!archive)
        return false;
    bool protectedArchive = false;
    int result = unzGoToFirstFile(archive);
    while (result == UNZ_OK) {
        unz_file_info info{};
        if (unzGetCurrentFileInfo(archive, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
            break;
        if (info.flag & 1) {
            protectedArchive = true;
            break;
        }
        result = unzGoToNextFile(archive);
    }
    unzClose(archive);
    return protectedArchive;
}

bool ZqZipArchive::isPasswordValidForArchiveAtPath(std::string const& path, std::string const& password,
                                                   Platform::Error* error) {
    auto fail = [&](int code, char const* text) {
        if (error)
            *error = zipError(code, text);
        return false;
    };
    unzFile archive = unzOpen(path.c_str());
    if (!archive)
        return fail(-1, "failed to open zip file");
    bool valid = true;
    int result = unzGoToFirstFile(archive);
    while (result == UNZ_OK) {
        int opened = password.empty() ? unzOpenCurrentFile(archive)
                                      : unzOpenCurrentFilePassword(archive, password.c_str());
        if (opened != UNZ_OK) {
            valid = fail(-2, "failed to open file in zip archive");
            break;
        }
        unz_file_info info{};
        if (unzGetCurrentFileInfo(archive, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
            unzCloseCurrentFile(archive);
            valid = fail(-3, "failed to retrieve info for file");
            break;
        }
        if (info.flag & 1) {
            char buffer[10];
            valid = unzReadCurrentFile(archive, buffer, sizeof buffer) >= 0
                    || fail(-4, "failed to read contents of file entry");
            unzCloseCurrentFile(archive);
            break;
        }
        unzCloseCurrentFile(archive);
        result = unzGoToNextFile(archive);
    }
    unzClose(archive);
    return valid;
}

unsigned long long ZqZipArchive::payloadSizeForArchiveAtPath(std::string const& path, Platform::Error* error) {
    unzFile archive = unzOpen(path.c_str());
    if (!archive) {
        if (error)
            *error = zipError(-1, "failed to open zip file");
        return 0;
    }
    unsigned long long sum = 0;
    int result = unzGoToFirstFile(archive);
    while (result == UNZ_OK) {
        unz_file_info info{};
        if (unzGetCurrentFileInfo(archive, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK) {
            if (error)
                *error = zipError(-3, "failed to retrieve info for file");
            break;
        }
        sum += info.uncompressed_size;
        result = unzGoToNextFile(archive);
    }
    unzClose(archive);
    return sum;
}

// ---------------------------------------------------------------------------------------------
// One archive being written

ZqZipArchive::ZqZipArchive(std::string path) : path_(std::move(path)) {}

ZqZipArchive::~ZqZipArchive() {
    if (zip_)
        zipClose(zip_, nullptr);
}

bool ZqZipArchive::open() {
    zip_ = zipOpen(path_.c_str(), APPEND_STATUS_CREATE);
    return zip_ != nullptr;
}

bool ZqZipArchive::close() {
    if (!zip_)
        return false;
    int result = zipClose(zip_, nullptr);
    zip_ = nullptr;
    return result == ZIP_OK;
}

bool ZqZipArchive::openEntry(std::string const& name, zip_fileinfo const& info, int compressionLevel,
                             std::string const& password, bool /*aes*/) {
    // Encrypted entries would need the content's checksum before writing; nothing here packs
    // with a password, so such a request is refused rather than written unprotected.
    if (!zip_ || !password.empty())
        return false;
    return zipOpenNewFileInZip4(zip_, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                compressionLevel, 0, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0,
                                VersionMadeBy, 0)
           == ZIP_OK;
}

bool ZqZipArchive::writeFolderAtPath(std::string const& path, std::string const& folderName,
                                     std::string const& password) {
    zip_fileinfo info{};
    zipInfoSetAttributesOfItemAtPath(info, path);
    if (!openEntry(folderName + "/", info, 0, password, false))
        return false;
    return zipCloseFileInZip(zip_) == ZIP_OK;
}

bool ZqZipArchive::writeFile(std::string const& path, std::string const& password) {
    return writeFileAtPath(path, {}, -1, password, true);
}

bool ZqZipArchive::writeFileAtPath(std::string const& path, std::string const& fileName,
                                   std::string const& password) {
    return writeFileAtPath(path, fileName, -1, password, true);
}

bool ZqZipArchive::writeFileAtPath(std::string const& path, std::string const& fileName, int compressionLevel,
                                   std::string const& password, bool aes) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> input(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!input)
        return false;
    std::string const name = fileName.empty() ? bfs::path(path).filename().string() : fileName;
    zip_fileinfo info{};
    zipInfoSetAttributesOfItemAtPath(info, path);
    std::vector<char> buffer(PackBufferSize);
    if (!openEntry(name, info, compressionLevel, password, aes))
        return false;
    // A read or write error makes the entry fail: a pack missing part of a document is no pack.
    bool ok = true;
    size_t count = 0;
    while (ok && (count = std::fread(buffer.data(), 1, buffer.size(), input.get())) > 0)
        ok = zipWriteInFileInZip(zip_, buffer.data(), static_cast<unsigned>(count)) == ZIP_OK;
    if (std::ferror(input.get()))
        ok = false;
    return zipCloseFileInZip(zip_) == ZIP_OK && ok;
}

bool ZqZipArchive::writeData(std::vector<unsigned char> const& data, std::string const& fileName,
                             std::string const& password) {
    return writeData(data, fileName, -1, password, true);
}

bool ZqZipArchive::writeData(std::vector<unsigned char> const& data, std::string const& fileName,
                             int compressionLevel, std::string const& password, bool aes) {
    if (!zip_)
        return false;
    zip_fileinfo info{};
    zipInfoSetDate(info, std::time(nullptr));
    if (!openEntry(fileName, info, compressionLevel, password, aes))
        return false;
    bool ok = data.empty() || zipWriteInFileInZip(zip_, data.data(), static_cast<unsigned>(data.size())) == ZIP_OK;
    return zipCloseFileInZip(zip_) == ZIP_OK && ok;
}

// ---------------------------------------------------------------------------------------------
// Helpers

std::string ZqZipArchive::filenameStringWithCString(char const* name, unsigned long versionMadeBy,
                                                    unsigned long generalPurposeFlag, size_t size) {
    std::string decoded;
    // Archives made on MS-DOS without the UTF-8 flag store names in code page 437.
    if (versionMadeBy <= 0xFF && (generalPurposeFlag & 0x800) == 0 && convertToUtf8(name, size, "CP437", decoded))
        return decoded;
    if (convertToUtf8(name, size, "UTF-8", decoded))
        return decoded;
    // Neither: most such names come from Windows archivers in a western code page.
    if (convertToUtf8(name, size, "WINDOWS-1252", decoded))
        return decoded;
    return hexString(std::vector<unsigned char>(name, name + size));
}

void ZqZipArchive::zipInfoSetAttributesOfItemAtPath(zip_fileinfo& info, std::string const& path) {
    struct stat attributes {};
    if (::stat(path.c_str(), &attributes) != 0)
        return;
    zipInfoSetDate(info, attributes.st_mtime);
    // The Unix regular-file type and the permissions, in the upper half.
    info.external_fa = (static_cast<unsigned long>(attributes.st_mode & 07777) + 0x8000) * 65536;
}

void ZqZipArchive::zipInfoSetDate(zip_fileinfo& info, std::time_t date) {
    std::tm local {};
    if (!::localtime_r(&date, &local))
        return;
    info.dosDate = tmToDosDate(local);
    info.tmz_date.tm_sec = static_cast<uInt>(local.tm_sec);
    info.tmz_date.tm_min = static_cast<uInt>(local.tm_min);
    info.tmz_date.tm_hour = static_cast<uInt>(local.tm_hour);
    info.tmz_date.tm_mday = static_cast<uInt>(local.tm_mday);
    info.tmz_date.tm_mon = static_cast<uInt>(local.tm_mon);
    info.tmz_date.tm_year = static_cast<uInt>(local.tm_year + 1900);
}

// DOS time: bits 25-31 years since 1980, 21-24 month (1-12), 16-20 day, 11-15 hour, 5-10 minute,
// 0-4 seconds / 2.
std::uint32_t ZqZipArchive::tmToDosDate(std::tm const& time) {
    int year = time.tm_year;
    if (year >= 1980)
        year -= 1980;
    else if (year >= 80)
        year -= 80;
    else
        return 0;
    if (year > 127 || time.tm_mon < 0 || time.tm_mon > 11 || time.tm_mday < 1 || time.tm_mday > 31
        || time.tm_hour < 0 || time.tm_hour > 23 || time.tm_min < 0 || time.tm_min > 59 || time.tm_sec < 0
        || time.tm_sec > 59)
        return 0;
    return (static_cast<std::uint32_t>(year) << 25) | (static_cast<std::uint32_t>(time.tm_mon + 1) << 21)
           | (static_cast<std::uint32_t>(time.tm_mday) << 16) | (static_cast<std::uint32_t>(time.tm_hour) << 11)
           | (static_cast<std::uint32_t>(time.tm_min) << 5) | (static_cast<std::uint32_t>(time.tm_sec) / 2);
}

std::time_t ZqZipArchive::dateWithMSDOSFormat(std::uint32_t dosDate) {
    std::tm local {};
    local.tm_year = static_cast<int>((dosDate >> 25) & 0x7F) + 80;
    local.tm_mon = static_cast<int>((dosDate >> 21) & 0x0F) - 1;
    local.tm_mday = static_cast<int>((dosDate >> 16) & 0x1F);
    local.tm_hour = static_cast<int>((dosDate >> 11) & 0x1F);
    local.tm_min = static_cast<int>((dosDate >> 5) & 0x3F);
    local.tm_sec = static_cast<int>(dosDate & 0x1F) * 2;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

// Read as a path below a root: a leading "/" and any ".." that would climb above the top are
// dropped, so every name lands inside the destination, as a URL path is standardized.
std::string ZqZipArchive::sanitizedPath(std::string const& name) {
    std::string text = name;
    std::replace(text.begin(), text.end(), '\\', '/');
    std::vector<std::string> components;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('/', start);
        if (end == std::string::npos)
            end = text.size();
        std::string component = text.substr(start, end - start);
        if (component == "..") {
            if (!components.empty())
                components.pop_back();
        } else if (!component.empty() && component != ".") {
            // Control characters become "-", as the document browser writes names.
            for (char& c : component)
                if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
                    c = '-';
            components.push_back(component);
        }
        start = end + 1;
    }
    std::string cleaned;
    for (std::string const& component : components)
        cleaned += (cleaned.empty() ? "" : "/") + component;
    return cleaned;
}

std::string ZqZipArchive::base64RFC4648(std::vector<unsigned char> const& data) {
    static constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    std::string out;
    size_t i = 0;
    for (; i + 2 < data.size(); i += 3) {
        std::uint32_t v = (data[i] << 16) | (data[i + 1] << 8) | data[i + 2];
        out += alphabet[(v >> 18) & 63];
        out += alphabet[(v >> 12) & 63];
        out += alphabet[(v >> 6) & 63];
        out += alphabet[v & 63];
    }
    if (i + 1 == data.size()) {
        std::uint32_t v = data[i] << 16;
        out += alphabet[(v >> 18) & 63];
        out += alphabet[(v >> 12) & 63];
        out += "==";
    } else if (i + 2 == data.size()) {
        std::uint32_t v = (data[i] << 16) | (data[i + 1] << 8);
        out += alphabet[(v >> 18) & 63];
        out += alphabet[(v >> 12) & 63];
        out += alphabet[(v >> 6) & 63];
        out += '=';
    }
    return out;
}

std::string ZqZipArchive::hexString(std::vector<unsigned char> const& data) {
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(data.size() * 2);
    for (unsigned char byte : data) {
        out += digits[byte >> 4];
        out += digits[byte & 0x0F];
    }
    return out;
}
