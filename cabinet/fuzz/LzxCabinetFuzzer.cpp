// Any bytes, any window, any level: the LZX cabinet must be read back by
// cabextract exactly. The input's first bytes choose the window, the level,
// how often the rest is repeated (so that inputs reach over several frames)
// and where it is cut into files.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cabinet/CabinetCompressor.h"
#include "cabinet/PosixCabinetIo.h"

namespace {

namespace fs = std::filesystem;
using namespace pcn::cabinet;

bool nameNext(CabinetParams* next, uint32_t, void*) {
    std::snprintf(next->cabinetName, sizeof next->cabinetName, "f%d.cab", next->cabinetNumber);
    return true;
}

std::string runAndRead(const std::string& command, int& status) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) std::abort();
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    status = ::pclose(pipe);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4) return 0;
    const unsigned bits = 15 + data[0] % 7;
    const int level = 1 + data[1] % 9;
    const unsigned repeats = 1 + data[2] % 24;
    const unsigned files = 1 + data[3] % 3;
    const std::string piece(reinterpret_cast<const char*>(data + 4), size - 4);
    std::string all;
    for (unsigned r = 0; r < repeats; ++r) {
        all += piece;
        if (!all.empty() && r % 2) all.back() = char(all.back() ^ r);
    }

    char pattern[] = "/tmp/pcn-lzx-fuzz-XXXXXX";
    if (!::mkdtemp(pattern)) std::abort();
    const fs::path dir = pattern;
    std::vector<std::string> parts;
    for (unsigned f = 0; f < files; ++f) {
        const size_t from = all.size() * f / files, to = all.size() * (f + 1) / files;
        parts.push_back(all.substr(from, to - from));
        std::ofstream(dir / ("in" + std::to_string(f)), std::ios::binary) << parts.back();
    }

    CabinetParams params;
    params.folderThreshold = 90000000;
    std::snprintf(params.cabinetPath, sizeof params.cabinetPath, "%s/", dir.c_str());
    std::snprintf(params.cabinetName, sizeof params.cabinetName, "f1.cab");
    CabinetError error;
    CabinetCompressor* c = createCompressor(&error, posixCallbacks(), params, nullptr, {level, 0});
    if (!c) std::abort();
    bool ok = true;
    for (unsigned f = 0; ok && f < files; ++f) {
        const std::string source = (dir / ("in" + std::to_string(f))).string();
        const std::string stored = "file" + std::to_string(f);
        ok = addFile(c, source.c_str(), stored.c_str(), false, nameNext, nullptr, posixFileInfo, lzxCompression(bits));
    }
    ok = ok && flushCabinet(c, false, nameNext, nullptr);
    destroyCompressor(c);
    if (!ok) std::abort();

    for (unsigned f = 0; f < files; ++f) {
        int status = -1;
        const std::string got = runAndRead("cabextract -q -p -F file" + std::to_string(f) + " '" +
                                               (dir / "f1.cab").string() + "' 2>/dev/null",
                                           status);
        if (status != 0 || got != parts[f]) {
            std::fprintf(stderr, "cabextract read back file%u wrongly (window %u, level %d)\n", f, bits, level);
            std::abort();
        }
    }
    fs::remove_all(dir);
    return 0;
}
