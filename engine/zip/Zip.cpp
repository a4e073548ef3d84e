#include "engine/zip/Zip.h"

#include "engine/zip/ZqZipArchive.h"

#include <boost/filesystem/operations.hpp>

namespace Lumora {

bool zip(char const* sourcePath, char const* zipPath) {
    boost::system::error_code ec;
    if (boost::filesystem::is_directory(sourcePath, ec))
        return ZqZipArchive::createZipFileAtPath(zipPath, std::string(sourcePath), true);
    return ZqZipArchive::createZipFileAtPath(zipPath, std::vector<std::string>{sourcePath});
}

bool unzip(char const* zipPath, char const* destinationDirectory) {
    return ZqZipArchive::unzipFileAtPath(zipPath, destinationDirectory);
}

} // namespace Lumora
