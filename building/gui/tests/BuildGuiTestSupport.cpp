#include "building/gui/tests/BuildGuiTestSupport.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <vector>

namespace pcn::test {

TempFolder::TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "pcn-buildgui-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void makeCabinetPackage(CCabObj& package, const std::filesystem::path& root, const std::string& name) {
    package.m_strProduct = name;
    package.m_strCompany = "Acme";
    package.m_strProjectName = name;
    package.m_strSourceFolder = (root / ("src-" + name)).string() + "/";
    package.m_strTargetFolder = (root / "out" / name).string();
    package.m_bCab = 1;
    package.m_bCabSelf = 0;
    package.m_bCabWiz = 0;
    package.m_bCapSingle = 1;
    package.m_bCompression = 1;
    package.m_bSignature = 0;
    package.m_bCreateInf = 0;
    package.m_bIncludeInf = 0;
}

std::string addSourceFile(CCabObj& package, const std::string& relative, const std::string& bytes) {
    const std::filesystem::path path = std::filesystem::path(package.m_strSourceFolder) / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
    package.AddFile(path.string());
    return path.string();
}

std::string addLargeSourceFile(CCabObj& package, const std::string& relative, uint64_t size) {
    const std::filesystem::path path = std::filesystem::path(package.m_strSourceFolder) / relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    std::vector<uint64_t> chunk(1 << 17);
    uint64_t state = 0x9E3779B97F4A7C15ull;
    for (uint64_t written = 0; written < size;) {
        for (uint64_t& word : chunk) {
            state ^= state << 13;
            state ^= state >> 7;
            state ^= state << 17;
            word = state;
        }
        const uint64_t bytes = std::min<uint64_t>(size - written, chunk.size() * sizeof(uint64_t));
        out.write(reinterpret_cast<const char*>(chunk.data()), std::streamsize(bytes));
        written += bytes;
    }
    package.AddFile(path.string());
    return path.string();
}

void makeLargePackage(CCabObj& package, const std::filesystem::path& root) {
    constexpr uint64_t kLargeFileSize = 200ull * 1024 * 1024;
    static TempFolder shared;
    static const std::unique_ptr<CCabObj> large = [] {
        auto p = std::make_unique<CCabObj>();
        makeCabinetPackage(*p, shared.path(), "Large");
        addLargeSourceFile(*p, "large.bin", kLargeFileSize);
        return p;
    }();
    package.CopyFrom(*large);
    package.m_strTargetFolder = (root / "out" / "Large").string();
}

bool cabextractAccepts(const std::filesystem::path& cabinet, std::string* output) {
    const std::string command = "cabextract -t '" + cabinet.string() + "' 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return false;
    std::string text;
    char buffer[4096];
    while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) text.append(buffer, n);
    const int status = ::pclose(pipe);
    if (output) *output = text;
    return status == 0;
}

}  // namespace pcn::test
