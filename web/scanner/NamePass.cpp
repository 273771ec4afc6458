// The name pass: library names the component mentions in its bytes.
#include <cctype>
#include <unordered_set>

#include "model/CCabObj.h"
#include "platform/LibrarySearch.h"
#include "platform/Paths.h"
#include "platform/pe/Component.h"
#include "web/scanner/DependencyScanner.h"

namespace pcn::web {
namespace {

constexpr size_t kMaxNameCharacters = 259;
constexpr size_t kMinimumNameCharacters = 2;  // before the extension

bool isAsciiAlnum(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }
bool isSoNameCharacter(char c) { return isAsciiAlnum(c) || c == '_' || c == '-' || c == '+'; }

bool matchesDll(std::string_view bytes, size_t at) {
    return bytes[at] == '.' && (bytes[at + 1] | 0x20) == 'd' && (bytes[at + 2] | 0x20) == 'l' &&
           (bytes[at + 3] | 0x20) == 'l';
}

// Length of the name characters that end right before `end`.
template <typename IsNameCharacter>
size_t stemLength(std::string_view bytes, size_t end, IsNameCharacter isNameCharacter) {
    size_t length = 0;
    while (length < kMaxNameCharacters && end > length && isNameCharacter(bytes[end - length - 1])) ++length;
    return length;
}

// ".so" with its version suffix (".so", ".so.1", ".so.1.2.13") at `at`, or 0
// when what follows ".so" makes it part of a longer word.
size_t soExtensionLength(std::string_view bytes, size_t at) {
    if (bytes.compare(at, 3, ".so") != 0) return 0;
    size_t end = at + 3;
    while (end + 1 < bytes.size() && bytes[end] == '.' && std::isdigit(static_cast<unsigned char>(bytes[end + 1]))) {
        end += 2;
        while (end < bytes.size() && std::isdigit(static_cast<unsigned char>(bytes[end]))) ++end;
    }
    if (end < bytes.size() && isSoNameCharacter(bytes[end])) return 0;
    return end - at;
}

std::string foldedName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return folded;
}

// The names found, each kept once (compared ignoring case as the list's
// entries are), up to kMaxNamesKept; the rest are counted as skipped.
class NameCollector {
public:
    NameCollector(CCabObj& definition, std::string componentName)
        : definition_(definition), componentName_(std::move(componentName)) {
        for (int i = 0; i < definition_.GetDependencyCount(); ++i) seen_.insert(foldedName(definition_.GetDependencyName(i)));
    }

    void found(std::string_view stem, std::string_view extension) {
        if (stem.size() < kMinimumNameCharacters) return;
        std::string name = std::string(stem) + std::string(extension);
        if (sameNameIgnoringCase(name, componentName_)) return;
        int32_t origin = kOriginNamed;
        if (sameNameIgnoringCase(name, "AUTPRX32.DLL")) {
            name += " *";
            origin = kOriginSystem;
        }
        if (!seen_.insert(foldedName(name)).second) return;
        if (kept_ >= kMaxNamesKept) {
            ++skipped_;
            return;
        }
        ++kept_;
        int entry = definition_.AddDependency(name);
        definition_.SetDependencyOrigin(entry, origin);
    }
    int skipped() const { return skipped_; }

private:
    CCabObj& definition_;
    std::string componentName_;
    std::unordered_set<std::string> seen_;  // folded: listed before, kept or skipped
    int kept_ = 0;
    int skipped_ = 0;
};

}  // namespace

bool ScanFileForLibraryNames(CCabObj& definition, const std::string& componentPath, int* skipped) {
    // Mapped rather than read into a buffer of the file's size: the file is
    // the user's and may be of any size.
    auto mapped = pe::ComponentFile::open(componentPath);
    if (!mapped) return false;
    const std::string_view bytes = mapped->bytes();
    const bool elf = bytes.starts_with("\x7f" "ELF");
    NameCollector names(definition, fileNamePart(componentPath));
    int matches = 0;

    // Segments end at a line feed; the bytes after the last one are not
    // examined. A match must leave two bytes between its last byte and the
    // line feed, three when the byte two places before the line feed is a
    // carriage return.
    size_t start = 0;
    for (size_t lf = bytes.find('\n'); lf != std::string_view::npos; start = lf + 1, lf = bytes.find('\n', start)) {
        const size_t room = (lf >= 2 && bytes[lf - 2] == '\r') ? 3 : 2;
        auto fits = [&](size_t at, size_t length) { return at + length + room <= lf; };
        for (size_t at = start; fits(at, 3); ++at) {
            if (bytes[at] != '.') continue;
            if (fits(at, 4) && matchesDll(bytes, at)) {
                ++matches;
                size_t stem = stemLength(bytes, at, isAsciiAlnum);
                names.found(bytes.substr(at - stem, stem), bytes.substr(at, 4));
            } else if (elf) {
                size_t extension = soExtensionLength(bytes.substr(0, lf), at);
                if (extension == 0) continue;
                ++matches;
                size_t stem = stemLength(bytes, at, isSoNameCharacter);
                names.found(bytes.substr(at - stem, stem), bytes.substr(at, extension));
            }
        }
    }
    if (skipped) *skipped = names.skipped();
    return matches > 0;
}

}  // namespace pcn::web
