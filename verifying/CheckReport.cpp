#include "verifying/CheckReport.h"

#include <algorithm>
#include <cstdio>

namespace pcn::verifying {

void CheckReport::add(Check check) {
    checks_.push_back(std::move(check));
    if (listener_) listener_(checks_.back());
}

int CheckReport::exitCode() const {
    auto count = [&](Verdict v) {
        return std::count_if(checks_.begin(), checks_.end(), [&](const Check& c) { return c.verdict == v; });
    };
    if (count(Verdict::Fails) > 0) return 1;
    if (count(Verdict::Unsigned) > 0) return 3;
    return 0;
}

std::string CheckReport::summary() const {
    size_t holding = 0, failing = 0, unsignedCount = 0;
    for (const Check& c : checks_) {
        if (c.verdict == Verdict::Holds) ++holding;
        else if (c.verdict == Verdict::Fails) ++failing;
        else ++unsignedCount;
    }
    std::string text = std::to_string(checks_.size()) + (checks_.size() == 1 ? " check: " : " checks: ") +
                       std::to_string(holding) + (holding == 1 ? " holds, " : " hold, ") + std::to_string(failing) +
                       (failing == 1 ? " fails" : " fail");
    if (unsignedCount) text += ", " + std::to_string(unsignedCount) + " signature" + (unsignedCount == 1 ? "" : "s") + " missing";
    return text + ".";
}

std::string printable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F) {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02X", u);
            out += code;
        } else {
            out += c;
        }
    }
    return out;
}

std::string checkLine(const Check& check) {
    const char* tag = check.verdict == Verdict::Holds ? "ok        " : check.verdict == Verdict::Fails ? "FAIL      " : "UNSIGNED  ";
    return tag + printable(check.subject) + ": " + printable(check.text);
}

}  // namespace pcn::verifying
