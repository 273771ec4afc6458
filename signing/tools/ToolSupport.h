#pragma once
// What SignCode and ChkTrust share: running osslsigncode, replacing a file
// with a signed copy, and reporting in the form the program's tool runner
// reads ("Error: ..." and a non-zero exit code on failure).

#include <filesystem>
#include <string>
#include <vector>

#include "platform/Process.h"

namespace pcn::tools {

// Runs osslsigncode (from PATH) with the arguments; its output is echoed to
// stdout as it arrives when echo is set.
ProcessResult runOsslsigncode(const std::vector<std::string>& arguments, bool echo = true);

// True once SIGTERM or SIGINT has arrived (the program's runner cancelled us).
bool interrupted();
void installInterruptHandlers();

// A private folder beside a file, for the copies on the way to replacing it;
// removed with everything in it.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::filesystem::path& besideFile);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    bool ok() const { return !path_.empty(); }
    int error() const { return error_; }
    std::filesystem::path file(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
    int error_ = 0;
};

// Moves replacement over target, keeping target's permission bits; flushed
// first so that a crash never leaves a half-written target. errno-style
// error in *error on failure.
bool replaceFile(const std::filesystem::path& replacement, const std::filesystem::path& target, int* error);

// "Error: TEXT" on stdout; returns the exit code to use.
int failWith(const std::string& text, int exitCode = 1);

}  // namespace pcn::tools
