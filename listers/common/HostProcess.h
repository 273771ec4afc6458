#pragma once
// Starting, watching and ending the loader host: the part of ProcessInit that
// both listers share.

#include <optional>
#include <string>
#include <sys/types.h>

namespace pcn::listers {

class HostProcess {
public:
    // Starts hostProgram with the component path as its one argument (so
    // spaces in either path need no quoting), stdin and stdout on /dev/null,
    // no inherited descriptors beyond stderr, default signal handling.
    // Nullopt (errno in *error) when it cannot be started.
    static std::optional<HostProcess> start(const std::string& hostProgram, const std::string& componentPath,
                                            int* error = nullptr);

    HostProcess(HostProcess&& other) noexcept;
    HostProcess& operator=(HostProcess&&) = delete;
    HostProcess(const HostProcess&) = delete;
    ~HostProcess();  // kills the host if it still runs

    pid_t pid() const { return pid_; }

    // Polls for the host's handshake: up to `polls` times sleeps intervalMs,
    // then looks for the handshake object. True once it is there. Stops early
    // (false) when the host has ended, since no handshake can come then.
    bool waitForHandshake(int polls = 50, int intervalMs = 100);

    // Whether the host has ended (it is reaped then).
    bool ended();

    // Ends the host (SIGKILL), reaps it and removes its handshake object.
    void kill();

private:
    explicit HostProcess(pid_t pid) : pid_(pid) {}
    pid_t pid_ = -1;
    bool reaped_ = false;
};

// Folder of the shared library (or program) that holds this code, with a
// trailing separator: the lister's own folder, where the host lives beside it.
std::string folderOfThisModule();

}  // namespace pcn::listers
