// libFuzzer target for the component reader: every reader over the same
// bytes, as `parcelon info` runs them, plus the version resource and type
// library parsers on the raw input so that they are reached directly.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/pe/Component.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    pcn::pe::ComponentReport report = pcn::pe::describeComponent(bytes);
    (void)report;
    if (auto resource = pcn::pe::VersionResource::parse(bytes)) {
        (void)resource->fixedInfo();
        (void)pcn::pe::componentVersion(*resource);
    }
    (void)pcn::pe::parseTypeLibrary(bytes);
    return 0;
}
