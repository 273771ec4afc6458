#pragma once
// Helpers for the signing tests: a scratch folder, a host that records what
// the runner reports, fake tools, and a builder of small stored cabinets.

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/Process.h"
#include "signing/ToolRunner.h"

namespace pcn::test {

namespace fs = std::filesystem;

class ScratchDir {
public:
    ScratchDir() {
        std::string pattern = (fs::temp_directory_path() / "pcn-signing-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~ScratchDir() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }
    fs::path operator/(const std::string& name) const { return path_ / name; }

private:
    fs::path path_;
};

inline void writeFile(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
}

inline std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void writeScript(const fs::path& file, const std::string& body) {
    writeFile(file, "#!/bin/sh\n" + body);
    fs::permissions(file, fs::perms::owner_all);
}

inline std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return lines;
}

// Runs a program and returns its result (stdout and stderr together).
inline ProcessResult run(const std::string& program, const std::vector<std::string>& args) {
    ProcessOptions o;
    o.searchPath = true;
    return runProcess(program, args, o);
}

// Fake SignCode and ChkTrust in a program folder of their own (PCN_PROGRAM_DIR
// points there while the object lives); each records its arguments, one per
// line in brackets, and "call" in calls.txt, then prints what the test asks.
class FakeTools {
public:
    FakeTools() {
        const char* old = std::getenv("PCN_PROGRAM_DIR");
        saved_ = old ? old : "";
        ::setenv("PCN_PROGRAM_DIR", dir.path().c_str(), 1);
    }
    ~FakeTools() { ::setenv("PCN_PROGRAM_DIR", saved_.c_str(), 1); }

    void tool(const std::string& name, const std::string& print, int exitCode = 0) {
        const std::string log = (dir / "calls.txt").string();
        writeScript(dir / name, "for a in \"$@\"; do printf '[%s]\\n' \"$a\" >> '" + log + "'; done\necho call >> '" +
                                    log + "'\n" + print + "\nexit " + std::to_string(exitCode) + "\n");
    }
    std::string calls() const { return readFile(dir / "calls.txt"); }
    void clearCalls() const { fs::remove(dir / "calls.txt"); }

    ScratchDir dir;

private:
    std::string saved_;
};

// Test certificates and keys made with openssl in folder k: the publisher's
// cert.pem/key.pem (also as cert.spc and key.pvk), a time-stamp authority's
// tsa.pem/tsa.key, someone else's other-cert.pem/other.pem, and app.exe, a
// small Windows program built with MinGW. Empty, or what failed.
inline std::string makeTestKeys(const fs::path& k) {
    const std::vector<std::pair<const char*, std::vector<std::string>>> steps{
        {"certificate",
         {"openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", (k / "key.pem").string(), "-out",
          (k / "cert.pem").string(), "-days", "30", "-subj", "/CN=Parcelon Test Publisher", "-addext",
          "extendedKeyUsage=codeSigning"}},
        {"spc",
         {"openssl", "crl2pkcs7", "-nocrl", "-certfile", (k / "cert.pem").string(), "-outform", "DER", "-out",
          (k / "cert.spc").string()}},
        {"pvk",
         {"openssl", "rsa", "-in", (k / "key.pem").string(), "-outform", "PVK", "-pvk-none", "-out",
          (k / "key.pvk").string()}},
        {"tsa",
         {"openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", (k / "tsa.key").string(), "-out",
          (k / "tsa.pem").string(), "-days", "30", "-subj", "/CN=Parcelon Test TSA", "-addext",
          "extendedKeyUsage=critical,timeStamping"}},
        {"other key",
         {"openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", (k / "other.pem").string(), "-out",
          (k / "other-cert.pem").string(), "-days", "30", "-subj", "/CN=Someone Else"}},
        {"mingw", {"x86_64-w64-mingw32-gcc", "-o", (k / "app.exe").string(), (k / "app.c").string()}},
    };
    writeFile(k / "app.c", "int main(void) { return 42; }\n");
    for (const auto& [what, command] : steps) {
        ProcessOptions o;
        o.searchPath = true;
        ProcessResult r = runProcess(command.front(), {command.begin() + 1, command.end()}, o);
        if (!r.started || r.exitCode != 0) return std::string(what) + ": " + r.output;
    }
    return {};
}

class RecordingHost : public ToolHost {
public:
    void setStatus(std::string_view text) override {
        std::lock_guard lock(m);
        statuses.emplace_back(text);
    }
    void appendOutput(std::string_view text) override {
        std::lock_guard lock(m);
        outputs.emplace_back(text);
    }
    void finished(bool success) override {
        std::lock_guard lock(m);
        ends.push_back(success);
    }
    // Everything appended, as the output box shows it.
    std::string box() const {
        std::string all;
        for (const auto& t : outputs) all += "\r\n" + t;
        return all;
    }
    std::mutex m;
    std::vector<std::string> statuses, outputs;
    std::vector<bool> ends;
};

// A cabinet with one stored (uncompressed) folder per file and one data
// block per folder, written field by field after the published format.
struct TestCabinet {
    std::vector<std::pair<std::string, std::string>> files;  // name, contents
    uint16_t headerReserve = 0;
    bool reserveFlag = false;  // reserve fields present (implied by headerReserve)
    bool previous = false;     // continues an earlier cabinet
    bool next = false;         // continued by a later cabinet
    char reserveFill = 0;
};

inline std::string buildCabinet(const TestCabinet& layout) {
    auto le16 = [](std::string& s, uint16_t v) { s += char(v & 0xFF); s += char(v >> 8); };
    auto le32 = [&](std::string& s, uint32_t v) { le16(s, uint16_t(v & 0xFFFF)); le16(s, uint16_t(v >> 16)); };
    uint16_t flags = 0;
    std::string extra;
    if (layout.headerReserve || layout.reserveFlag) {
        flags |= 4;
        le16(extra, layout.headerReserve);
        extra += '\0';
        extra += '\0';
        extra += std::string(layout.headerReserve, layout.reserveFill);
    }
    if (layout.previous) {
        flags |= 1;
        extra += std::string("first.cab\0Disk 1\0", 17);
    }
    if (layout.next) {
        flags |= 2;
        extra += std::string("third.cab\0Disk 3\0", 17);
    }
    const uint32_t count = uint32_t(layout.files.size());
    const uint32_t foldersAt = 36 + uint32_t(extra.size());
    const uint32_t filesAt = foldersAt + 8 * count;
    std::string fileEntries;
    for (uint32_t i = 0; i < count; ++i) {
        le32(fileEntries, uint32_t(layout.files[i].second.size()));
        le32(fileEntries, 0);             // offset in folder
        le16(fileEntries, uint16_t(i));   // folder index
        le16(fileEntries, 0x5A21);        // date
        le16(fileEntries, 0x6000);        // time
        le16(fileEntries, 0x20);          // archive attribute
        fileEntries += layout.files[i].first + '\0';
    }
    const uint32_t dataAt = filesAt + uint32_t(fileEntries.size());
    std::string folders, data;
    for (uint32_t i = 0; i < count; ++i) {
        le32(folders, dataAt + uint32_t(data.size()));
        le16(folders, 1);  // one data block
        le16(folders, 0);  // stored
        const std::string& bytes = layout.files[i].second;
        le32(data, 0);  // no checksum
        le16(data, uint16_t(bytes.size()));
        le16(data, uint16_t(bytes.size()));
        data += bytes;
    }
    std::string cab = "MSCF";
    le32(cab, 0);
    le32(cab, dataAt + uint32_t(data.size()));
    le32(cab, 0);
    le32(cab, filesAt);
    le32(cab, 0);
    cab += char(3);
    cab += char(1);
    le16(cab, uint16_t(count));
    le16(cab, uint16_t(count));
    le16(cab, flags);
    le16(cab, 0x1234);  // set id
    le16(cab, layout.previous ? 1 : 0);
    return cab + extra + folders + fileEntries + data;
}

inline std::vector<std::pair<std::string, std::string>> sampleFiles() {
    std::string binary;
    for (int i = 0; i < 3000; ++i) binary += char(i * 7 % 251);
    return {{"readme.txt", std::string(40, 'x') + "\r\nHello from the package.\r\n"}, {"data.bin", binary}};
}

// One set of test keys for a whole test suite (openssl and MinGW take a
// while): made in SetUpTestSuite, removed in TearDownTestSuite.
class SuiteKeys {
public:
    static void make() {
        folder_ = new ScratchDir;
        std::string failed = makeTestKeys(folder_->path());
        ASSERT_TRUE(failed.empty()) << failed;
    }
    static void remove() {
        delete folder_;
        folder_ = nullptr;
    }
    static fs::path path() { return folder_->path(); }
    static std::string key(const std::string& name) { return (path() / name).string(); }

private:
    static inline ScratchDir* folder_ = nullptr;
};

}  // namespace pcn::test
