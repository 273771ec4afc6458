#include "building/SelfExtractor.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "building/BuildHost.h"
#include "building/BuildSupport.h"
#include "platform/AtomicFile.h"
#include "building/ConfigFile.h"
#include "model/CCabObj.h"
#include "platform/Paths.h"
#include "platform/SettingsStore.h"

namespace pcn {
namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor() { close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    void reset(int fd) {
        close();
        fd_ = fd;
    }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // errno of a failing close, else 0.
    int close() {
        int error = 0;
        if (fd_ >= 0 && ::close(fd_) != 0) error = errno;
        fd_ = -1;
        return error;
    }

private:
    int fd_;
};

// Only regular files: a FIFO or device given as a stub or cabinet would
// block or never end (EINVAL for those).
int openForReading(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return fd;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        errno = EINVAL;
        return -1;
    }
    return fd;
}

bool writeAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Fills the buffer as far as the file allows; short only at its end.
ssize_t readBlock(int fd, std::vector<char>& buffer) {
    size_t filled = 0;
    while (filled < buffer.size()) {
        ssize_t n = ::read(fd, buffer.data() + filled, buffer.size() - filled);
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;
        filled += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(filled);
}

enum class CopyFailure { None, Read, Write };

// Copies the source to the end of the target in blocks of kJoinBlockSize,
// until a block comes back short. errno is left as the failing call set it.
CopyFailure appendFile(int source, int target) {
    std::vector<char> block(kJoinBlockSize);
    for (;;) {
        ssize_t n = readBlock(source, block);
        if (n < 0) return CopyFailure::Read;
        if (!writeAll(target, block.data(), static_cast<size_t>(n))) return CopyFailure::Write;
        if (static_cast<size_t>(n) < block.size()) return CopyFailure::None;
    }
}

// The executable under construction: a temporary file beside it, renamed
// over it once complete and removed otherwise.
class PendingExecutable {
public:
    explicit PendingExecutable(const std::string& path)
        : path_(path) {}
    ~PendingExecutable() {
        if (file_.valid() || created_) {
            file_.close();
            if (created_) ::unlink(temporary_.c_str());
        }
    }

    bool create() {
        file_.reset(createHiddenTemporary(path_, temporary_));
        if (!file_.valid()) return false;
        created_ = true;
        mode_t mask = ::umask(0);
        ::umask(mask);
        return ::fchmod(file_.get(), 0666 & ~mask) == 0;
    }
    int fd() const { return file_.get(); }

    // Flushes, closes and renames into place; errno set on failure.
    bool commit() {
        int error = ::fsync(file_.get()) == 0 ? 0 : errno;
        int closeError = file_.close();
        if (error == 0) error = closeError;
        if (error == 0 && ::rename(temporary_.c_str(), path_.c_str()) != 0) error = errno;
        if (error != 0) {
            errno = error;
            return false;
        }
        created_ = false;
        return true;
    }

private:
    std::string path_;
    std::string temporary_;
    FileDescriptor file_;
    bool created_ = false;
};

bool failJoin(UserInterface& ui, const std::string& message, int error) {
    ReportBuildError(ui, message, error);
    return false;
}

std::string copyFailureMessage(const std::string& stub, const std::string& executable) {
    return "Unable to copy files:\r\n" + stub + "\r\nto\r\n" + executable;
}

}  // namespace

std::string StubPath(const CCabObj& package, const SettingsStore& settings) {
    switch (BuildKind(package)) {
        case kKindSelfExtractingCabinet: {
            std::string chosen = settings.readString(kSelfExtractorSection, kSelfExtractorValue, "");
            return chosen.empty() ? programFolder() + std::string(kExtractorStubName) : chosen;
        }
        case kKindSelfExtractingWizard:
            return programFolder() + std::string(kWizardStubName);
        default:
            return {};
    }
}

std::string ExecutableName(const CCabObj& package) {
    return package.m_strProjectName + (BuildKind(package) == kKindSelfExtractingWizard ? "W.EXE" : ".EXE");
}

void AddMiniSetup(CCabObj& package, BuildHost* host) {
    if (BuildKind(package) != kKindSelfExtractingWizard || !package.m_bMiniSetup) return;
    if (host) host->showStep("Adding TinySetup.exe...");
    package.m_arrBuildFiles.push_back(programFolder() + std::string(kMiniSetupName));
}

bool JoinStubAndCabinet(CCabObj& package, UserInterface& ui, BuildHost* host, const SettingsStore& settings) {
    // Lets the host show the cabinet step's last figures before they change.
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (host) {
        host->showStep("Building output file...");
        host->showPercent(0);
    }
    std::string stub = StubPath(package, settings);
    if (package.m_arrOutputFiles.empty()) return failJoin(ui, "Unable to find any output file.\r\n", 0);

    std::string folder = withTrailingSeparator(package.m_strTargetFolder);
    std::string cabinetPath = folder + package.m_arrOutputFiles.front();
    std::string executableName = ExecutableName(package);
    std::string executablePath = folder + executableName;

    PendingExecutable executable(executablePath);
    FileDescriptor stubFile(stub.empty() ? -1 : openForReading(stub));
    if (!stubFile.valid() || !executable.create()) {
        int error = stub.empty() ? ENOENT : errno;
        return failJoin(ui, copyFailureMessage(stub, executablePath), error);
    }
    if (appendFile(stubFile.get(), executable.fd()) != CopyFailure::None) {
        int error = errno;
        return failJoin(ui, copyFailureMessage(stub, executablePath), error);
    }
    stubFile.close();

    FileDescriptor cabinet(openForReading(cabinetPath));
    if (!cabinet.valid()) {
        int error = errno;
        return failJoin(ui, "Unable to open file:\r\n" + cabinetPath, error);
    }
    CopyFailure copied = appendFile(cabinet.get(), executable.fd());
    int copyError = errno;
    if (copied == CopyFailure::Read) return failJoin(ui, "Unable to read file:\r\n" + cabinetPath, copyError);
    if (copied == CopyFailure::Write) return failJoin(ui, "Unable to write file:\r\n" + executablePath, copyError);
    cabinet.close();
    // Putting the executable in place is where an unwritable target shows,
    // as it does when the stub is copied there.
    if (!executable.commit()) {
        int error = errno;
        return failJoin(ui, copyFailureMessage(stub, executablePath), error);
    }

    if (host) host->showPercent(100);
    ::unlink(cabinetPath.c_str());
    if (BuildKind(package) == kKindSelfExtractingWizard) ::unlink((folder + std::string(kConfigFileName)).c_str());
    package.m_arrOutputFiles.front() = executableName;
    if (host) host->showStep("Build Complete.");
    return true;
}

}  // namespace pcn
