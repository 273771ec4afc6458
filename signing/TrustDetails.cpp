#include "signing/TrustDetails.h"

#include <array>
#include <utility>

namespace pcn {
namespace {

std::string_view trimmed(std::string_view s) {
    size_t first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    size_t last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

// The value of the first line at or after `from` whose text begins with
// label (blanks before it ignored), the part after its first ':'.
std::string valueAfter(std::string_view report, std::string_view label, size_t from = 0) {
    size_t at = from;
    while (at < report.size()) {
        size_t end = report.find('\n', at);
        std::string_view line = trimmed(report.substr(at, end == std::string_view::npos ? std::string_view::npos
                                                                                       : end - at));
        if (line.substr(0, label.size()) == label) {
            size_t colon = line.find(':');
            return colon == std::string_view::npos ? std::string{} : std::string(trimmed(line.substr(colon + 1)));
        }
        if (end == std::string_view::npos) break;
        at = end + 1;
    }
    return {};
}

using Field = std::pair<std::string_view, std::string TrustDetails::*>;
constexpr std::array<Field, 7> kFields{{
    {"--file", &TrustDetails::file},
    {"--subject", &TrustDetails::subject},
    {"--issuer", &TrustDetails::issuer},
    {"--valid-from", &TrustDetails::validFrom},
    {"--valid-to", &TrustDetails::validTo},
    {"--digest", &TrustDetails::digest},
    {"--timestamp", &TrustDetails::timeStamp},
}};

}  // namespace

TrustDetails trustDetailsFromReport(std::string_view report) {
    TrustDetails d;
    size_t signer = report.find("Signer's certificate:");
    if (signer == std::string_view::npos) return d;
    d.subject = valueAfter(report, "Subject:", signer);
    d.issuer = valueAfter(report, "Issuer", signer);
    d.validFrom = valueAfter(report, "notBefore", signer);
    d.validTo = valueAfter(report, "notAfter", signer);
    d.digest = valueAfter(report, "Message digest algorithm");
    d.timeStamp = valueAfter(report, "Timestamp time");
    return d;
}

std::vector<std::string> trustDialogArguments(const TrustDetails& details) {
    std::vector<std::string> args;
    for (const auto& [option, member] : kFields) args.insert(args.end(), {std::string(option), details.*member});
    args.insert(args.end(), {"--chain", details.chainTrusted ? "trusted" : "untrusted"});
    if (!details.problem.empty()) args.insert(args.end(), {"--problem", details.problem});
    return args;
}

std::optional<TrustDetails> trustDetailsFromArguments(const std::vector<std::string>& arguments) {
    TrustDetails d;
    for (size_t i = 0; i < arguments.size(); i += 2) {
        if (i + 1 >= arguments.size()) return std::nullopt;
        const std::string& option = arguments[i];
        const std::string& value = arguments[i + 1];
        bool known = false;
        for (const auto& [name, member] : kFields)
            if (option == name) {
                d.*member = value;
                known = true;
            }
        if (option == "--chain") {
            d.chainTrusted = value == "trusted";
            known = true;
        } else if (option == "--problem") {
            d.problem = value;
            known = true;
        }
        if (!known) return std::nullopt;
    }
    return d;
}

std::string trustDetailsText(const TrustDetails& d) {
    auto orNone = [](const std::string& s) { return s.empty() ? std::string("(none)") : s; };
    std::string text = "File:       " + d.file + "\n";
    text += "Subject:    " + orNone(d.subject) + "\n";
    text += "Issuer:     " + orNone(d.issuer) + "\n";
    text += "Valid:      " + orNone(d.validFrom) + " to " + orNone(d.validTo) + "\n";
    text += "Digest:     " + orNone(d.digest) + "\n";
    text += "Time stamp: " + orNone(d.timeStamp) + "\n";
    text += std::string("Chain:      ") + (d.chainTrusted ? "trusted" : "NOT trusted") + "\n";
    if (!d.problem.empty()) text += "Problem:    " + d.problem + "\n";
    return text;
}

}  // namespace pcn
