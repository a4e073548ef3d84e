#include "platform/foundation/Error.h"
#include "platform/foundation/Log.h"
#include "platform/foundation/TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <string>

TEST(PlatformError, DefaultMeansNoErrorAndPosixErrorsCarryTheirNumber) {
    EXPECT_FALSE(Platform::Error());
    Platform::Error error = Platform::Error::fromErrno(ENOSPC);
    EXPECT_TRUE(error);
    EXPECT_EQ(error.domain(), Platform::POSIXErrorDomain);
    EXPECT_EQ(error.code(), ENOSPC);
    EXPECT_FALSE(error.localizedDescription().empty());
    Platform::Error custom("ZqZipArchiveErrorDomain", -1, "failed to open zip file");
    EXPECT_EQ(custom.code(), -1);
    EXPECT_EQ(custom.localizedDescription(), "failed to open zip file");
}

TEST(PlatformLog, CaptureCollectsLinesAndNestedCapturesRestoreTheOuterOne) {
    Platform::ScopedLogCapture outer;
    Platform::log("first");
    {
        Platform::ScopedLogCapture inner;
        Platform::log("second");
        EXPECT_EQ(inner.text(), "second\n");
    }
    Platform::log("third");
    EXPECT_EQ(outer.text(), "first\nthird\n");
    EXPECT_TRUE(outer.contains("thi"));
}

TEST(PlatformTemporaryDirectory, EndsWithSlashAndFollowsTheOverride) {
    char const* saved = std::getenv("CORVANE_TMPDIR");
    std::string savedValue = saved ? saved : "";
    ::setenv("CORVANE_TMPDIR", "/some/where", 1);
    EXPECT_EQ(Platform::temporaryDirectory(), "/some/where/");
    ::unsetenv("CORVANE_TMPDIR");
    std::string own = Platform::temporaryDirectory();
    EXPECT_EQ(own.back(), '/');
    if (saved)
        ::setenv("CORVANE_TMPDIR", savedValue.c_str(), 1);
}
