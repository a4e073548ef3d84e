#pragma once

#include "platform/foundation/Error.h"

#include <minizip/unzip.h>
#include <minizip/zip.h>

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

// Turns files and folders into zip archive entries and back, over minizip's zip and unzip calls.
// Failures are reported as results, as errors of ZqZipArchiveErrorDomain and as log lines that
// begin with "[ZqZipArchive] ".
class ZqZipArchive {
public:
    static constexpr char const* ErrorDomain = "ZqZipArchiveErrorDomain";
    // The most a pack may unpack to: documents are a few kilobytes, so a pack beyond this is a
    // decompression bomb, refused before anything is written.
    static constexpr unsigned long long MaximumUnpackedBytes = 256ull << 20;

    // Receiver of the unzip's events; every operation is optional.
    class Delegate {
    public:
        virtual ~Delegate() = default;
        virtual void zipArchiveWillUnzipArchiveAtPath(std::string const&, unz_global_info const&) {}
        virtual void zipArchiveProgressEvent(unsigned long long /*loaded*/, unsigned long long /*total*/) {}
        virtual bool zipArchiveShouldUnzipFileAtIndex(long /*index*/, long /*total*/, std::string const&,
                                                      unz_file_info const&) { return true; }
        virtual void zipArchiveWillUnzipFileAtIndex(long, long, std::string const&, unz_file_info const&) {}
        // Answers false when not implemented, so the path form is told instead.
        virtual bool zipArchiveDidUnzipFileAtIndex(long, long, std::string const&, unz_file_info const&) { return false; }
        virtual void zipArchiveDidUnzipFileAtIndex(long, long, std::string const& /*archivePath*/,
                                                   std::string const& /*unzippedFilePath*/) {}
        virtual void zipArchiveDidUnzipArchiveAtPath(std::string const&, unz_global_info const&,
                                                     std::string const& /*unzippedPath*/) {}
    };

    // (entry name, entry information, entry index, number of entries)
    using ProgressHandler = std::function<void(std::string const&, unz_file_info const&, long, long)>;
    // (archive path or null, success, error or null)
    using CompletionHandler = std::function<void(std::string const*, bool, Platform::Error const*)>;
    // (items done, all items)
    using ZipProgressHandler = std::function<void(unsigned long, unsigned long)>;

    // Unzipping: every form keeps the file attributes unless told otherwise.
    static bool unzipFileAtPath(std::string const& path, std::string const& destination);
    static bool unzipFileAtPath(std::string const& path, std::string const& destination, Delegate* delegate);
    static bool unzipFileAtPath(std::string const& path, std::string const& destination, bool overwrite,
                                std::string const& password, Platform::Error* error, Delegate* delegate = nullptr);
    static bool unzipFileAtPath(std::string const& path, std::string const& destination, bool overwrite,
                                std::string const& password, ProgressHandler progress, CompletionHandler completion);
    static bool unzipFileAtPath(std::string const& path, std::string const& destination, ProgressHandler progress,
                                CompletionHandler completion);
    static bool unzipFileAtPath(std::string const& path, std::string const& destination, bool preserveAttributes,
                                bool overwrite, int nestedZipLevel, std::string const& password,
                                Platform::Error* error, Delegate* delegate, ProgressHandler progress,
                                CompletionHandler completion);

    // Packing a list of files, each entry named by the file's own name.
    static bool createZipFileAtPath(std::string const& path, std::vector<std::string> const& files,
                                    std::string const& password = {});
    // Packing a folder's contents, optionally below the folder's own name as the top entry.
    static bool createZipFileAtPath(std::string const& path, std::string const& directory,
                                    bool keepParentDirectory, int compressionLevel = -1,
                                    std::string const& password = {}, bool aes = true,
                                    ZipProgressHandler progress = {});

    static bool isFilePasswordProtectedAtPath(std::string const& path);
    static bool isPasswordValidForArchiveAtPath(std::string const& path, std::string const& password,
                                                Platform::Error* error);
    static unsigned long long payloadSizeForArchiveAtPath(std::string const& path, Platform::Error* error);

    explicit ZqZipArchive(std::string path);
    ~ZqZipArchive();
    ZqZipArchive(ZqZipArchive const&) = delete;
    ZqZipArchive& operator=(ZqZipArchive const&) = delete;

    bool open();
    bool close();
    bool writeFolderAtPath(std::string const& path, std::string const& folderName, std::string const& password = {});
    bool writeFile(std::string const& path, std::string const& password = {});
    bool writeFileAtPath(std::string const& path, std::string const& fileName, std::string const& password = {});
    bool writeFileAtPath(std::string const& path, std::string const& fileName, int compressionLevel,
                         std::string const& password, bool aes);
    bool writeData(std::vector<unsigned char> const& data, std::string const& fileName,
                   std::string const& password = {});
    bool writeData(std::vector<unsigned char> const& data, std::string const& fileName, int compressionLevel,
                   std::string const& password, bool aes);

    // Helpers, public for their own tests.
    static std::string filenameStringWithCString(char const* name, unsigned long versionMadeBy,
                                                 unsigned long generalPurposeFlag, size_t size);
    static void zipInfoSetAttributesOfItemAtPath(zip_fileinfo& info, std::string const& path);
    static void zipInfoSetDate(zip_fileinfo& info, std::time_t date);
    static std::time_t dateWithMSDOSFormat(std::uint32_t dosDate);
    // The DOS form of a broken-down local time (years since 1900, months from 0); 0 when the time
    // cannot be expressed (before 1980 or after 2107).
    static std::uint32_t tmToDosDate(std::tm const& time);
    // The entry name as a relative path inside the destination: "\" read as "/", "." and ".."
    // resolved, a leading "/" and a ".." above the top dropped. Empty when nothing is left.
    static std::string sanitizedPath(std::string const& name);
    static std::string base64RFC4648(std::vector<unsigned char> const& data);
    static std::string hexString(std::vector<unsigned char> const& data);

private:
    bool openEntry(std::string const& name, zip_fileinfo const& info, int compressionLevel,
                   std::string const& password, bool aes);

    std::string path_;
    zipFile zip_ = nullptr;
};
