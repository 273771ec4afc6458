#include "distribution/TerminalUserInterface.h"

#include <cctype>
#include <string>
#include <unistd.h>

namespace pcn {
namespace {

const char* prefixFor(Icon icon) {
    switch (icon) {
    case Icon::Error: return "error: ";
    case Icon::Warning: return "warning: ";
    default: return "";
    }
}

// Dialog texts use "\n" and "\r\n" freely; on a terminal one line break is enough.
std::string forTerminal(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != '\r') out += c;
    return out;
}

const char* choicesFor(Buttons buttons) {
    switch (buttons) {
    case Buttons::YesNo: return "[y/n]";
    case Buttons::YesNoCancel:
    case Buttons::SaveDiscardCancel: return "[y/n/c]";
    case Buttons::OkCancel: return "[o/c]";
    case Buttons::RetryCancel: return "[r/c]";
    case Buttons::Ok: return "";
    }
    return "";
}

std::optional<Answer> parseAnswer(char c, Buttons buttons) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    bool yesNo = buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel || buttons == Buttons::SaveDiscardCancel;
    if (yesNo && c == 'y') return Answer::Yes;
    if (yesNo && c == 'n') return Answer::No;
    if (buttons == Buttons::OkCancel && c == 'o') return Answer::Ok;
    if (buttons == Buttons::RetryCancel && c == 'r') return Answer::Retry;
    if (buttons != Buttons::YesNo && c == 'c') return Answer::Cancel;
    return std::nullopt;
}

}  // namespace

TerminalUserInterface::TerminalUserInterface(std::optional<bool> forced, std::FILE* out, std::FILE* in)
    : forced_(forced), out_(out), in_(in) {}

Answer TerminalUserInterface::message(std::string_view text, std::string_view, Icon icon, Buttons buttons,
                                      Answer defaultAnswer) {
    if (icon == Icon::Error) ++errors_;
    std::fprintf(out_, "%s%s\n", prefixFor(icon), forTerminal(text).c_str());
    if (buttons == Buttons::Ok) return Answer::Ok;
    if (buttons == Buttons::RetryCancel && (forced_ || !interactive())) return retryOnceOrCancel(text);
    if (forced_ && (buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ||
                    buttons == Buttons::SaveDiscardCancel)) {
        Answer a = *forced_ ? Answer::Yes : Answer::No;
        std::fprintf(out_, "%s\n", a == Answer::Yes ? "yes" : "no");
        return a;
    }
    return askOnTerminal(buttons, defaultAnswer);
}

bool TerminalUserInterface::interactive() const { return in_ && ::isatty(::fileno(in_)); }

// Nobody can mend the cause between two tries: without a terminal the answer
// is Cancel, --no cancels, and --yes retries each question once, so that an
// unattended build ends instead of asking forever.
Answer TerminalUserInterface::retryOnceOrCancel(std::string_view text) {
    const bool retry = forced_.value_or(false) && retried_.insert(std::string(text)).second;
    std::fprintf(out_, "%s\n", retry ? "retry" : interactive() || forced_ ? "cancel" : "(no terminal: cancel)");
    return retry ? Answer::Retry : Answer::Cancel;
}

Answer TerminalUserInterface::askOnTerminal(Buttons buttons, Answer defaultAnswer) {
    if (!interactive()) {
        std::fprintf(out_, "(no terminal: default answer taken)\n");
        return defaultAnswer;
    }
    for (;;) {
        std::fprintf(out_, "%s ", choicesFor(buttons));
        std::fflush(out_);
        char line[64];
        if (!std::fgets(line, sizeof line, in_)) return defaultAnswer;
        if (line[0] == '\n') return defaultAnswer;
        if (auto a = parseAnswer(line[0], buttons)) return *a;
    }
}

void TerminalUserInterface::errorDetails(std::string_view mainText, std::string_view details) {
    ++errors_;
    std::fprintf(out_, "error: %s\n", forTerminal(mainText).c_str());
    if (!details.empty()) std::fprintf(out_, "  %s\n", forTerminal(details).c_str());
}

}  // namespace pcn
