#pragma once
// The libraries a PE component would pull in: its import and delay-import
// tables, and theirs, breadth first. Each name is visited once (ignoring
// case, as Windows compares module names), so import cycles end; damaged
// images contribute no imports; the walk stops after a fixed number of
// modules whatever the tables say.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pcn::listers {

// A library image found for an import: where it is and its bytes, which must
// stay valid for the rest of the walk.
struct FoundImage {
    std::string path;
    std::string_view bytes;
};

// Finds the library `name` for an importer of the given machine; nullopt
// when there is none.
using LocateImport = std::function<std::optional<FoundImage>(std::string_view name, uint16_t machine)>;

struct ImportedModule {
    std::string name;  // as the first importer names it
    std::string path;  // where it was found; empty when it was not
};

inline constexpr size_t kMaxClosureModules = 20000;

// The modules the component at componentPath imports, directly or not, in
// the order they are first named; the component itself is not among them.
// Nullopt when the component's bytes are no PE image.
std::optional<std::vector<ImportedModule>> walkImports(const std::string& componentPath,
                                                       std::string_view componentBytes,
                                                       const LocateImport& locate,
                                                       size_t maxModules = kMaxClosureModules);

}  // namespace pcn::listers
