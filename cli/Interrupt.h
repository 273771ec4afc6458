#pragma once
// Ctrl-C for the long commands (cab, build, send, scan, verify, extract):
// while a guard lives, SIGINT (and SIGTERM) only raise a flag that the
// command's loop polls; the command then stops its work, leaves its outputs
// as they were and ends with `return cancelled();`: "cancelled" on stderr, exit 130 as
// a shell reports a program stopped by Ctrl-C.

namespace pcn::cli {

inline constexpr int kExitCancelled = 130;

class InterruptGuard {
public:
    // EndAtOnce: for a command that writes nothing (scan), Ctrl-C prints
    // "cancelled" and ends the process at once with 130; the child processes
    // it started end with it.
    enum class Mode { Poll, EndAtOnce };
    explicit InterruptGuard(Mode mode = Mode::Poll);
    ~InterruptGuard();
    InterruptGuard(const InterruptGuard&) = delete;
    InterruptGuard& operator=(const InterruptGuard&) = delete;
};

// True once Ctrl-C was pressed under a guard.
bool interruptRequested();

// Prints "cancelled" and returns kExitCancelled.
int cancelled();

}  // namespace pcn::cli
