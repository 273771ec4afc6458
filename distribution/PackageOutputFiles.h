#pragma once
// The files of a package that can be sent (by FTP or mail): for a web INF
// package its INF file and, when it has one, its HTML page; for the cabinet
// kinds the output files of the last build, the cabinet INF file when the
// package writes one, and the summary document. All in the target folder.

#include <string>
#include <vector>

#include "model/CCabObj.h"

namespace pcn {

// Some of a cabinet package's output files do not exist: the FTP sheet says so...
inline constexpr const char* kOutputFilesMissingFtp = "Some or all project output files are missing.";
// ...and the mail command says it so.
inline constexpr const char* kOutputFilesMissingMail = "Some or all project output file(s) are missing.";

struct SendableFile {
    std::string path;
    bool checked = false;  // offered checked: the file exists
};

struct SendableFiles {
    std::vector<SendableFile> files;
    bool outputFilesMissing = false;  // an output file of the last build does not exist
};

SendableFiles packageFilesToSend(const CCabObj& package);

// The checked paths, in list order.
std::vector<std::string> checkedPaths(const SendableFiles& files);

}  // namespace pcn
