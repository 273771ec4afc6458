#pragma once
// Signing command templates: text with "@name@" tokens that stand for the
// values of a signing job. Two forms come out of a template:
//  - the argument text, each value in double quotes, as the user sees it;
//  - the argument vector a tool is started with. The template's own text is
//    split at blanks (double quotes group, and are removed); a token's value
//    is always exactly one argument (or part of one), taken verbatim. A file
//    name with quotes, '$', ';' or blanks thus stays one argument and never
//    reaches a shell.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pcn {

struct TokenValues {
    std::string credentials;  // "file"
    std::string key;          // "pvkFile"
    std::string name;         // "name"
    std::string information;  // "info"
    int32_t digest = 1;       // "algorithm": "md5", "sha1" or "sha256" (model/Digest.h)
    std::string fileName;     // "FileName"
};

// The text for the template, each value wrapped in double quotes; tokens of
// unknown names are dropped with both of their "@" signs.
std::string substituteTokens(std::string_view templateText, const TokenValues& values);

// The argument vector for the same template.
std::vector<std::string> templateArguments(std::string_view templateText, const TokenValues& values);

}  // namespace pcn
