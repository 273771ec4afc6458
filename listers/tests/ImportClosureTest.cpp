#include <gtest/gtest.h>

#include <map>

#include "listers/host/ImportClosure.h"
#include "listers/tests/HandMadePe.h"

namespace pcn::listers {
namespace {

using pcn::testing::handMadePe;

// A folder of in-memory images, found by exact name.
struct MemoryFolder {
    std::map<std::string, std::string, std::less<>> images;
    std::vector<std::pair<std::string, uint16_t>> asked;

    LocateImport locator() {
        return [this](std::string_view name, uint16_t machine) -> std::optional<FoundImage> {
            asked.emplace_back(std::string(name), machine);
            auto found = images.find(name);
            if (found == images.end()) return std::nullopt;
            return FoundImage{"/lib/" + found->first, found->second};
        };
    }
};

std::vector<std::string> namesOf(const std::vector<ImportedModule>& modules) {
    std::vector<std::string> names;
    for (const auto& module : modules) names.push_back(module.name + (module.path.empty() ? "?" : ""));
    return names;
}

TEST(ImportClosureTest, FollowsImportsAndDelayImportsBreadthFirstAndMarksWhatIsMissing) {
    MemoryFolder folder;
    folder.images["a.dll"] = handMadePe({"c.dll", "KERNEL32.dll"});
    folder.images["b.dll"] = handMadePe({}, {"d.dll"});
    folder.images["c.dll"] = handMadePe({});
    std::string component = handMadePe({"a.dll", "KERNEL32.DLL"}, {"b.dll"});
    auto modules = walkImports("/x/control.ocx", component, folder.locator());
    ASSERT_TRUE(modules);
    // KERNEL32 is named twice with different case: one module.
    EXPECT_EQ(namesOf(*modules), (std::vector<std::string>{"a.dll", "KERNEL32.DLL?", "b.dll", "c.dll", "d.dll?"}));
    EXPECT_EQ((*modules)[0].path, "/lib/a.dll");
    for (const auto& asked : folder.asked) EXPECT_EQ(asked.second, 0x8664) << asked.first;
}

TEST(ImportClosureTest, CyclesAndSelfImportsEnd) {
    MemoryFolder folder;
    folder.images["cyclea.dll"] = handMadePe({"cycleb.dll"});
    folder.images["cycleb.dll"] = handMadePe({"CYCLEA.DLL", "cycleb.dll"});
    folder.images["self.dll"] = handMadePe({"self.dll"});
    auto modules = walkImports("/x/cyclea.dll", folder.images["cyclea.dll"], folder.locator());
    ASSERT_TRUE(modules);
    EXPECT_EQ(namesOf(*modules), (std::vector<std::string>{"cycleb.dll"}));
    // The same file under two names is walked once.
    folder.images["other.dll"] = handMadePe({"self.dll"});
    auto selfModules = walkImports("/x/top.dll", handMadePe({"self.dll", "other.dll"}), folder.locator());
    ASSERT_TRUE(selfModules);
    EXPECT_EQ(namesOf(*selfModules), (std::vector<std::string>{"self.dll", "other.dll"}));
}

TEST(ImportClosureTest, ManyImportsStopAtTheBound) {
    std::vector<std::string> names;
    for (int i = 0; i < 10000; ++i) names.push_back("lib" + std::to_string(i) + ".dll");
    MemoryFolder folder;
    auto all = walkImports("/x/big.dll", handMadePe(names), folder.locator());
    ASSERT_TRUE(all);
    EXPECT_EQ(all->size(), 10000u);
    auto bounded = walkImports("/x/big.dll", handMadePe(names), folder.locator(), 300);
    ASSERT_TRUE(bounded);
    EXPECT_EQ(bounded->size(), 300u);
}

TEST(ImportClosureTest, DamagedImagesAreNoComponentOrContributeNothing) {
    MemoryFolder folder;
    std::string good = handMadePe({"broken.dll"});
    folder.images["broken.dll"] = good.substr(0, 0x100);  // headers cut short
    EXPECT_FALSE(walkImports("/x/c.dll", "not a PE image at all", folder.locator()));
    EXPECT_FALSE(walkImports("/x/c.dll", good.substr(0, 0x150), folder.locator()));
    auto modules = walkImports("/x/c.dll", good, folder.locator());
    ASSERT_TRUE(modules);
    EXPECT_EQ(namesOf(*modules), (std::vector<std::string>{"broken.dll"}));
}

}  // namespace
}  // namespace pcn::listers
