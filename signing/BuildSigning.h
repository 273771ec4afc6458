#pragma once
// Signing the output files of a package build ("Add Digital Signature"):
// the credentials and key checks with their Retry/Cancel questions, then
// every output file signed in order and, when the package asks for it,
// time-stamped. Runs on the build worker's thread; a failed file does not stop
// the others, and the outcome never changes the build's own result. A time
// stamp that could not be set leaves the file signed; one warning names the
// server and the files without a time stamp.

#include <atomic>
#include <string>
#include <vector>

#include "signing/ToolRunner.h"

namespace pcn {

class BuildHost;
class CCabObj;
class SettingsStore;
class UserInterface;

struct BuildSigningResult {
    bool skipped = false;  // the user cancelled a credentials or key question
    std::vector<std::string> signedFiles;
    std::vector<std::string> failedFiles;       // signing failed
    std::vector<std::string> unstampedFiles;    // signed, but the time stamp failed
    std::string timeStampServer;                // the server asked, as the warning names it
};

// host receives the status line texts and the tools' output (may be null);
// abortRequested, when given, ends a running tool and skips the files left.
BuildSigningResult signBuildOutput(const CCabObj& package, UserInterface& ui, ToolHost* host,
                                   SettingsStore* settings = nullptr,
                                   const std::atomic<int>* abortRequested = nullptr);

// The build driver's entry: status texts and the tools' "Error:" lines go to
// the build's step line; the build's abort request ends a running tool.
BuildSigningResult signBuildOutput(const CCabObj& package, UserInterface& ui, BuildHost& host,
                                   SettingsStore* settings = nullptr);

// A key given as a path (rather than a key container's name) is checked
// for existence before signing.
bool keyLooksLikePath(const std::string& key);

}  // namespace pcn
