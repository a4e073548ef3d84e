#include "platform/audio/OfflineDriver.h"
#include "platform/audio/WavFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Platform::OfflineDriver;
using Platform::OutputUnit;

namespace {

class WavFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("wav-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    fs::path dir_;
};

std::vector<unsigned char> fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

uint32_t le32(const std::vector<unsigned char>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t{b[at + 3]} << 24);
}

} // namespace

TEST_F(WavFileTest, OfflineRenderWritesAStereoFloatFileThatReadsBack) {
    OutputUnit unit;
    unit.setMaximumFramesPerSlice(100);
    unit.setRenderCallback([](const OutputUnit::RenderCall& call) {
        for (unsigned i = 0; i < call.frames; ++i) {
            const auto t = static_cast<float>(call.sampleTime + i);
            call.channels[0][i] = std::sin(t * 0.01f) * 0.5f;
            call.channels[1][i] = -t / 1000.0f;
        }
        return true;
    });
    OfflineDriver driver(unit);
    const std::string file = path("out.wav");
    const auto result = driver.renderToWav(file, 1001);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_FALSE(fs::exists(file + ".part"));

    // The header, byte by byte: RIFF size, fmt of IEEE float, fact frames, data size.
    const auto bytes = fileBytes(file);
    ASSERT_EQ(bytes.size(), 58u + 1001u * 8u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RIFF");
    EXPECT_EQ(le32(bytes, 4), bytes.size() - 8);
    EXPECT_EQ(std::string(bytes.begin() + 8, bytes.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(le32(bytes, 16), 18u);
    EXPECT_EQ(bytes[20] | (bytes[21] << 8), 3);
    EXPECT_EQ(std::string(bytes.begin() + 38, bytes.begin() + 42), "fact");
    EXPECT_EQ(le32(bytes, 46), 1001u);
    EXPECT_EQ(std::string(bytes.begin() + 50, bytes.begin() + 54), "data");
    EXPECT_EQ(le32(bytes, 54), 1001u * 8u);

    std::string error;
    const auto wav = Platform::readWav(file, &error);
    ASSERT_TRUE(wav) << error;
    EXPECT_EQ(wav->formatTag, 3);
    EXPECT_EQ(wav->channels, 2);
    EXPECT_EQ(wav->sampleRate, 44100u);
    EXPECT_EQ(wav->byteRate, 44100u * 8u);
    EXPECT_EQ(wav->blockAlign, 8);
    EXPECT_EQ(wav->bitsPerSample, 32);
    ASSERT_EQ(wav->frames, 1001u);
    for (uint64_t i = 0; i < wav->frames; ++i) {
        const auto t = static_cast<float>(i);
        ASSERT_EQ(wav->sample(i, 0), std::sin(t * 0.01f) * 0.5f) << i;
        ASSERT_EQ(wav->sample(i, 1), -t / 1000.0f) << i;
    }
    EXPECT_NEAR(result.peak, 1.0f, 1e-6);
}

TEST_F(WavFileTest, TheSampleRateOfTheUnitIsTheFilesRate) {
    OutputUnit unit;
    unit.setSampleRate(48000.0);
    unit.setRenderCallback([](const OutputUnit::RenderCall&) { return true; });
    OfflineDriver driver(unit);
    ASSERT_TRUE(driver.renderToWav(path("48k.wav"), 10).ok);
    const auto wav = Platform::readWav(path("48k.wav"));
    ASSERT_TRUE(wav);
    EXPECT_EQ(wav->sampleRate, 48000u);
    EXPECT_EQ(wav->frames, 10u);
}

TEST_F(WavFileTest, AFailedRenderLeavesNoFileAndAnUnwritablePathIsReported) {
    OutputUnit unit;
    unit.setMaximumFramesPerSlice(16);
    unit.setRenderCallback([](const OutputUnit::RenderCall& call) { return call.sampleTime == 0; });
    OfflineDriver driver(unit);
    const auto failed = driver.renderToWav(path("failed.wav"), 64);
    EXPECT_FALSE(failed.ok);
    EXPECT_FALSE(fs::exists(path("failed.wav")));
    EXPECT_FALSE(fs::exists(path("failed.wav.part")));

    const auto unwritable = driver.renderToWav(path("missing/folder/x.wav"), 64);
    EXPECT_FALSE(unwritable.ok);
    EXPECT_NE(unwritable.error.find("cannot create"), std::string::npos);
}

TEST_F(WavFileTest, ReaderRefusesWhatIsNotAFloatWav) {
    const auto write = [&](const std::string& name, const std::vector<unsigned char>& b) {
        std::ofstream(path(name), std::ios::binary).write(reinterpret_cast<const char*>(b.data()),
                                                           static_cast<std::streamsize>(b.size()));
        return path(name);
    };
    std::string error;
    EXPECT_FALSE(Platform::readWav(path("absent.wav"), &error));
    EXPECT_FALSE(Platform::readWav(write("text.wav", {'h', 'e', 'l', 'l', 'o'}), &error));
    EXPECT_EQ(error, "not a RIFF/WAVE file");

    // A 16-bit PCM header with two frames of data.
    std::vector<unsigned char> pcm = {'R', 'I', 'F', 'F', 44, 0, 0, 0, 'W', 'A', 'V', 'E',
                                      'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1, 0,
                                      0x44, 0xac, 0, 0, 0x88, 0x58, 1, 0, 2, 0, 16, 0,
                                      'd', 'a', 't', 'a', 4, 0, 0, 0, 1, 0, 2, 0};
    EXPECT_FALSE(Platform::readWav(write("pcm.wav", pcm), &error));
    EXPECT_EQ(error, "not 32-bit IEEE float samples");

    // A data chunk that claims more bytes than the file holds.
    pcm[20] = 3;
    pcm[34] = 32;
    pcm[32] = 4;
    pcm[40] = 200;
    EXPECT_FALSE(Platform::readWav(write("short.wav", pcm), &error));
    EXPECT_EQ(error, "truncated chunk");
}
