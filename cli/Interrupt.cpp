#include "cli/Interrupt.h"

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace pcn::cli {
namespace {

volatile std::sig_atomic_t requested = 0;
extern "C" void onInterrupt(int) { requested = 1; }

constexpr char kCancelled[] = "cancelled\n";

extern "C" void endAtOnce(int) {
    [[maybe_unused]] ssize_t n = ::write(STDERR_FILENO, kCancelled, sizeof kCancelled - 1);
    ::_exit(kExitCancelled);
}

struct sigaction previous;

}  // namespace

InterruptGuard::InterruptGuard(Mode mode) {
    requested = 0;
    struct sigaction action {};
    action.sa_handler = mode == Mode::EndAtOnce ? endAtOnce : onInterrupt;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a blocking read or wait returns early so the flag is seen.
    sigaction(SIGINT, &action, &previous);
}

InterruptGuard::~InterruptGuard() {
    sigaction(SIGINT, &previous, nullptr);
}

bool interruptRequested() { return requested != 0; }

int cancelled() {
    std::fputs(kCancelled, stderr);
    return kExitCancelled;
}

}  // namespace pcn::cli
