#include "platform/audio/WavFile.h"

#include <array>
#include <bit>
#include <cstring>
#include <limits>

namespace Platform {

namespace {

// Little-endian fields written into a fixed header at increasing offsets.
class HeaderWriter {
public:
    explicit HeaderWriter(unsigned char* out) : out_(out) {}
    void u16(uint16_t v) {
        out_[at_++] = static_cast<unsigned char>(v & 0xff);
        out_[at_++] = static_cast<unsigned char>(v >> 8);
    }
    void u32(uint32_t v) {
        for (int shift = 0; shift < 32; shift += 8) {
            out_[at_++] = static_cast<unsigned char>((v >> shift) & 0xff);
        }
    }
    void tag(const char* t) {
        for (int i = 0; i < 4; ++i) {
            out_[at_++] = static_cast<unsigned char>(t[i]);
        }
    }
    size_t size() const { return at_; }

private:
    unsigned char* out_;
    size_t at_ = 0;
};

uint16_t get16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

uint32_t get32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Header: RIFF(12) + fmt chunk(8 + 18) + fact chunk(8 + 4) + data chunk header(8).
constexpr uint32_t kFmtBytes = 18;
constexpr uint32_t kHeaderBytes = 12 + 8 + kFmtBytes + 8 + 4 + 8;
constexpr uint32_t kBytesPerSample = Wav::kBitsPerSample / 8;

} // namespace

WavWriter::~WavWriter() { abandon(); }

bool WavWriter::fail(const std::string& what) {
    error_ = what;
    abandon();
    return false;
}

bool WavWriter::open(const std::string& path, uint32_t sampleRate, uint16_t channels) {
    abandon();
    error_.clear();
    if (sampleRate == 0 || channels == 0) {
        error_ = "unusable WAV format";
        return false;
    }
    path_ = path;
    partPath_ = path + ".part";
    sampleRate_ = sampleRate;
    channels_ = channels;
    frames_ = 0;
    file_ = std::fopen(partPath_.c_str(), "wb");
    if (file_ == nullptr) {
        error_ = "cannot create " + partPath_ + ": " + std::strerror(errno);
        return false;
    }
    // The sizes are patched by close; a zero-length data chunk until then.
    return writeHeader(0) || fail("cannot write the header of " + partPath_);
}

bool WavWriter::writeHeader(uint32_t dataBytes) {
    const uint32_t blockAlign = channels_ * kBytesPerSample;
    std::array<unsigned char, kHeaderBytes> header{};
    HeaderWriter h(header.data());
    h.tag("RIFF");
    h.u32(kHeaderBytes - 8 + dataBytes);
    h.tag("WAVE");
    h.tag("fmt ");
    h.u32(kFmtBytes);
    h.u16(Wav::kFormatIeeeFloat);
    h.u16(channels_);
    h.u32(sampleRate_);
    h.u32(sampleRate_ * blockAlign);
    h.u16(static_cast<uint16_t>(blockAlign));
    h.u16(Wav::kBitsPerSample);
    h.u16(0); // no extension bytes
    h.tag("fact");
    h.u32(4);
    h.u32(static_cast<uint32_t>(frames_));
    h.tag("data");
    h.u32(dataBytes);
    return std::fseek(file_, 0, SEEK_SET) == 0 &&
           std::fwrite(header.data(), 1, h.size(), file_) == h.size();
}

bool WavWriter::write(const float* const* channels, unsigned frames) {
    if (file_ == nullptr) {
        error_ = "WAV file not open";
        return false;
    }
    const uint64_t limit = (std::numeric_limits<uint32_t>::max() - kHeaderBytes) /
                           (uint64_t{channels_} * kBytesPerSample);
    if (frames_ + frames > limit) {
        return fail("WAV file would exceed 4 GiB");
    }
    bytes_.resize(size_t{frames} * channels_ * kBytesPerSample);
    unsigned char* out = bytes_.data();
    for (unsigned i = 0; i < frames; ++i) {
        for (uint16_t c = 0; c < channels_; ++c) {
            const uint32_t bits = std::bit_cast<uint32_t>(channels[c][i]);
            *out++ = static_cast<unsigned char>(bits & 0xff);
            *out++ = static_cast<unsigned char>((bits >> 8) & 0xff);
            *out++ = static_cast<unsigned char>((bits >> 16) & 0xff);
            *out++ = static_cast<unsigned char>(bits >> 24);
        }
    }
    if (std::fwrite(bytes_.data(), 1, bytes_.size(), file_) != bytes_.size()) {
        return fail("cannot write " + partPath_);
    }
    frames_ += frames;
    return true;
}

bool WavWriter::close() {
    if (file_ == nullptr) {
        error_ = "WAV file not open";
        return false;
    }
    const auto dataBytes = static_cast<uint32_t>(frames_ * channels_ * kBytesPerSample);
    if (!writeHeader(dataBytes)) {
        return fail("cannot complete the header of " + partPath_);
    }
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!closed) {
        std::remove(partPath_.c_str());
        error_ = "cannot close " + partPath_;
        return false;
    }
    if (std::rename(partPath_.c_str(), path_.c_str()) != 0) {
        error_ = "cannot move " + partPath_ + " to " + path_ + ": " + std::strerror(errno);
        std::remove(partPath_.c_str());
        return false;
    }
    return true;
}

void WavWriter::abandon() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
        std::remove(partPath_.c_str());
    }
}

std::optional<WavData> readWav(const std::string& path, std::string* error) {
    const auto failWith = [error](const std::string& what) -> std::optional<WavData> {
        if (error != nullptr) {
            *error = what;
        }
        return std::nullopt;
    };
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return failWith("cannot open " + path);
    }
    std::vector<unsigned char> bytes;
    unsigned char chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    std::fclose(file);

    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        return failWith("not a RIFF/WAVE file");
    }
    WavData wav;
    bool haveFormat = false;
    bool haveData = false;
    size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const unsigned char* head = bytes.data() + at;
        const uint64_t size = get32(head + 4);
        const size_t body = at + 8;
        if (body + size > bytes.size()) {
            return failWith("truncated chunk");
        }
        if (std::memcmp(head, "fmt ", 4) == 0) {
            if (size < 16) {
                return failWith("short fmt chunk");
            }
            const unsigned char* f = bytes.data() + body;
            wav.formatTag = get16(f);
            wav.channels = get16(f + 2);
            wav.sampleRate = get32(f + 4);
            wav.byteRate = get32(f + 8);
            wav.blockAlign = get16(f + 12);
            wav.bitsPerSample = get16(f + 14);
            haveFormat = true;
        } else if (std::memcmp(head, "data", 4) == 0) {
            if (!haveFormat) {
                return failWith("data chunk before fmt chunk");
            }
            if (wav.formatTag != Wav::kFormatIeeeFloat || wav.bitsPerSample != Wav::kBitsPerSample ||
                wav.channels == 0 || wav.blockAlign != wav.channels * kBytesPerSample) {
                return failWith("not 32-bit IEEE float samples");
            }
            wav.frames = size / wav.blockAlign;
            wav.samples.resize(wav.frames * wav.channels);
            const unsigned char* p = bytes.data() + body;
            for (float& s : wav.samples) {
                s = std::bit_cast<float>(get32(p));
                p += 4;
            }
            haveData = true;
        }
        // Chunks are padded to an even size.
        at = body + size + (size & 1);
    }
    if (!haveData) {
        return failWith("no data chunk");
    }
    return wav;
}

} // namespace Platform
