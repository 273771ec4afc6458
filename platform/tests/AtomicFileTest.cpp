#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

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

}  // namespace pcn
