#pragma once
// Packages for the build hosts' tests: a small cabinet package of a few
// files, and a package of one large file of poorly compressible data that
// takes long enough to build that a test can cancel it while it runs.

#include <cstdint>
#include <filesystem>
#include <string>

#include "model/CCabObj.h"

namespace pcn::test {

// A temporary folder removed with the object.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// A Cabinet package named `name` whose sources lie in root/src-<name> and
// whose output goes to root/out/<name>; no signature, no INF.
void makeCabinetPackage(CCabObj& package, const std::filesystem::path& root, const std::string& name);
// Writes a file (under the package's source folder) and lists it.
std::string addSourceFile(CCabObj& package, const std::string& relative, const std::string& bytes);
// Writes `size` bytes of noise that MSZIP cannot shrink much, and lists the file.
std::string addLargeSourceFile(CCabObj& package, const std::string& relative, uint64_t size);

// A Cabinet package named "Large" of one file of 200 MB of noise, built
// into root/out/Large. The file is written once per test process (into a
// folder removed at exit) and shared by every package made here.
void makeLargePackage(CCabObj& package, const std::filesystem::path& root);

// How long a test waits for a build at most.
inline constexpr int kBuildTimeoutMs = 120000;

// The cabinet checked by cabextract -t; its output on failure.
bool cabextractAccepts(const std::filesystem::path& cabinet, std::string* output = nullptr);

}  // namespace pcn::test
