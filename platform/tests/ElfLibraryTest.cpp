// Libraries found and read as files: the loader's cache, the identity of a
// file, the dynamic symbols of a shared object, and damaged input of each.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "platform/ElfLibrary.h"

namespace pcn {
namespace {

namespace fs = std::filesystem;

class ElfLibraryTest : public ::testing::Test {
protected:
    ElfLibraryTest() : folder_(fs::temp_directory_path() / ("pcn-elf-" + std::to_string(::getpid()))) {
        fs::create_directories(folder_);
    }
    ~ElfLibraryTest() override { fs::remove_all(folder_); }
    std::string write(const std::string& name, const std::string& bytes) {
        const fs::path path = folder_ / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path.string();
    }
    fs::path folder_;
};

TEST_F(ElfLibraryTest, FindsTheCLibraryAsTheLoaderWouldAndReadsItsSymbols) {
    const ElfIdentity native = nativeElfIdentity();
    ASSERT_NE(native.machine, 0);
    const auto cache = readLdCache("/etc/ld.so.cache");
    EXPECT_FALSE(cache.empty());
    const auto libc = ElfLibrarySearch(native).find("libc.so.6");
    ASSERT_TRUE(libc.has_value());
    EXPECT_EQ(elfIdentity(*libc), native);
    EXPECT_TRUE(elfDefinesSymbol(*libc, "malloc"));
    EXPECT_FALSE(elfDefinesSymbol(*libc, "DllRegisterServer"));
    EXPECT_FALSE(ElfLibrarySearch(native).find("libpcn-nothing-of-the-kind.so.9").has_value());
    EXPECT_FALSE(ElfLibrarySearch(native).find("../libc.so.6").has_value());
}

// Truncations and random bytes after a real header: no crash, no hang, no
// symbol; a FIFO is no library and is never waited on.
TEST_F(ElfLibraryTest, DamagedFilesAndFifosAreNoLibraries) {
    const auto libc = ElfLibrarySearch(nativeElfIdentity()).find("libc.so.6");
    ASSERT_TRUE(libc.has_value());
    std::ifstream in(*libc, std::ios::binary);
    std::string head(4096, '\0');
    in.read(head.data(), head.size());
    std::mt19937 random(7);
    for (size_t size : {0u, 3u, 19u, 20u, 64u, 200u, 4096u}) {
        std::string bytes = head.substr(0, size);
        for (size_t i = 20; i < bytes.size(); ++i) bytes[i] = char(random());
        const std::string path = write("cut.so", bytes);
        EXPECT_FALSE(elfDefinesSymbol(path, "malloc")) << size;
        EXPECT_TRUE(readLdCache(path).empty()) << size;
    }
    std::string cache = "glibc-ld.so.cache1.1" + std::string(4, '\xFF') + std::string(100, '\x7F');
    EXPECT_TRUE(readLdCache(write("ld.so.cache", cache)).empty());

    const std::string fifo = (folder_ / "libfifo.so").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(elfIdentity(fifo).has_value());
    EXPECT_FALSE(elfDefinesSymbol(fifo, "x"));
    EXPECT_TRUE(readLdCache(fifo).empty());
}

}  // namespace
}  // namespace pcn
