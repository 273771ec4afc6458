// libFuzzer target: FTP site file bytes. A load either throws
// ArchiveException or gives sites that store and load back unchanged.

#include <cstdint>
#include <string_view>

#include "app/core/CPCNDoc.h"
#include "model/Archive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::unique_ptr<pcn::CFTPObj>> sites;
    try {
        sites = pcn::CPCNDoc::ParseFtpSiteFile(bytes);
    } catch (const pcn::ArchiveException&) {
        return 0;
    }
    auto again = pcn::CPCNDoc::ParseFtpSiteFile(pcn::CPCNDoc::StoreFtpSiteFile(sites));
    if (again.size() != sites.size()) __builtin_trap();
    for (size_t i = 0; i < sites.size(); ++i)
        if (!(*again[i] == *sites[i])) __builtin_trap();
    return 0;
}
