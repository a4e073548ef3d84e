#include "platform/foundation/FileLock.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <unistd.h>

TEST(PlatformFileLock, TwoDescriptorsOfOneFileExcludeEachOther) {
    std::string path = ::testing::TempDir() + "filelock-XXXXXX";
    int first = ::mkstemp(path.data());
    ASSERT_GE(first, 0);
    int second = ::open(path.c_str(), O_RDWR);
    ASSERT_GE(second, 0);

    ASSERT_TRUE(Platform::FileLock::lockExclusive(first));
    EXPECT_NE(::flock(second, LOCK_EX | LOCK_NB), 0) << "the second descriptor got the lock while the first held it";
    Platform::FileLock::unlock(first);
    ASSERT_TRUE(Platform::FileLock::lockExclusive(second));
    EXPECT_NE(::flock(first, LOCK_EX | LOCK_NB), 0);
    Platform::FileLock::unlock(second);

    EXPECT_FALSE(Platform::FileLock::lockExclusive(-1));
    ::close(first);
    ::close(second);
    std::remove(path.c_str());
}
