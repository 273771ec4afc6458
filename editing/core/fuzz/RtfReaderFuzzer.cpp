// The summary reader on arbitrary bytes: it must always give a document.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "editing/core/RtfReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const pcn::RtfDocument document = pcn::ParseRtf(std::string_view(reinterpret_cast<const char*>(data), size));
    if (document.paragraphs.empty()) __builtin_trap();
    return 0;
}
