#pragma once
// What the web tests share: the PE fixtures, the hand-written expected texts,
// temporary folders and settings files.

#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "platform/AtomicFile.h"

namespace pcn::test {

inline std::string fixture(const std::string& name) {
    return std::string(PCN_SOURCE_DIR) + "/platform/pe/fixtures/bin/" + name;
}

inline std::string expected(const std::string& name) {
    std::string text;
    EXPECT_TRUE(readWholeFile(std::string(PCN_SOURCE_DIR) + "/web/tests/expected/" + name, text)) << name;
    return text;
}

inline std::string readText(const std::string& path) {
    std::string text;
    readWholeFile(path, text);
    return text;
}

// A fresh folder removed afterwards, with its own settings file.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "pcn-web-XXXXXX").string();
        path_ = std::string(::mkdtemp(pattern.data())) + "/";
        ::setenv("PCN_SETTINGS", (path_ + "settings.conf").c_str(), 1);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + name; }

private:
    std::string path_;
};

}  // namespace pcn::test
