#pragma once
// A fresh temporary folder per test, removed afterwards; it is also the data
// folder, so that records get a known default target folder.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/AtomicFile.h"

namespace pcn::test {

class TestFolder {
public:
    TestFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "pcn-model-XXXXXX").string();
        char* made = ::mkdtemp(pattern.data());
        path_ = made ? std::string(made) + "/" : std::string();
        ::setenv("PCN_DATA_DIR", path_.c_str(), 1);
    }
    ~TestFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
        ::unsetenv("PCN_DATA_DIR");
    }
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    // Ends with a separator.
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

// A file's bytes; empty when it cannot be read.
inline std::string readFile(const std::string& path) {
    std::string bytes;
    readWholeFile(path, bytes);
    return bytes;
}

// Writes the bytes as the whole file, making its folder first.
inline void writeFile(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace pcn::test
