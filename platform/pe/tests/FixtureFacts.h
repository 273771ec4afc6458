#pragma once
// The known facts of the PE fixtures (platform/pe/fixtures/facts.txt), for
// the tests of every part that reads components.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace pcn::pe::testing {

struct FixtureFacts {
    std::string file;
    std::map<std::string, std::string> values;

    bool has(const std::string& key) const { return values.count(key) != 0; }
    std::string value(const std::string& key) const;
    // " | "-separated values; empty when the key is absent.
    std::vector<std::string> list(const std::string& key) const;
};

std::filesystem::path fixtureFolder();
std::filesystem::path fixturePath(const std::string& file);
const std::vector<FixtureFacts>& allFixtureFacts();
const FixtureFacts& factsOf(const std::string& file);

}  // namespace pcn::pe::testing
