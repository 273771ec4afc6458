// libFuzzer target for the walk over a component's imports. The input is a
// little folder of images separated by "@@@@": the first is the component,
// the others are found under the names "lib1.dll", "lib2.dll", ... and also
// under any name whose digits pick an image, so that hostile import tables
// can form cycles, chains and self-imports over the same bytes.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "listers/host/ImportClosure.h"

namespace {

std::vector<std::string_view> splitImages(std::string_view input) {
    std::vector<std::string_view> images;
    constexpr std::string_view kSeparator = "@@@@";
    while (images.size() < 16) {
        size_t at = input.find(kSeparator);
        images.push_back(input.substr(0, at));
        if (at == std::string_view::npos) break;
        input.remove_prefix(at + kSeparator.size());
    }
    return images;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> images = splitImages(input);
    pcn::listers::LocateImport locate = [&](std::string_view name,
                                            uint16_t) -> std::optional<pcn::listers::FoundImage> {
        size_t pick = 0;
        for (char c : name)
            if (c >= '0' && c <= '9') pick = pick * 10 + static_cast<size_t>(c - '0');
        if (pick == 0 || pick >= images.size()) return std::nullopt;
        return pcn::listers::FoundImage{"lib" + std::to_string(pick), images[pick]};
    };
    auto modules = pcn::listers::walkImports("component.dll", images.front(), locate, 4096);
    if (modules && modules->size() > 4096) __builtin_trap();
    return 0;
}
