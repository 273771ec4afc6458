#include "cabinet/tests/CabinetTestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>

#include "cabinet/PosixCabinetIo.h"

namespace pcn::cabinet::test {

ScratchFolder::ScratchFolder() {
    std::string pattern = (fs::temp_directory_path() / "pcn-cab-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    path_ = pattern;
}
ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void writeBytes(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

std::string readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string textData(size_t size, unsigned seed) {
    static const char* words[] = {"cabinet ", "folder ", "deflate ", "block ", "window ", "history ",
                                  "Parcelon ", "setup\r\n", "package ", "0x7FFF ", "MSZIP ", "file "};
    std::mt19937 rng(seed);
    std::string out;
    out.reserve(size + 16);
    while (out.size() < size) out += words[rng() % 12];
    out.resize(size);
    return out;
}

std::string noiseData(size_t size, unsigned seed) {
    std::mt19937 rng(seed);
    std::string out(size, '\0');
    for (char& c : out) c = char(rng());
    return out;
}

namespace {

struct NamingContext {
    std::string first;
    std::vector<std::string>* names;
};

bool nextCabinetName(CabinetParams* next, uint32_t, void* client) {
    auto* ctx = static_cast<NamingContext*>(client);
    const std::string name = "set" + std::to_string(next->cabinetNumber) + ".cab";
    std::snprintf(next->cabinetName, sizeof next->cabinetName, "%s", name.c_str());
    ctx->names->push_back(name);
    return true;
}

}  // namespace

WriteResult writeCabinets(const fs::path& folder, const std::vector<SourceFile>& files, CabinetParams params,
                          CompressionType type, const std::string& firstName, const CompressionTuning& tuning) {
    WriteResult result;
    const fs::path sources = folder / "sources";
    std::vector<fs::path> paths;
    for (size_t i = 0; i < files.size(); ++i) {
        paths.push_back(sources / ("f" + std::to_string(i)));
        writeBytes(paths.back(), files[i].bytes);
    }
    fs::create_directories(folder / "out");
    std::snprintf(params.cabinetPath, sizeof params.cabinetPath, "%s/", (folder / "out").c_str());
    std::snprintf(params.cabinetName, sizeof params.cabinetName, "%s", firstName.c_str());
    result.cabinets.push_back(firstName);
    NamingContext naming{firstName, &result.cabinets};
    CabinetCompressor* c = createCompressor(&result.error, posixCallbacks(), params, &naming, tuning);
    if (!c) return result;
    bool ok = true;
    for (size_t i = 0; ok && i < files.size(); ++i)
        ok = addFile(c, paths[i].c_str(), files[i].nameInCabinet.c_str(), false, nextCabinetName, nullptr,
                     posixFileInfo, files[i].type < 0 ? type : CompressionType(files[i].type));
    if (ok) ok = flushCabinet(c, false, nextCabinetName, nullptr);
    destroyCompressor(c);
    result.ok = ok;
    return result;
}

CommandResult run(const std::string& command) {
    CommandResult r;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return r;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) r.output.append(buffer.data(), n);
    const int status = ::pclose(pipe);
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

std::string quoted(const fs::path& p) {
    std::string out = "'";
    for (char c : p.string()) {
        if (c == '\'') out += "'\\''";
        else out += c;
    }
    return out + "'";
}

std::map<std::string, std::string> filesUnder(const fs::path& folder) {
    std::map<std::string, std::string> out;
    if (!fs::exists(folder)) return out;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file()) out[fs::relative(entry.path(), folder).generic_string()] = readBytes(entry.path());
    return out;
}

std::map<std::string, std::string> expectedTree(const std::vector<SourceFile>& files) {
    std::map<std::string, std::string> out;
    for (const auto& f : files) {
        std::string name = f.nameInCabinet;
        for (char& c : name)
            if (c == '\\') c = '/';
        out[name] = f.bytes;
    }
    return out;
}

ParsedCabinet parseCabinet(const std::string& b) {
    ParsedCabinet c;
    size_t at = 0;
    auto u8 = [&] { return at < b.size() ? uint8_t(b[at++]) : uint8_t(0); };
    auto u16 = [&] { uint16_t v = u8(); return uint16_t(v | (u8() << 8)); };
    auto u32 = [&] { uint32_t v = u16(); return v | (uint32_t(u16()) << 16); };
    auto str = [&] {
        std::string s;
        while (at < b.size() && b[at]) s += b[at++];
        ++at;
        return s;
    };
    at = 8;
    c.size = u32();
    at = 26;
    const uint16_t folders = u16(), files = u16();
    c.flags = u16();
    c.setId = u16();
    c.index = u16();
    uint8_t folderReserve = 0;
    if (c.flags & 4) {
        c.headerReserve = u16();
        folderReserve = u8();
        u8();
        at += c.headerReserve;
    }
    if (c.flags & 1) {
        c.previousCabinet = str();
        c.previousDisk = str();
    }
    if (c.flags & 2) {
        c.nextCabinet = str();
        c.nextDisk = str();
    }
    for (uint16_t i = 0; i < folders; ++i) {
        ParsedCabinet::Folder f;
        f.dataOffset = u32();
        f.blocks = u16();
        f.type = u16();
        at += folderReserve;
        c.folders.push_back(f);
    }
    for (uint16_t i = 0; i < files; ++i) {
        ParsedCabinet::File f;
        f.size = u32();
        f.folderOffset = u32();
        f.folder = u16();
        f.date = u16();
        f.time = u16();
        f.attributes = u16();
        f.name = str();
        c.files.push_back(f);
    }
    return c;
}

void expectCabextractTree(const fs::path& folder, const std::string& firstCabinet,
                          const std::map<std::string, std::string>& expected) {
    const fs::path cab = folder / "out" / firstCabinet;
    const CommandResult test = run("cabextract -t " + quoted(cab));
    EXPECT_EQ(test.exitCode, 0) << test.output;
    EXPECT_NE(test.output.find("All done, no errors."), std::string::npos) << test.output;
    const fs::path into = folder / "cabextract";
    const CommandResult extract = run("cabextract -q -d " + quoted(into) + " " + quoted(cab));
    EXPECT_EQ(extract.exitCode, 0) << extract.output;
    const auto got = filesUnder(into);
    // The list first: a reader can drop files silently and still succeed.
    std::vector<std::string> gotNames, wantNames;
    for (const auto& [n, b] : got) gotNames.push_back(n);
    for (const auto& [n, b] : expected) wantNames.push_back(n);
    EXPECT_EQ(gotNames, wantNames);
    for (const auto& [name, bytes] : expected) {
        auto it = got.find(name);
        if (it == got.end()) continue;
        EXPECT_TRUE(it->second == bytes) << "content differs: " << name;
    }
}

void expectGcabTree(const fs::path& folder, const std::string& cabinet, const std::map<std::string, std::string>& expected) {
    const fs::path cab = folder / "out" / cabinet;
    const CommandResult list = run("gcab -t " + quoted(cab));
    EXPECT_EQ(list.exitCode, 0) << list.output;
    for (const auto& [name, bytes] : expected) {
        std::string stored = name;
        EXPECT_NE(list.output.find(fs::path(stored).filename().string()), std::string::npos) << stored;
    }
    const fs::path into = folder / "gcab";
    fs::create_directories(into);
    const CommandResult extract = run("gcab -x -C " + quoted(into) + " " + quoted(cab));
    EXPECT_EQ(extract.exitCode, 0) << extract.output;
    const auto got = filesUnder(into);
    EXPECT_EQ(got.size(), expected.size());
    for (const auto& [name, bytes] : expected) {
        auto it = got.find(name);
        ASSERT_NE(it, got.end()) << "gcab did not extract " << name;
        EXPECT_TRUE(it->second == bytes) << "content differs: " << name;
    }
}

}  // namespace pcn::cabinet::test
