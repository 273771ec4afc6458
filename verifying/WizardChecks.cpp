#include "verifying/WizardChecks.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <optional>

#include "building/CabinetWriter.h"
#include "building/ConfigFile.h"
#include "building/SelfExtractor.h"
#include "model/CCabObj.h"
#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "platform/pe/Bytes.h"
#include "platform/pe/Text.h"
#include "verifying/CabinetSet.h"

namespace pcn::verifying {

namespace {

constexpr size_t kMaxStubSize = 64u << 20;
constexpr size_t kMaxConfigSize = 1u << 20;

using pe::equalsIgnoringAsciiCase;

// The part of a stored or configured name after its last '\'.

// The header bytes signing rewrites in a PE image: the checksum and the
// certificate table entry. Nothing when the bytes are no PE image.
std::vector<std::pair<size_t, size_t>> signingFields(std::string_view image) {
    const auto peAt = pe::read32(image, 0x3C);
    if (image.substr(0, 2) != "MZ" || !peAt) return {};
    const uint64_t optional = uint64_t(*peAt) + 24;
    const auto magic = pe::read16(image, optional);
    if (!magic) return {};
    const uint64_t directories = optional + (*magic == 0x20B ? 112 : 96);
    return {{size_t(optional + 64), 4}, {size_t(directories + 4 * 8), 8}};
}

std::optional<std::string> configValue(const std::vector<std::pair<std::string, std::string>>& config,
                                       std::string_view key) {
    for (const auto& [k, v] : config)
        if (k == key) return v;
    return std::nullopt;
}

std::optional<int> number(std::string_view text) {
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::vector<std::string> lines(std::string_view text) {
    std::vector<std::string> out;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find("\r\n", at);
        if (end == std::string_view::npos) end = text.size();
        out.emplace_back(text.substr(at, end - at));
        at = end + 2;
    }
    return out;
}

// A path that the stub resolves outside the installed files: another
// folder token than %DESTDIR%, a drive or a network path.
bool pointsOutsidePackage(std::string_view value) {
    if (value.size() >= 2 && value[1] == ':') return true;
    if (value.substr(0, 2) == "\\\\") return true;
    if (!value.empty() && value[0] == '%') return !equalsIgnoringAsciiCase(value.substr(0, 9), "%DESTDIR%");
    return false;
}

bool cabinetHoldsFileNamed(const CabinetSet& set, std::string_view name) {
    return std::any_of(set.entries().begin(), set.entries().end(),
                       [&](const CabinetEntry& e) { return equalsIgnoringAsciiCase(fileNamePart(e.name), name); });
}

void compareWithPackage(const std::string& text, const std::vector<std::pair<std::string, std::string>>& config,
                        const CCabObj& package, CheckReport& report, const std::string& subject) {
    const std::string problem = ConfigFileProblem(package);
    if (!problem.empty()) {
        report.fails(subject, "the package cannot make a pcn.cfg: " + problem);
        return;
    }
    // The scrambled password starts with random filler: take the one written.
    const std::string scrambled = configValue(config, "Adgang").value_or("");
    const std::string expected = ConfigFileText(package, scrambled.substr(0, std::min(scrambled.size(), kPasswordFillerLength)));
    if (expected == text) {
        report.holds(subject, "pcn.cfg matches the package, key for key");
        return;
    }
    const std::vector<std::string> got = lines(text), want = lines(expected);
    for (size_t i = 0; i < std::max(got.size(), want.size()); ++i) {
        const std::string g = i < got.size() ? got[i] : "(nothing)", w = i < want.size() ? want[i] : "(nothing)";
        if (g == w) continue;
        if (g.rfind("Adgang=", 0) == 0 || w.rfind("Adgang=", 0) == 0)
            report.fails(subject, "pcn.cfg holds another password than the package");
        else
            report.fails(subject, "pcn.cfg line " + std::to_string(i + 1) + " is \"" + g + "\" where the package gives \"" + w + "\"");
        return;
    }
    report.fails(subject, "pcn.cfg differs from the package in its line ends");
}

// The package's files follow pcn.cfg (and the licence's own slot) in the
// order of the file table: pcn.cfg's DestPath and Register numbers count them.
void checkFileOrder(const CabinetSet& set, size_t first, const CCabObj& package, CheckReport& report,
                    const std::string& subject) {
    const auto& entries = set.entries();
    for (int i = 0; i < package.GetFileCount(); ++i) {
        const std::string want = nameInCabinet(package, package.GetFilePath(i));
        const size_t at = first + size_t(i);
        if (at >= entries.size() || entries[at].name != want) {
            report.fails(subject, "file " + std::to_string(i) + " of the package, " + want + ", is not where pcn.cfg counts it (" +
                                      (at < entries.size() ? "the cabinet holds " + entries[at].name + " there" : "the cabinet ends before it") + ")");
            return;
        }
    }
    report.holds(subject, "the package's " + std::to_string(package.GetFileCount()) +
                              " files follow pcn.cfg in the order of its file table");
}

void checkNamedFile(const CabinetSet& set, const std::string& what, const std::string& value, CheckReport& report,
                    const std::string& subject) {
    if (value.empty()) return;
    if (pointsOutsidePackage(value))
        report.holds(subject, what + " " + value + " lies outside the package (not in the cabinet by design)");
    else if (cabinetHoldsFileNamed(set, fileNamePart(value)))
        report.holds(subject, what + " " + value + " is in the cabinet");
    else
        report.fails(subject, "pcn.cfg names " + value + " as " + what + ", but the cabinet holds no such file");
}

}  // namespace

std::string stubDifference(const std::string& executable, uint64_t cabinetOffset, const std::string& stub) {
    std::string stubBytes, head;
    int error = 0;
    if (!readRegularFile(stub, stubBytes, error, kMaxStubSize))
        return "the stub " + stub + " cannot be read to compare: " + std::strerror(error);
    if (cabinetOffset != stubBytes.size())
        return "the cabinet begins at byte " + std::to_string(cabinetOffset) + ", but " + fileNamePart(stub) +
               " is " + std::to_string(stubBytes.size()) + " bytes long";
    FILE* f = std::fopen(executable.c_str(), "rb");
    if (!f) return "cannot be read";
    head.resize(stubBytes.size());
    head.resize(std::fread(head.data(), 1, head.size(), f));
    std::fclose(f);
    if (head.size() != stubBytes.size()) return "is shorter than the stub";
    for (const auto& [at, length] : signingFields(stubBytes)) {
        if (at + length > head.size()) continue;
        head.replace(at, length, stubBytes, at, length);
    }
    if (head != stubBytes) return "the program before the cabinet is not " + fileNamePart(stub);
    return {};
}

std::vector<std::pair<std::string, std::string>> parseConfig(std::string_view text) {
    std::vector<std::pair<std::string, std::string>> config;
    for (const std::string& line : lines(text)) {
        const size_t eq = line.find('=');
        if (eq == std::string::npos || line.empty() || line[0] == '[') continue;
        config.emplace_back(line.substr(0, eq), line.substr(eq + 1));
    }
    return config;
}

void checkWizardCabinet(CabinetSet& set, const CCabObj* package, CheckReport& report, const std::string& subject) {
    const auto& entries = set.entries();
    if (entries.empty() || !equalsIgnoringAsciiCase(entries[0].name, kConfigFileName)) {
        report.fails(subject, "the cabinet does not begin with pcn.cfg, so the setup stub stops at once");
        return;
    }
    std::string text, problem;
    if (!set.readEntry(0, text, kMaxConfigSize, problem)) {
        report.fails(subject, "pcn.cfg " + problem);
        return;
    }
    const auto config = parseConfig(text);
    if (package) compareWithPackage(text, config, *package, report, subject);

    const bool licence = configValue(config, "FileB") == std::optional<std::string>("1");
    const auto licenceIndex = number(configValue(config, "FileIndex").value_or("x"));
    const size_t first = 1 + (licence && !licenceIndex ? 1 : 0);
    const bool miniSetup = configValue(config, "Mini Setup") == std::optional<std::string>("1");
    if (licence) {
        const std::string name = configValue(config, "File").value_or("");
        const size_t at = licenceIndex ? first + size_t(std::max(*licenceIndex, 0)) : 1;
        if (licenceIndex && *licenceIndex < 0)
            report.fails(subject, "pcn.cfg gives the licence a negative file number");
        else if (at < entries.size() && equalsIgnoringAsciiCase(fileNamePart(entries[at].name), name))
            report.holds(subject, "the licence " + name + " is where pcn.cfg says");
        else
            report.fails(subject, "pcn.cfg shows the licence " + name + ", but the cabinet holds " +
                                      (at < entries.size() ? entries[at].name : std::string("nothing")) + " in its place");
    }
    if (miniSetup) {
        if (entries.size() > first && equalsIgnoringAsciiCase(entries.back().name, kMiniSetupName))
            report.holds(subject, "the mini setup program ends the cabinet, as pcn.cfg says");
        else
            report.fails(subject, "pcn.cfg asks for the mini setup, but " + std::string(kMiniSetupName) + " does not end the cabinet");
    }
    if (package) checkFileOrder(set, first, *package, report, subject);

    // Numbers in pcn.cfg count the package's files.
    const size_t fileCount = package ? size_t(package->GetFileCount())
                                     : entries.size() - std::min(entries.size(), first + (miniSetup ? 1 : 0));
    for (const auto& [key, value] : config) {
        if (key.rfind("DestPath", 0) == 0) {
            const auto n = number(std::string_view(key).substr(8));
            if (!n || *n < 0 || size_t(*n) >= fileCount)
                report.fails(subject, "pcn.cfg gives a destination (" + key + "=" + value + ") for a file the cabinet does not hold");
        }
    }
    const std::string registered = configValue(config, "Register").value_or("");
    for (size_t at = 0; at < registered.size();) {
        const size_t end = std::min(registered.find(',', at), registered.size());
        const auto n = number(std::string_view(registered).substr(at, end - at));
        if (!n || *n < 0 || size_t(*n) >= fileCount)
            report.fails(subject, "pcn.cfg registers file " + registered.substr(at, end - at) + ", which the cabinet does not hold");
        at = end + 1;
    }
    checkNamedFile(set, "the program to run", configValue(config, "Exe").value_or(""), report, subject);
    for (const auto& [key, value] : config)
        if (key.rfind("SC ", 0) == 0) checkNamedFile(set, "the target of shortcut " + key.substr(3), value, report, subject);
}

}  // namespace pcn::verifying
