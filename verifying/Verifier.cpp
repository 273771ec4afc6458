#include "verifying/Verifier.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

#include "building/BuildSupport.h"
#include "building/CabInfWriter.h"
#include "building/CabinetWriter.h"
#include "building/ConfigFile.h"
#include "building/SelfExtractor.h"
#include "model/CCabObj.h"
#include "platform/Numbers.h"
#include "platform/Paths.h"
#include "platform/SettingsStore.h"
#include "platform/pe/Text.h"
#include "verifying/CabinetSet.h"
#include "verifying/Extraction.h"
#include "verifying/InfChecks.h"
#include "verifying/SignatureCheck.h"
#include "verifying/WizardChecks.h"

namespace pcn::verifying {

namespace fs = std::filesystem;

namespace {

std::string plural(size_t n, const char* one, const char* many) {
    return groupDigits(n) + " " + (n == 1 ? one : many);
}

// "MSZIP" or "MSZIP and none": the methods the set's files use.
std::string methodsOf(const CabinetSet& set) {
    std::set<std::string> names;
    for (const CabinetEntry& e : set.entries()) names.insert(compressionName(e.compression));
    std::string text;
    for (const std::string& n : names) text += (text.empty() ? "" : ", ") + n;
    return text.empty() ? "no files" : text;
}

}  // namespace

std::string outputPath(const CCabObj& package, const std::string& name) {
    const std::string& folder = package.m_strBuildFolder.empty() ? package.m_strTargetFolder : package.m_strBuildFolder;
    return (fs::path(folder) / name).string();
}

Verifier::Verifier(CheckReport& report, const SettingsStore& settings, VerifyOptions options)
    : report_(report), settings_(settings), options_(std::move(options)) {}

void Verifier::checkNames(const CabinetSet& set, const std::string& subject) {
    const std::vector<std::string> unsafe = unsafeEntryNames(set);
    for (const std::string& name : unsafe) report_.fails(subject, "a name Windows cannot write safely: " + name);
    if (unsafe.empty()) report_.holds(subject, "every stored name can be written safely on Windows");
}

void Verifier::checkData(CabinetSet& set, const std::string& subject) {
    const uint64_t total = set.totalSize();
    uint64_t done = 0;
    size_t failures = 0;
    for (size_t i = 0; i < set.entries().size() && !cancelled_; ++i) {
        const CabinetEntry& e = set.entries()[i];
        uint64_t size = 0;
        std::string problem;
        const bool ok = set.extract(i, [&](std::string_view data) {
            size += data.size();
            done += data.size();
            if (options_.progress && !options_.progress(done, total, e.name)) {
                cancelled_ = true;
                return false;
            }
            return true;
        }, problem);
        if (cancelled_) break;
        if (!ok) {
            report_.fails(subject, e.name + " " + problem);
            ++failures;
        } else if (size != e.size) {
            report_.fails(subject, e.name + " decompresses to " + groupDigits(size) + " bytes, not the " +
                                       groupDigits(e.size) + " its entry gives");
            ++failures;
        }
    }
    if (cancelled_) {
        report_.fails(subject, "verification cancelled before every file was decompressed");
        return;
    }
    if (failures == 0)
        report_.holds(subject, "all " + plural(set.entries().size(), "file", "files") + " (" + groupDigits(total) +
                                   " bytes, " + methodsOf(set) + ") decompress and match the cabinet's checksums");
}

std::unique_ptr<CabinetSet> Verifier::checkCabinetSet(const std::string& path) {
    const std::string subject = fileNamePart(path);
    auto set = std::make_unique<CabinetSet>();
    if (!set->open(path)) {
        report_.fails(subject, set->error());
        return nullptr;
    }
    const auto& parts = set->parts();
    for (const std::string& problem : set->problems()) report_.fails(subject, problem);
    if (set->problems().empty()) {
        std::string names;
        for (const CabinetPart& p : parts) names += (names.empty() ? "" : ", ") + fileNamePart(p.path);
        report_.holds(subject, parts.size() == 1
                                   ? "one whole cabinet (set " + std::to_string(parts[0].setId) + "), " +
                                         plural(set->entries().size(), "file", "files")
                                   : "a whole set of " + std::to_string(parts.size()) + " cabinets (set " +
                                         std::to_string(parts[0].setId) + ": " + names + "), " +
                                         plural(set->entries().size(), "file", "files"));
    }
    checkNames(*set, subject);
    checkData(*set, subject);
    return set;
}

// A self-extractor given alone: its stub must be one of those a build
// puts there.
void Verifier::checkStubOfFile(const std::string& path, uint64_t offset) {
    std::vector<std::string> stubs = {programFolder() + std::string(kExtractorStubName),
                                      programFolder() + std::string(kWizardStubName)};
    const std::string chosen = settings_.readString(kSelfExtractorSection, kSelfExtractorValue, "");
    if (!chosen.empty()) stubs.push_back(chosen);
    for (const std::string& stub : stubs) {
        if (stubDifference(path, offset, stub).empty()) {
            report_.holds(fileNamePart(path), "the program before the cabinet is our " + fileNamePart(stub));
            return;
        }
    }
    report_.fails(fileNamePart(path), "the program before the cabinet is none of our stubs (" + fileNamePart(stubs[0]) + ", " +
                                      fileNamePart(stubs[1]) + (chosen.empty() ? "" : ", " + fileNamePart(chosen)) + ")");
}

void Verifier::verifyFile(const std::string& path) {
    std::unique_ptr<CabinetSet> set = checkCabinetSet(path);
    if (!set || cancelled_) return;
    const uint64_t offset = set->parts().front().offset;
    if (offset == 0) return;
    checkStubOfFile(path, offset);
    if (!set->entries().empty() && pe::equalsIgnoringAsciiCase(set->entries().front().name, kConfigFileName))
        checkWizardCabinet(*set, nullptr, report_, fileNamePart(path));
}

void Verifier::checkSelfExtractor(const CCabObj& package, const CabinetSet& set) {
    const std::string& first = set.parts().front().path;
    const std::string subject = fileNamePart(first);
    if (!pe::equalsIgnoringAsciiCase(subject, ExecutableName(package)))
        report_.fails(subject, "the package's executable should be " + ExecutableName(package));
    const uint64_t offset = set.parts().front().offset;
    if (offset == 0) {
        report_.fails(subject, "is a bare cabinet, not a program carrying one");
        return;
    }
    const std::string stub = StubPath(package, settings_);
    const std::string difference = stubDifference(first, offset, stub);
    if (difference.empty())
        report_.holds(subject, "the program before the cabinet is our " + fileNamePart(stub));
    else
        report_.fails(subject, difference);
}

void Verifier::checkOutputsExist(const CCabObj& package) {
    for (const std::string& name : package.m_arrOutputFiles) {
        std::error_code ec;
        if (!fs::is_regular_file(outputPath(package, name), ec))
            report_.fails(name, "listed as an output of " + package.m_strProduct + " but not there (" +
                                    outputPath(package, name) + ")");
    }
}

// The package lists its cabinets in set order; the set read back from the
// first one must be exactly those.
void Verifier::checkSetMatchesOutputs(const CCabObj& package, const CabinetSet& set) {
    std::vector<std::string> listed, read;
    for (const std::string& name : package.m_arrOutputFiles) listed.push_back(name);
    for (const CabinetPart& p : set.parts()) read.push_back(fileNamePart(p.path));
    const bool same = listed.size() == read.size() &&
                      std::equal(listed.begin(), listed.end(), read.begin(),
                                 [](const std::string& a, const std::string& b) { return pe::equalsIgnoringAsciiCase(a, b); });
    auto joined = [](const std::vector<std::string>& names) {
        std::string text;
        for (const std::string& n : names) text += (text.empty() ? "" : ", ") + n;
        return text;
    };
    if (same)
        report_.holds(package.m_strProduct, "the outputs are the cabinet set, in order: " + joined(read));
    else
        report_.fails(package.m_strProduct, "the package lists " + joined(listed) + " but the set read back is " + joined(read));
}

// Streams the stored file and its source side by side: a difference stops
// the comparison at the first byte that differs.
std::string Verifier::differenceFromSource(CabinetSet& set, size_t entry, const std::string& source) {
    std::ifstream in(source, std::ios::binary);
    if (!in) return "its source " + source + " cannot be read";
    uint64_t at = 0;
    std::string problem, chunk;
    bool differs = false;
    const bool read = set.extract(entry, [&](std::string_view data) {
        chunk.resize(data.size());
        in.read(chunk.data(), static_cast<std::streamsize>(data.size()));
        const size_t got = static_cast<size_t>(in.gcount());
        const auto mismatch = std::mismatch(data.begin(), data.begin() + std::min(got, data.size()), chunk.begin());
        if (got != data.size() || mismatch.first != data.begin() + got) {
            at += static_cast<uint64_t>(mismatch.first - data.begin());
            differs = true;
            return false;
        }
        at += data.size();
        const CabinetEntry& e = set.entries()[entry];
        if (options_.progress && !options_.progress(at, e.size, e.name)) {
            cancelled_ = true;
            return false;
        }
        return true;
    }, problem);
    if (differs) return "differs from its source " + source + " from byte " + groupDigits(at) + " on";
    if (!read) return problem;
    if (in.peek() != std::char_traits<char>::eof()) return "is shorter than its source " + source;
    return {};
}

void Verifier::checkAgainstSource(const CCabObj& package, CabinetSet& set) {
    const std::string subject = package.m_strProduct;
    const auto& entries = set.entries();
    size_t problems = 0;
    for (int i = 0; i < package.GetFileCount() && !cancelled_; ++i) {
        const std::string source = package.GetFilePath(i);
        const std::string stored = nameInCabinet(package, source);
        auto it = std::find_if(entries.begin(), entries.end(), [&](const CabinetEntry& e) { return e.name == stored; });
        std::string difference = it == entries.end() ? std::string("is not in the cabinet")
                                                     : differenceFromSource(set, size_t(it - entries.begin()), source);
        if (!difference.empty()) {
            report_.fails(subject, stored + " " + difference);
            ++problems;
        }
    }
    if (problems == 0 && !cancelled_)
        report_.holds(subject, "all " + plural(size_t(package.GetFileCount()), "file is", "files are") +
                                   " byte-identical to their sources");
}

void Verifier::checkSignatures(const CCabObj& package, const CabinetSet& set) {
    const bool embedded = BuildKind(package) == kKindSelfExtractingCabinet && set.parts().front().offset > 0;
    for (size_t i = 0; i < package.m_arrOutputFiles.size(); ++i) {
        const std::string path = outputPath(package, package.m_arrOutputFiles[i]);
        if (i == 0 && embedded)
            checkEmbeddedCabinetSignature(package, path, set.parts().front().offset, report_);
        else
            checkSignature(package, path, report_);
    }
}

void Verifier::verifyPackage(const CCabObj& package) {
    const std::string subject = package.m_strProduct;
    if (package.IsWebPackage()) {
        checkWebPackage(package, report_);
        return;
    }
    if (package.m_arrOutputFiles.empty()) {
        report_.fails(subject, "not built: the package lists no output files");
        return;
    }
    checkOutputsExist(package);
    const std::string first = outputPath(package, package.m_arrOutputFiles.front());
    std::unique_ptr<CabinetSet> set = checkCabinetSet(first);
    // Cancelled: the signature checks would start ChkTrust for nothing.
    if (!set || cancelled_) return;
    checkSetMatchesOutputs(package, *set);
    const int32_t kind = BuildKind(package);
    if (kind == kKindSelfExtractingCabinet || kind == kKindSelfExtractingWizard)
        checkSelfExtractor(package, *set);
    if (kind == kKindSelfExtractingWizard)
        checkWizardCabinet(*set, &package, report_, fileNamePart(first));
    if (options_.againstSource) checkAgainstSource(package, *set);
    if (package.m_bCreateInf) checkCabinetInf(CabInfFilePath(package), *set, report_);
    if (package.m_bSignature) checkSignatures(package, *set);
}

}  // namespace pcn::verifying
