#include "platform/Process.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace pcn {
namespace {

// Closes a descriptor once, on every path.
struct Fd {
    int fd = -1;
    ~Fd() { reset(); }
    void reset() {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
};

struct SpawnSetup {
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    SpawnSetup() {
        posix_spawn_file_actions_init(&actions);
        posix_spawnattr_init(&attributes);
    }
    ~SpawnSetup() {
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
};

std::vector<char*> argumentVector(const std::string& program, const std::vector<std::string>& arguments) {
    std::vector<char*> argv;
    argv.reserve(arguments.size() + 2);
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    return argv;
}

void takeExitStatus(int status, ProcessResult& result) {
    if (WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        result.signalled = true;
        result.exitCode = 128 + WTERMSIG(status);
    }
}

}  // namespace

ProcessResult runProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const ProcessOptions& options) {
    ProcessResult result;
    if (options.cancel && options.cancel->requested()) {
        result.cancelled = true;
        result.error = ECANCELED;
        return result;
    }

    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        result.error = errno;
        return result;
    }
    Fd readEnd{pipeEnds[0]}, writeEnd{pipeEnds[1]};

    SpawnSetup setup;
    posix_spawn_file_actions_addopen(&setup.actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&setup.actions, writeEnd.fd, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&setup.actions, writeEnd.fd, STDERR_FILENO);
    // Its own process group, so that cancelling reaches the helpers it starts.
    if (options.newProcessGroup) posix_spawnattr_setpgroup(&setup.attributes, 0);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGTERM);
    sigaddset(&defaults, SIGINT);
    posix_spawnattr_setsigdefault(&setup.attributes, &defaults);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&setup.attributes, &none);
    short flags = POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK;
    if (options.newProcessGroup) flags |= POSIX_SPAWN_SETPGROUP;
    posix_spawnattr_setflags(&setup.attributes, flags);

    auto argv = argumentVector(program, arguments);
    pid_t pid = 0;
    int rc = options.searchPath
                 ? ::posix_spawnp(&pid, program.c_str(), &setup.actions, &setup.attributes, argv.data(), environ)
                 : ::posix_spawn(&pid, program.c_str(), &setup.actions, &setup.attributes, argv.data(), environ);
    if (rc != 0) {
        result.error = rc;
        return result;
    }
    result.started = true;
    writeEnd.reset();

    using Clock = std::chrono::steady_clock;
    bool terminated = false, killed = false;
    Clock::time_point terminatedAt{};
    ::fcntl(readEnd.fd, F_SETFL, ::fcntl(readEnd.fd, F_GETFL) | O_NONBLOCK);
    char buffer[8192];
    auto drain = [&] {
        for (;;) {
            ssize_t n = ::read(readEnd.fd, buffer, sizeof buffer);
            if (n > 0) {
                std::string piece(buffer, static_cast<size_t>(n));
                result.output += piece;
                if (options.onOutput) options.onOutput(piece);
                continue;
            }
            if (n < 0 && errno == EINTR) continue;
            if (n == 0) readEnd.reset();  // every writer has closed it
            return;
        }
    };
    for (;;) {
        if (options.cancel && options.cancel->requested() && !terminated) {
            ::kill(options.newProcessGroup ? -pid : pid, SIGTERM);
            terminated = true;
            terminatedAt = Clock::now();
            result.cancelled = true;
        }
        if (terminated && !killed && Clock::now() - terminatedAt > options.killGrace) {
            ::kill(options.newProcessGroup ? -pid : pid, SIGKILL);
            killed = true;
        }
        if (readEnd.fd >= 0) {
            pollfd p{readEnd.fd, POLLIN, 0};
            if (::poll(&p, 1, 100) > 0) drain();
        } else {
            ::usleep(20000);
        }
        int status = 0;
        pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            takeExitStatus(status, result);
            // What it wrote before it ended; a helper it left behind may keep
            // the pipe open, so do not wait for the end of the output.
            if (readEnd.fd >= 0) drain();
            break;
        }
        if (done < 0 && errno != EINTR) {
            result.error = errno;
            break;
        }
    }
    return result;
}

int startDetachedProcess(const std::string& program, const std::vector<std::string>& arguments, bool searchPath) {
    // The exec error of the grandchild comes back through a pipe that the
    // exec closes (close-on-exec): an empty read means it started.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) return errno;
    Fd readEnd{report[0]}, writeEnd{report[1]};
    std::vector<char*> argv = argumentVector(program, arguments);
    pid_t child = ::fork();
    if (child < 0) return errno;
    if (child == 0) {
        // The intermediate child exits at once, so that the program is
        // re-parented and never left as a zombie of ours.
        ::setsid();
        pid_t started = ::fork();
        if (started < 0) {
            int error = errno;
            (void)!::write(report[1], &error, sizeof error);
        } else if (started == 0) {
            // Nothing of ours stays open in it: a caller reading our output
            // would otherwise wait for the tool to end.
            int devNull = ::open("/dev/null", O_RDWR);
            if (devNull >= 0) {
                ::dup2(devNull, STDIN_FILENO);
                ::dup2(devNull, STDOUT_FILENO);
                ::dup2(devNull, STDERR_FILENO);
            }
            if (searchPath) ::execvp(program.c_str(), argv.data());
            else ::execv(program.c_str(), argv.data());
            int error = errno;
            (void)!::write(report[1], &error, sizeof error);
        }
        ::_exit(0);
    }
    writeEnd.reset();
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t got;
    while ((got = ::read(readEnd.fd, &error, sizeof error)) < 0 && errno == EINTR) {
    }
    return got == static_cast<ssize_t>(sizeof error) ? error : 0;
}

}  // namespace pcn
