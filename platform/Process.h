#pragma once
// Starts a program with an argument vector (never through a shell), captures
// what it writes to stdout and stderr through a pipe, and waits for it. A run
// can be cancelled from another thread: the waiting thread then ends the
// program's whole process group (SIGTERM, then SIGKILL after a grace period),
// so that a tool and the helpers it started go away together.

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace pcn {

// Shared between the thread that waits for a program and the one that may
// cancel it. Cancelling before the program starts makes the run end at once.
class ProcessCancel {
public:
    void cancel() { requested_.store(true); }
    bool requested() const { return requested_.load() || (watched_ && watched_->load() != 0); }
    void reset() { requested_.store(false); }
    // Also counts as cancelled while an outside stop flag (a build's abort
    // request) is set; the flag must outlive the runs.
    void watch(const std::atomic<int>* flag) { watched_ = flag; }

private:
    std::atomic<bool> requested_{false};
    const std::atomic<int>* watched_ = nullptr;
};

struct ProcessResult {
    bool started = false;    // the program could be started
    int error = 0;           // errno when it could not be started or waited for
    int exitCode = 0;        // its exit status; 128 + signal number when a signal ended it
    bool signalled = false;  // a signal ended it
    bool cancelled = false;  // ended because the run was cancelled
    std::string output;      // stdout and stderr, interleaved as written
};

struct ProcessOptions {
    ProcessCancel* cancel = nullptr;
    // Called with each piece of output as it arrives (on the waiting thread).
    std::function<void(const std::string&)> onOutput;
    // Time a cancelled program gets to end after SIGTERM before SIGKILL.
    std::chrono::milliseconds killGrace{1500};
    // Look the program up on PATH when it has no '/' (system tools only; our
    // own tools are always started by full path).
    bool searchPath = false;
    // Start the program in a process group of its own (the group that a
    // cancel ends). A tool that starts helpers of its own keeps them in its
    // group instead, so that cancelling the tool reaches them too.
    bool newProcessGroup = true;
};

// arguments excludes argv[0], which is the program itself.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const ProcessOptions& options = {});

// Starts a program that outlives this one and is never waited for (a tool
// the user works in): no shell, its standard streams on /dev/null, in a
// session of its own.
// Returns 0 when it was started, else the errno of the failed start (a
// program that cannot be executed counts as not started).
int startDetachedProcess(const std::string& program, const std::vector<std::string>& arguments,
                         bool searchPath = false);

}  // namespace pcn
