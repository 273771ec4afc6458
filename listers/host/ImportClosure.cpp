#include "listers/host/ImportClosure.h"

#include <deque>
#include <set>

#include "platform/Paths.h"
#include "platform/pe/PeImage.h"

namespace pcn::listers {
namespace {

std::string folded(std::string_view name) {
    std::string result(name);
    for (char& c : result)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return result;
}

struct PendingImage {
    std::string_view bytes;
    uint16_t machine;
};

}  // namespace

std::optional<std::vector<ImportedModule>> walkImports(const std::string& componentPath,
                                                       std::string_view componentBytes,
                                                       const LocateImport& locate, size_t maxModules) {
    auto component = pe::PeImage::parse(componentBytes);
    if (!component) return std::nullopt;

    std::vector<ImportedModule> modules;
    std::set<std::string> seenNames{folded(fileNamePart(componentPath))};
    std::set<std::string> loadedPaths{componentPath};
    std::deque<PendingImage> pending{{componentBytes, component->machine()}};

    while (!pending.empty() && modules.size() < maxModules) {
        PendingImage current = pending.front();
        pending.pop_front();
        auto image = pe::PeImage::parse(current.bytes);
        if (!image) continue;
        std::vector<std::string> names = image->importedLibraries();
        std::vector<std::string> delayed = image->delayLoadedLibraries();
        names.insert(names.end(), delayed.begin(), delayed.end());
        for (const std::string& name : names) {
            if (modules.size() >= maxModules) break;
            if (!seenNames.insert(folded(name)).second) continue;
            ImportedModule module{name, {}};
            if (auto found = locate(name, current.machine)) {
                module.path = found->path;
                if (loadedPaths.insert(found->path).second) pending.push_back({found->bytes, current.machine});
            }
            modules.push_back(std::move(module));
        }
    }
    return modules;
}

}  // namespace pcn::listers
