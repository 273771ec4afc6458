#include "signing/TimeStampServer.h"

#include <vector>

namespace pcn {
namespace {

struct Word {
    size_t begin, end;
};

// The blank-separated words of a template (a server address has no blanks).
std::vector<Word> wordsOf(std::string_view t) {
    std::vector<Word> words;
    size_t at = 0;
    while (true) {
        size_t begin = t.find_first_not_of(" \t\r\n", at);
        if (begin == std::string_view::npos) break;
        size_t end = t.find_first_of(" \t\r\n", begin);
        if (end == std::string_view::npos) end = t.size();
        words.push_back({begin, end});
        at = end;
    }
    return words;
}

std::string_view optionOf(TimeStampServer::Kind kind) {
    return kind == TimeStampServer::Kind::Rfc3161 ? "-ts" : "-t";
}

// The index of the first "-t"/"-ts" word that has a value after it.
std::optional<size_t> serverOption(std::string_view t, const std::vector<Word>& words) {
    for (size_t i = 0; i + 1 < words.size(); ++i) {
        std::string_view w = t.substr(words[i].begin, words[i].end - words[i].begin);
        if (w == "-t" || w == "-ts") return i;
    }
    return std::nullopt;
}

}  // namespace

std::optional<TimeStampServer> timeStampServerOf(std::string_view t) {
    auto words = wordsOf(t);
    auto i = serverOption(t, words);
    if (!i) return std::nullopt;
    std::string_view option = t.substr(words[*i].begin, words[*i].end - words[*i].begin);
    std::string_view url = t.substr(words[*i + 1].begin, words[*i + 1].end - words[*i + 1].begin);
    return TimeStampServer{option == "-ts" ? TimeStampServer::Kind::Rfc3161 : TimeStampServer::Kind::Authenticode,
                           std::string(url)};
}

std::string withTimeStampServer(std::string_view t, const TimeStampServer& server) {
    const std::string replacement = std::string(optionOf(server.kind)) + " " + server.url;
    auto words = wordsOf(t);
    if (auto i = serverOption(t, words)) {
        std::string out(t.substr(0, words[*i].begin));
        out += replacement;
        out += t.substr(words[*i + 1].end);
        return out;
    }
    size_t file = t.find("@FileName@");
    if (file == std::string_view::npos) {
        std::string out(t);
        if (!out.empty() && out.back() != ' ') out += ' ';
        return out + replacement;
    }
    return std::string(t.substr(0, file)) + replacement + " " + std::string(t.substr(file));
}

std::string timeStampUrlProblem(std::string_view url) {
    if (url.empty()) return "Enter the address of a time-stamp server.";
    if (url.find_first_of(" \t\r\n\"'@") != std::string_view::npos)
        return "A time-stamp server's address cannot hold blanks, quotes or \"@\".";
    return {};
}

}  // namespace pcn
