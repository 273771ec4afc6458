#pragma once
// The command line's user interface: messages go to stderr; questions are
// answered from --yes/--no, else asked on the terminal when stdin is one,
// else given their default answer. A Retry/Cancel question is never retried
// without a person to fix its cause: see retryOnceOrCancel.

#include <cstdio>
#include <optional>
#include <set>
#include <string>

#include "distribution/UserInterface.h"

namespace pcn {

class TerminalUserInterface : public UserInterface {
public:
    // forced: the answer --yes / --no gives to every Yes/No question; to a
    // Retry/Cancel question --no answers Cancel, --yes Retry once per text.
    explicit TerminalUserInterface(std::optional<bool> forced = std::nullopt, std::FILE* out = stderr,
                                   std::FILE* in = stdin);

    Answer message(std::string_view text, std::string_view caption, Icon icon, Buttons buttons,
                   Answer defaultAnswer) override;
    void errorDetails(std::string_view mainText, std::string_view details) override;

    // Number of error-level reports so far (lets commands choose their exit code).
    int errorCount() const { return errors_; }

private:
    Answer askOnTerminal(Buttons buttons, Answer defaultAnswer);
    Answer retryOnceOrCancel(std::string_view text);
    bool interactive() const;

    std::optional<bool> forced_;
    std::FILE* out_;
    std::FILE* in_;
    int errors_ = 0;
    std::set<std::string> retried_;  // Retry/Cancel questions already answered Retry
};

}  // namespace pcn
