#include "signing/ToolRunner.h"

#include <cstdio>

#include "platform/Paths.h"

namespace pcn {
namespace {

struct RunTraits {
    std::string_view announcement;  // sent to the output before the run; empty: none
    bool rejectsNegativeCode;       // "(-": a negative result code in parentheses
    bool sendsOutput;               // the tool's text goes to the host as soon as it is read
    bool sendsWholeOutputAfter;     // the whole output field goes to the host after the run
};

RunTraits traitsOf(ToolRun kind) {
    switch (kind) {
        case ToolRun::Sign: return {"Signing Code.", false, true, false};
        case ToolRun::TimeStamp: return {"Setting Timestamp.", false, true, false};
        case ToolRun::TrustAfterSigning: return {"Checking Trust.", false, true, false};
        case ToolRun::QuietTrustCheck: return {"Checking Trust. . .", true, false, true};
        case ToolRun::TrustCheckWithUI: return {"", true, false, false};
    }
    return {};
}

bool containsFailureMark(std::string_view text, bool rejectsNegativeCode) {
    if (text.find("Error") != std::string_view::npos) return true;
    if (text.find("Usage:") != std::string_view::npos) return true;
    return rejectsNegativeCode && text.find("(-") != std::string_view::npos;
}

std::string_view withoutLineEnd(std::string_view line) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

std::string quotedIfNeeded(const std::string& word) {
    if (!word.empty() && word.find_first_of(" \t\"'$;&|<>()`\\*?") == std::string::npos) return word;
    // Single quotes keep every character as it is, a Windows path's
    // backslashes too, so the path reads as the user knows it.
    if (word.find('\'') == std::string::npos) return "'" + word + "'";
    std::string out = "\"";
    for (char c : word) {
        if (c == '"' || c == '\\' || c == '$' || c == '`') out += '\\';
        out += c;
    }
    return out + "\"";
}

}  // namespace

std::string ToolCommand::text() const {
    std::string out = quotedIfNeeded(program);
    for (const auto& a : arguments) out += " " + quotedIfNeeded(a);
    return out;
}

std::string toolPath(std::string_view name) { return programFolder() + std::string(name); }

std::string formatExitCode(int32_t code) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "0x%.8ld", static_cast<long>(code));
    return buffer;
}

bool runTool(ToolRun kind, const ToolCommand& command, ToolRunState& state) {
    const RunTraits traits = traitsOf(kind);
    if (state.host && kind == ToolRun::Sign) state.host->setStatus("Signing file......");
    if (state.host && !traits.announcement.empty()) state.host->appendOutput(traits.announcement);

    ProcessOptions options;
    options.cancel = &state.stop;
    // The output box follows the tool line by line while it runs.
    std::string pending;
    const bool streams = traits.sendsOutput && state.host;
    if (streams)
        options.onOutput = [&](const std::string& piece) {
            pending += piece;
            size_t end;
            while ((end = pending.find('\n')) != std::string::npos) {
                state.host->appendOutput(withoutLineEnd(std::string_view(pending).substr(0, end)));
                pending.erase(0, end + 1);
            }
        };
    ProcessResult run = runProcess(command.program, command.arguments, options);
    if (streams && !pending.empty()) state.host->appendOutput(withoutLineEnd(pending));
    bool ok = false;
    if (!run.started || run.error != 0) {
        state.exitCode = run.error;
    } else {
        state.exitCode = run.exitCode;
        if (!run.output.empty()) {
            state.output = "\r\n" + run.output;
            // A tool that failed, was cancelled or crashed has failed even
            // when its text carries none of the marks.
            ok = run.exitCode == 0 && !run.signalled && !run.cancelled &&
                 !containsFailureMark(run.output, traits.rejectsNegativeCode);
        }
    }
    if (traits.sendsWholeOutputAfter && state.host && !state.output.empty()) state.host->appendOutput(state.output);
    return ok;
}

}  // namespace pcn
