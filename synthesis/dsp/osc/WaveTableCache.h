#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace Lumora::DSP::OSC {

// The on-disk cache of computed wave tables: raw little-endian single-precision samples, table after
// table, no header. A file is used only when it holds exactly the expected number of bytes; it is
// written to a temporary name and renamed into place, so that a reader never sees half a file.
namespace WaveTableCache {

// The process's temporary directory without a trailing "/" (the engine's temporary path).
std::string temporaryDirectory();

// Fills dst with count floats from the file; false (dst unspecified) when the file is missing,
// of another size or unreadable.
bool read(const std::string& path, float* dst, std::size_t count);

// Writes count floats to a temporary file beside path and renames it to path; false on failure,
// which leaves no partial file behind.
bool write(const std::string& path, const float* src, std::size_t count);

// Reads the cache at path into dst, or computes the tables with compute(dst) and writes the cache.
// Returns true when the tables came from the cache.
bool load(const std::string& path, float* dst, std::size_t count, const std::function<void(float*)>& compute);

} // namespace WaveTableCache

} // namespace Lumora::DSP::OSC
