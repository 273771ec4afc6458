// Damaged cabinets handed to what `parcelon list` does: open the cabinet from
// memory through our libmspack glue, list its files, and decompress a bounded
// amount of their data. Nothing may crash, hang or allocate without bound.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "verifying/CabinetSet.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    pcn::verifying::CabinetSet set;
    if (!set.openMemory(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.cab")) return 0;
    uint64_t budget = 4u << 20;
    for (size_t i = 0; i < set.entries().size() && budget > 0; ++i) {
        std::string problem;
        set.extract(i, [&](std::string_view bytes) {
            budget = bytes.size() >= budget ? 0 : budget - bytes.size();
            return budget > 0;
        }, problem);
    }
    return 0;
}
