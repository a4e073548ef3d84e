#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace Platform {

// The WAV form the output unit's drivers write: RIFF/WAVE, a "fmt " chunk of IEEE float
// (format 3, 32 bits per sample, interleaved channels), a "fact" chunk with the frame count,
// and the "data" chunk. All fields little-endian.
namespace Wav {
inline constexpr uint16_t kFormatIeeeFloat = 3;
inline constexpr uint16_t kBitsPerSample = 32;
} // namespace Wav

// Writes a float WAV file block by block. The samples go to a sibling file "<path>.part" that
// replaces path only when close succeeds, so a failed or abandoned render never leaves a
// truncated file under the final name.
class WavWriter {
public:
    WavWriter() = default;
    ~WavWriter();
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    // False (with error() set) when the file cannot be created or the format is unusable.
    bool open(const std::string& path, uint32_t sampleRate, uint16_t channels);
    // Appends frames of planar channel data (one pointer per channel), interleaving them.
    bool write(const float* const* channels, unsigned frames);
    // Completes the header and moves the file to its final name.
    bool close();
    // Drops the partial file.
    void abandon();

    bool isOpen() const { return file_ != nullptr; }
    uint64_t framesWritten() const { return frames_; }
    const std::string& error() const { return error_; }

private:
    bool fail(const std::string& what);
    bool writeHeader(uint32_t dataBytes);

    std::FILE* file_ = nullptr;
    std::string path_;
    std::string partPath_;
    uint32_t sampleRate_ = 0;
    uint16_t channels_ = 0;
    uint64_t frames_ = 0;
    std::vector<unsigned char> bytes_;
    std::string error_;
};

// A float WAV file read back whole.
struct WavData {
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint32_t byteRate = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    uint64_t frames = 0;
    std::vector<float> samples; // interleaved

    float sample(uint64_t frame, unsigned channel) const { return samples[frame * channels + channel]; }
};

// Reads a 32-bit IEEE float WAV file; unknown chunks are skipped. Answers nothing (and sets
// *error when given) for anything else or a damaged file.
std::optional<WavData> readWav(const std::string& path, std::string* error = nullptr);

} // namespace Platform
