#include "signing/CommandTemplate.h"

#include <array>
#include <optional>

#include "model/Digest.h"

namespace pcn {
namespace {

// Longest token name kept; the rest of a longer name is read but ignored.
constexpr size_t kMaxTokenName = 599;

// Token names are matched by case-sensitive substring, in this order; the
// first match wins ("FileName" does not contain "file").
std::optional<std::string> tokenValue(std::string_view name, const TokenValues& v) {
    const std::array<std::pair<std::string_view, const std::string*>, 4> leading{{
        {"file", &v.credentials},
        {"pvkFile", &v.key},
        {"name", &v.name},
        {"info", &v.information},
    }};
    for (const auto& [needle, value] : leading)
        if (name.find(needle) != std::string_view::npos) return *value;
    if (name.find("algorithm") != std::string_view::npos) return std::string(digestToken(v.digest));
    if (name.find("FileName") != std::string_view::npos) return v.fileName;
    return std::nullopt;
}

// Walks the template: literal text goes to onText, each known token's value to onValue.
template <typename OnText, typename OnValue>
void walkTemplate(std::string_view t, const TokenValues& values, OnText onText, OnValue onValue) {
    size_t i = 0;
    while (i < t.size()) {
        if (t[i] != '@') {
            onText(t[i]);
            ++i;
            continue;
        }
        size_t close = t.find('@', i + 1);
        size_t nameEnd = close == std::string_view::npos ? t.size() : close;
        std::string_view name = t.substr(i + 1, std::min(nameEnd - i - 1, kMaxTokenName));
        if (auto value = tokenValue(name, values)) onValue(*value);
        i = close == std::string_view::npos ? t.size() : close + 1;
    }
}

}  // namespace

std::string substituteTokens(std::string_view templateText, const TokenValues& values) {
    std::string out;
    walkTemplate(
        templateText, values, [&](char c) { out += c; },
        [&](const std::string& value) { out += '"' + value + '"'; });
    return out;
}

std::vector<std::string> templateArguments(std::string_view templateText, const TokenValues& values) {
    std::vector<std::string> arguments;
    std::string word;
    bool inWord = false, quoted = false;
    auto endWord = [&] {
        if (inWord) arguments.push_back(word);
        word.clear();
        inWord = false;
    };
    walkTemplate(
        templateText, values,
        [&](char c) {
            if (c == '"') {
                quoted = !quoted;
                inWord = true;  // "" is an empty argument
            } else if (!quoted && (c == ' ' || c == '\t' || c == '\r' || c == '\n')) {
                endWord();
            } else {
                word += c;
                inWord = true;
            }
        },
        [&](const std::string& value) {
            word += value;
            inWord = true;
        });
    endWord();
    return arguments;
}

}  // namespace pcn
