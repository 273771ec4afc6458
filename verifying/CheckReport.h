#pragma once
// The lines a verification produces: one per check, each holding or failing,
// and the exit code they add up to.

#include <functional>
#include <string>
#include <vector>

namespace pcn::verifying {

enum class Verdict {
    Holds,
    Fails,
    Unsigned,  // a signature or time stamp that the package asks for is not there
};

struct Check {
    Verdict verdict = Verdict::Holds;
    std::string subject;  // the file (or package) the check is about
    std::string text;     // what holds, or what is wrong
};

class CheckReport {
public:
    using Listener = std::function<void(const Check&)>;
    explicit CheckReport(Listener listener = {}) : listener_(std::move(listener)) {}

    void holds(std::string subject, std::string text) { add({Verdict::Holds, std::move(subject), std::move(text)}); }
    void fails(std::string subject, std::string text) { add({Verdict::Fails, std::move(subject), std::move(text)}); }
    void isUnsigned(std::string subject, std::string text) {
        add({Verdict::Unsigned, std::move(subject), std::move(text)});
    }

    const std::vector<Check>& checks() const { return checks_; }
    // 0 when every check holds, 1 when any fails, 3 when only signatures or
    // time stamps are missing (as for a build whose signing did not finish).
    int exitCode() const;
    // "12 checks: 11 hold, 1 fails."
    std::string summary() const;

private:
    void add(Check check);

    Listener listener_;
    std::vector<Check> checks_;
};

// "ok    SUBJECT: TEXT", "FAIL  SUBJECT: TEXT" or "UNSIGNED  SUBJECT: TEXT",
// with control characters of hostile names shown as \xNN.
std::string checkLine(const Check& check);
// Control characters as \xNN, so that a name read from a file cannot move
// the cursor or change the terminal.
std::string printable(std::string_view text);

}  // namespace pcn::verifying
