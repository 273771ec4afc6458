#pragma once
// Checks a built package as Windows will meet it: every cabinet of its set
// opens and every file decompresses and matches the cabinet's checksums, the
// set is whole, and the package's pieces agree with one another. Each check
// adds one line to a report.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "verifying/CheckReport.h"

namespace pcn {
class CCabObj;
class SettingsStore;
}

namespace pcn::verifying {

class CabinetSet;

struct VerifyOptions {
    // Compare each stored file with its source, byte for byte.
    bool againstSource = false;
    // Called as data is decompressed (bytes done, bytes in all, file);
    // returning false cancels the verification.
    std::function<bool(uint64_t done, uint64_t total, const std::string& name)> progress;
};

class Verifier {
public:
    Verifier(CheckReport& report, const SettingsStore& settings, VerifyOptions options = {});

    // A file given on its own: a cabinet (and the rest of its set) or an
    // executable carrying one.
    void verifyFile(const std::string& path);
    // Every output of a built package.
    void verifyPackage(const CCabObj& package);

    bool cancelled() const { return cancelled_; }

private:
    // Opens the set in the file and checks it whole: the set's cabinets,
    // safe names, every file's data. Null when the file holds no cabinet.
    std::unique_ptr<CabinetSet> checkCabinetSet(const std::string& path);
    void checkNames(const CabinetSet& set, const std::string& subject);
    void checkData(CabinetSet& set, const std::string& subject);
    void checkOutputsExist(const CCabObj& package);
    void checkSetMatchesOutputs(const CCabObj& package, const CabinetSet& set);
    void checkSelfExtractor(const CCabObj& package, const CabinetSet& set);
    void checkSignatures(const CCabObj& package, const CabinetSet& set);
    void checkAgainstSource(const CCabObj& package, CabinetSet& set);
    std::string differenceFromSource(CabinetSet& set, size_t entry, const std::string& source);
    void checkStubOfFile(const std::string& path, uint64_t offset);

    CheckReport& report_;
    const SettingsStore& settings_;
    VerifyOptions options_;
    bool cancelled_ = false;
};

// The full path of a package's output, as the last build wrote it.
std::string outputPath(const CCabObj& package, const std::string& name);

}  // namespace pcn::verifying
