#pragma once

namespace Lumora {

// Packs a file, or a folder kept as the archive's top entry, into a new zip archive.
bool zip(char const* sourcePath, char const* zipPath);

// Unpacks an archive into a folder; false when the archive cannot be read, an entry cannot be
// written, or an entry would land outside the folder.
bool unzip(char const* zipPath, char const* destinationDirectory);

} // namespace Lumora
