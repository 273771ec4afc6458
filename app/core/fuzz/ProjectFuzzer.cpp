// libFuzzer target: project file bytes through the document's whole load
// (FTP site file, version, paths, existence checks, package loads).

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "app/core/CPCNDoc.h"
#include "model/Archive.h"

namespace {
char dataFolder[] = "/tmp/pcn-fuzz-project-XXXXXX";
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // An empty data folder of its own: no FTP site file to read.
    if (::mkdtemp(dataFolder)) {
        ::setenv("PCN_DATA_DIR", dataFolder, 1);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(dataFolder, ignored);
        });
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    try {
        auto paths = pcn::CPCNDoc::ParseProjectFile(bytes);
        if (pcn::CPCNDoc::ParseProjectFile(pcn::CPCNDoc::StoreProjectFile(paths)) != paths) __builtin_trap();
    } catch (const pcn::ArchiveException&) {
    }
    pcn::CPCNDoc doc;
    pcn::CArchive ar(bytes);
    try {
        doc.Serialize(ar);
    } catch (const pcn::ArchiveException&) {
        return 0;
    }
    if (doc.m_listPackages.size() > doc.m_arrPackageFiles.size()) __builtin_trap();
    return 0;
}
