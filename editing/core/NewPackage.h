#pragma once
// A new cabinet-kind package defined in one go (the command line's
// counterpart of the package wizard): the wizard's defaults, its checks
// with their messages, and the source scan.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "editing/core/SourceScan.h"

namespace pcn {

class CCabObj;

struct NewPackageOptions {
    int32_t kind = 0;  // 0 Cabinet, 2 Self Extracting Cabinet, 4 Self Extracting Wizard
    std::string company, product, version, description, comment, copyright;
    std::string sourceFolder;
    bool subFolders = false;
    std::string targetFolder;  // the folder that receives the output folder
    std::string projectName;   // default: the product name, cleaned
    bool compression = true;
    int32_t spanSize = 0;      // 0: one cabinet of any size; else span cabinets of this size
    bool createInf = true;
    bool includeInf = false;
    bool signature = true;   // on unless refused; needs credentials and key
    std::string credentials, key, signInfo;
    int32_t digest = 2;      // model/Digest.h; new packages sign with SHA-256
    bool timeStamp = true;
    std::string installDir;    // wizard: default "%PROGRAMFILES%\<product>"
    bool restoreDirs = false;  // self-extractors: recreate the source's sub-folders
    std::string packageFile;   // default: the first free name in the data folder
};

struct NewPackageResult {
    std::unique_ptr<CCabObj> package;  // null when a check failed
    std::string message;               // the failed check's message
    std::string field;                 // the option at fault
    ScanResult scan;                   // what the source folder scan met
};

// Description and comment as the Information page writes them while the
// product name is typed.
std::string DefaultDescription(const std::string& product);
std::string DefaultComment(const std::string& product, const std::string& version);
// The wizard's default installation directory.
std::string DefaultInstallDir(const std::string& product);
// A project name without the characters an output file name cannot hold.
std::string CleanProjectName(const std::string& name);
// target folder + project name + "W" (wizard) + ".CAB" or ".EXE": the first
// output file, which must not exist yet for a new package.
std::string FirstOutputFile(const CCabObj& package);

// A file the package would make whose name the file system cannot hold.
struct NameTooLong {
    std::string path;
    long limit = 0;        // bytes allowed
    bool wholePath = false;  // the limit is the path's, not the name's
};

// Checks the names a new package makes: its package file, every folder of
// its output folder, and the outputs in that folder (the executables, the
// INF, the summary and a numbered cabinet of a large spanned set). The first
// one too long, or nothing.
std::optional<NameTooLong> FindNameTooLong(const std::string& packageFile, const std::string& projectName,
                                           const std::string& outputFolder);
// The product name as the stem of its package file: separators would put the
// file into another folder.
std::string PackageFileStem(std::string product);
// The message for it.
std::string NameTooLongMessage(const NameTooLong& problem);

NewPackageResult MakeNewPackage(const NewPackageOptions& options);

}  // namespace pcn
