#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <sys/file.h>
#include <sys/time.h>
#include <fcntl.h>
#include <unistd.h>

#include <fstream>

#include "platform/AtomicFile.h"

namespace pcn {
namespace fs = std::filesystem;

class AtomicFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("pcn-atomic-" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

TEST_F(AtomicFileTest, ShorterContentLeavesNoOldTail) {
    fs::path f = dir / "a.pcp";
    ASSERT_TRUE(writeFileAtomically(f, std::string(1000, 'x')).ok);
    ASSERT_TRUE(writeFileAtomically(f, "short").ok);
    std::string back;
    ASSERT_TRUE(readWholeFile(f, back));
    EXPECT_EQ(back, "short");
    // No temporary file stays behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 1);
}

TEST_F(AtomicFileTest, OwnerOnlyModeForSecrets) {
    fs::path f = dir / "secret";
    ASSERT_TRUE(writeFileAtomically(f, "pw", kOwnerOnly).ok);
    struct stat st {};
    ASSERT_EQ(::stat(f.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(AtomicFileTest, FailureReportsErrnoAndKeepsTarget) {
    fs::path f = dir / "missing-folder" / "x";
    WriteResult r = writeFileAtomically(f, "data");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, ENOENT);
    std::string bytes;
    int err = 0;
    EXPECT_FALSE(readWholeFile(f, bytes, &err));
    EXPECT_EQ(err, ENOENT);
}

TEST_F(AtomicFileTest, CreatingNeverReplacesAnExistingFile) {
    fs::path f = dir / "new.pcp";
    ASSERT_TRUE(createFileAtomically(f, "first").ok);
    WriteResult second = createFileAtomically(f, "second");
    EXPECT_FALSE(second.ok);
    EXPECT_EQ(second.error, EEXIST);
    std::string back;
    ASSERT_TRUE(readWholeFile(f, back));
    EXPECT_EQ(back, "first");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}), 1);
}

TEST_F(AtomicFileTest, StaleTemporariesOfTheSameTargetAreRemoved) {
    auto make = [&](const std::string& name) {
        fs::path p = dir / name;
        std::ofstream(p) << "left behind";
        const struct timeval old[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
        ::utimes(p.c_str(), old);
        return p;
    };
    fs::path dead = make(".out.cab.a1B2c3");       // its writer was killed
    fs::path alive = make(".out.cab.x9Y8z7");      // another process still writes it
    fs::path other = make(".other.cab.a1B2c3");    // not this target's
    fs::path fresh = dir / ".out.cab.q1w2e3";      // just created, not yet locked
    std::ofstream(fresh) << "";
    const int held = ::open(alive.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);

    ASSERT_TRUE(writeFileAtomically(dir / "out.cab", "cabinet").ok);
    EXPECT_FALSE(fs::exists(dead));
    EXPECT_TRUE(fs::exists(alive));
    EXPECT_TRUE(fs::exists(other));
    EXPECT_TRUE(fs::exists(fresh));
    ::close(held);
}

TEST_F(AtomicFileTest, RegularFilesOnlyAndBoundedInSize) {
    std::string bytes;
    int error = 0;
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);
    EXPECT_FALSE(readRegularFile((dir / "pipe").string(), bytes, error, 100));  // returns at once
    EXPECT_EQ(error, EINVAL);
    EXPECT_FALSE(readRegularFile("/dev/zero", bytes, error, 100));
    EXPECT_EQ(error, EINVAL);
    EXPECT_FALSE(readRegularFile(dir.string(), bytes, error, 100));
    EXPECT_EQ(error, EISDIR);
    std::ofstream(dir / "big") << std::string(101, 'x');
    EXPECT_FALSE(readRegularFile((dir / "big").string(), bytes, error, 100));
    EXPECT_EQ(error, EFBIG);
    EXPECT_TRUE(readRegularFile((dir / "big").string(), bytes, error, 101));
    EXPECT_EQ(bytes.size(), 101u);
}

}  // namespace pcn
