#pragma once
// Runs the signing and trust tools that lie in the program folder (SignCode,
// ChkTrust) and judges their success from what they print. Five kinds of run
// differ in the text they announce, the strings that mark a failure in the
// output and when the output reaches the host. A run blocks its thread; the
// callers run it on a worker thread, and any thread may cancel it, which ends
// the tool's process (never the worker thread).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Process.h"

namespace pcn {

// The window that watches a signing or trust-check job. Called on the worker
// thread; the GUI forwards the calls to its own thread.
class ToolHost {
public:
    virtual ~ToolHost() = default;
    // The status line of the page (or the build's status line).
    virtual void setStatus(std::string_view text) = 0;
    // A text for the output box; the host appends "\r\n" and then the text.
    virtual void appendOutput(std::string_view text) = 0;
    // The job's worker has ended.
    virtual void finished(bool success) = 0;
};

// A program and its arguments; never passed through a shell.
struct ToolCommand {
    std::string program;
    std::vector<std::string> arguments;
    // The command as a user would type it, for messages.
    std::string text() const;
};

enum class ToolRun { Sign, TimeStamp, TrustAfterSigning, QuietTrustCheck, TrustCheckWithUI };

// What every run of a job reads and leaves behind.
struct ToolRunState {
    // Exit code of the last run, or the system error number when the tool
    // could not be started.
    int32_t exitCode = 0;
    // "\r\n" and the output of the last run that printed anything.
    std::string output;
    ToolHost* host = nullptr;
    // The stop flag: set by cancel() from any thread; a running tool is ended.
    ProcessCancel stop;

    void cancel() { stop.cancel(); }
    bool stopRequested() const { return stop.requested(); }
};

// Runs one tool; true when it ran, printed something, exited with 0 and its
// output holds none of the run's failure marks.
bool runTool(ToolRun kind, const ToolCommand& command, ToolRunState& state);

// The tools' folder is the program folder; they are never looked up on PATH.
std::string toolPath(std::string_view name);

inline constexpr std::string_view kSignCodeTool = "SignCode";
inline constexpr std::string_view kChkTrustTool = "ChkTrust";

// ChkTrust's exit code for a file that carries no signature
// (TRUST_E_NOSIGNATURE, 0x800B0100): an exit status keeps only the low 8
// bits of a code, which are 0 for that one, so the tool ends with this.
inline constexpr int32_t kChkTrustNotSigned = 3;

// An exit code as the failure reports show it ("0x%.8ld").
std::string formatExitCode(int32_t code);

}  // namespace pcn
