#pragma once

#include <boost/filesystem/path.hpp>

#include <string>
#include <utility>
#include <vector>

// Small synchronous file functions that the document browsers and the engine do all their disk
// work through. They keep no state, report failure by their result and, where a failure has a
// reason, by one line on standard error.
namespace Lumora::filesystem {

using Path = boost::filesystem::path;

std::string trimLastSlash(std::string const& path);
std::string trimHeadDot(std::string const& text);

// The process's temporary directory without its trailing "/".
std::string temporaryPath();

bool exists(Path const& path);
bool is_regular_file(Path const& path);
bool is_directory(Path const& path);

// Moves a file or a directory tree; the destination must not exist yet.
bool rename(Path const& source, Path const& destination);

bool createDirectory(Path const& path, bool withIntermediateDirectories);
bool createDirectory(Path const& path);

// Deletes a file, or a directory with everything below it.
bool removeDirectory(Path const& path);

// Copies a file, or a directory with everything below it; the destination must not exist yet.
bool copyFile(Path const& source, Path const& destination);
bool copyDirectory(Path const& source, Path const& destination);

// The entries of a directory (one level) as full paths: sub-directories first, then files, each
// group in byte order of the names. A non-empty extension (with or without its dot) keeps only
// names that end with it, directories included.
std::vector<std::string> fileList(Path const& directory, std::string const& extension);

bool isEmptyDirectory(Path const& path);

// a is b or lies inside b / a is the directory that directly holds b. Both paths are resolved
// first; a path that cannot be resolved throws boost::filesystem::filesystem_error.
bool isDescendant(Path const& a, Path const& b);
bool isParent(Path const& a, Path const& b);

// With lock, the read and the write hold an exclusive advisory lock on the whole file, waiting
// until it is free, so two programs sharing a document never see half of the other's write.
std::pair<bool, std::string> readTextFromFile(Path const& path, bool lock);

// Writes the text up to its first NUL byte. The former content is replaced only once the new
// text is wholly written: space is reserved first, the text is written over the old one and the
// file is cut to the new length. False when opening, locking, writing, syncing or closing fails.
bool writeTextToFile(Path const& path, std::string const& text, bool lock);

} // namespace Lumora::filesystem
