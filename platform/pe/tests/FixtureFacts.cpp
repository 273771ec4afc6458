#include "platform/pe/tests/FixtureFacts.h"

#include <fstream>
#include <stdexcept>

namespace pcn::pe::testing {
namespace {

std::string trimmed(const std::string& text) {
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::vector<FixtureFacts> loadFacts() {
    std::ifstream in(std::filesystem::path(PCN_SOURCE_DIR) / "platform/pe/fixtures/facts.txt");
    if (!in) throw std::runtime_error("cannot read the fixture facts");
    std::vector<FixtureFacts> facts;
    std::string line;
    while (std::getline(in, line)) {
        line = trimmed(line);
        if (line.empty() || line[0] == '#') continue;
        if (line.front() == '[' && line.back() == ']') {
            facts.push_back({line.substr(1, line.size() - 2), {}});
            continue;
        }
        size_t equals = line.find('=');
        if (equals == std::string::npos || facts.empty()) throw std::runtime_error("bad fact line: " + line);
        facts.back().values[trimmed(line.substr(0, equals))] = trimmed(line.substr(equals + 1));
    }
    return facts;
}

}  // namespace

std::string FixtureFacts::value(const std::string& key) const {
    auto found = values.find(key);
    if (found == values.end()) throw std::runtime_error(file + " has no fact " + key);
    return found->second;
}

std::vector<std::string> FixtureFacts::list(const std::string& key) const {
    std::vector<std::string> items;
    if (!has(key)) return items;
    std::string rest = value(key);
    for (;;) {
        size_t bar = rest.find(" | ");
        items.push_back(trimmed(rest.substr(0, bar)));
        if (bar == std::string::npos) break;
        rest = rest.substr(bar + 3);
    }
    return items;
}

std::filesystem::path fixtureFolder() { return std::filesystem::path(PCN_SOURCE_DIR) / "platform/pe/fixtures/bin"; }

std::filesystem::path fixturePath(const std::string& file) { return fixtureFolder() / file; }

const std::vector<FixtureFacts>& allFixtureFacts() {
    static const std::vector<FixtureFacts> facts = loadFacts();
    return facts;
}

const FixtureFacts& factsOf(const std::string& file) {
    for (const FixtureFacts& facts : allFixtureFacts())
        if (facts.file == file) return facts;
    throw std::runtime_error("no facts for " + file);
}

}  // namespace pcn::pe::testing
