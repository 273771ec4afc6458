#include "listers/common/HostProcess.h"

#include <cerrno>
#include <csignal>
#include <dlfcn.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "listers/common/Handshake.h"

extern char** environ;

namespace pcn::listers {
namespace {

// Undoes, for the host, what the calling program may have set up for itself.
struct SpawnSetup {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;

    SpawnSetup() {
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addclosefrom_np(&actions, 3);
        posix_spawnattr_init(&attributes);
        sigset_t none;
        sigemptyset(&none);
        sigset_t all;
        sigfillset(&all);
        sigdelset(&all, SIGKILL);
        sigdelset(&all, SIGSTOP);
        posix_spawnattr_setsigmask(&attributes, &none);
        posix_spawnattr_setsigdefault(&attributes, &all);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
};

}  // namespace

std::optional<HostProcess> HostProcess::start(const std::string& hostProgram, const std::string& componentPath,
                                              int* error) {
    SpawnSetup setup;
    std::string program = hostProgram;
    std::string component = componentPath;
    char* argv[] = {program.data(), component.data(), nullptr};
    pid_t pid = -1;
    int result = posix_spawn(&pid, program.c_str(), &setup.actions, &setup.attributes, argv, environ);
    if (result != 0) {
        if (error) *error = result;
        return std::nullopt;
    }
    return HostProcess(pid);
}

HostProcess::HostProcess(HostProcess&& other) noexcept : pid_(other.pid_), reaped_(other.reaped_) {
    other.pid_ = -1;
}

HostProcess::~HostProcess() { kill(); }

bool HostProcess::ended() {
    if (pid_ <= 0 || reaped_) return true;
    int status = 0;
    pid_t result;
    do result = ::waitpid(pid_, &status, WNOHANG);
    while (result < 0 && errno == EINTR);
    if (result == pid_) {
        reaped_ = true;
        return true;
    }
    // A caller that ignores SIGCHLD has its children reaped by the system:
    // then only the process's existence tells.
    if (result < 0 && errno == ECHILD) return ::kill(pid_, 0) != 0 && errno == ESRCH;
    return false;
}

bool HostProcess::waitForHandshake(int polls, int intervalMs) {
    const std::string name = handshakeName(pid_);
    for (int i = 0; i < polls; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(intervalMs));
        int fd = ::shm_open(name.c_str(), O_RDONLY, 0);
        if (fd >= 0) {
            ::close(fd);
            // Seen once is enough: removed now, it is not left behind should
            // this process end before its host.
            ::shm_unlink(name.c_str());
            return true;
        }
        if (ended()) return false;
    }
    return false;
}

void HostProcess::kill() {
    if (pid_ <= 0) return;
    if (!reaped_) {
        ::kill(pid_, SIGKILL);
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        reaped_ = true;
    }
    ::shm_unlink(handshakeName(pid_).c_str());
    pid_ = -1;
}

std::string folderOfThisModule() {
    Dl_info info{};
    if (!::dladdr(reinterpret_cast<void*>(&folderOfThisModule), &info) || !info.dli_fname) return "./";
    std::string file = info.dli_fname;
    size_t slash = file.rfind('/');
    return slash == std::string::npos ? std::string("./") : file.substr(0, slash + 1);
}

}  // namespace pcn::listers
