// The compressor's scratch data and half-written cabinets: nothing of ours
// may outlive a build that is killed.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "cabinet/PosixCabinetIo.h"

namespace pcn::cabinet {
namespace {
namespace fs = std::filesystem;

size_t entries(const fs::path& folder) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator{}));
}

TEST(ScratchFiles, HaveNoNameWhileTheCompressorUsesThem) {
    const fs::path folder = fs::temp_directory_path() / ("pcn-scratch-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    ::setenv("TMPDIR", folder.c_str(), 1);
    CabinetCallbacks io = posixCallbacks();
    char name[256] = {};
    ASSERT_TRUE(io.temporaryFileName(name, sizeof name, nullptr));
    int error = 0;
    FileHandle scratch = io.open(name, O_RDWR | O_CREAT | O_EXCL | O_TRUNC, 0600, &error, nullptr);
    ASSERT_NE(scratch, -1) << error;
    // A kill -9 now would leave nothing behind in the temporary folder.
    EXPECT_EQ(entries(folder), 0u);
    const std::string data(100000, 'd');
    EXPECT_EQ(io.write(scratch, data.data(), uint32_t(data.size()), &error, nullptr), data.size());
    EXPECT_EQ(io.seek(scratch, 0, SEEK_SET, &error, nullptr), 0);
    std::string back(data.size(), '\0');
    EXPECT_EQ(io.read(scratch, back.data(), uint32_t(back.size()), &error, nullptr), back.size());
    EXPECT_EQ(back, data);
    EXPECT_EQ(io.close(scratch, &error, nullptr), 0);
    EXPECT_EQ(io.remove(name, &error, nullptr), 0);
    EXPECT_EQ(entries(folder), 0u);
    ::unsetenv("TMPDIR");
    fs::remove_all(folder);
}

}  // namespace
}  // namespace pcn::cabinet
