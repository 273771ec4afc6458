// libFuzzer target: package file bytes. A load either throws
// ArchiveException or gives a record that stores and loads back unchanged.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "model/Archive.h"
#include "model/PackageFile.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Constructing a record asks for the data folder; keep it out of the tree.
    ::setenv("PCN_DATA_DIR", "/tmp", 0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::unique_ptr<pcn::CCabObj> package;
    try {
        package = pcn::ParsePackage(bytes);
    } catch (const pcn::ArchiveException&) {
        return 0;
    }
    std::string stored = pcn::StorePackage(*package);
    auto again = pcn::ParsePackage(stored);
    if (!again->StoredMembersEqual(*package)) __builtin_trap();
    return 0;
}
