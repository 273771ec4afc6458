#include "building/StoredNames.h"

#include <clocale>
#include <cwctype>
#include <locale.h>
#include <algorithm>
#include <map>

#include "building/BuildSupport.h"
#include "building/CabInfWriter.h"
#include "building/CabinetWriter.h"
#include "building/ConfigFile.h"
#include "building/SelfExtractor.h"
#include "model/CCabObj.h"
#include "platform/Paths.h"
#include "platform/Unicode.h"

namespace pcn {
namespace {

// Decodes one UTF-8 sequence at `at`; a byte that starts no valid sequence
// stands for itself (such names are refused elsewhere, but must still compare).
char32_t decodeAt(std::string_view s, size_t& at) {
    const auto c = static_cast<unsigned char>(s[at]);
    const size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (length <= 1 || at + length > s.size()) {
        ++at;
        return c;
    }
    char32_t code = c & (0xFF >> (length + 1));
    for (size_t k = 1; k < length; ++k) code = code << 6 | (static_cast<unsigned char>(s[at + k]) & 0x3F);
    at += length;
    return code;
}

// The C.UTF-8 locale's case mapping, whatever locale the program runs in.
char32_t upperCase(char32_t code) {
    static const locale_t utf8 = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(0));
    if (code < 0x80) return code >= 'a' && code <= 'z' ? code - 32 : code;
    return utf8 ? char32_t(::towupper_l(wint_t(code), utf8)) : code;
}

void dropTrailingDotsAndBlanks(std::string& component) {
    while (!component.empty() && (component.back() == '.' || component.back() == ' ')) component.pop_back();
}

}  // namespace

std::string windowsNameKey(std::string_view stored) {
    std::string key, component;
    size_t at = 0;
    while (at < stored.size()) {
        const char32_t code = decodeAt(stored, at);
        if (code == '\\') {
            dropTrailingDotsAndBlanks(component);
            key += component + '\\';
            component.clear();
        } else {
            appendUtf8(component, upperCase(code));
        }
    }
    dropTrailingDotsAndBlanks(component);
    return key + component;
}

std::vector<NameCollision> FindNameCollisions(const std::vector<CabinetEntry>& entries) {
    std::vector<NameCollision> byName;
    std::map<std::string, size_t> indexOfKey;
    for (const CabinetEntry& entry : entries) {
        auto [it, added] = indexOfKey.emplace(windowsNameKey(entry.stored), byName.size());
        if (added) byName.push_back({entry.stored, {}});
        byName[it->second].sources.push_back(entry.source);
    }
    std::vector<NameCollision> collisions;
    for (NameCollision& name : byName)
        if (name.sources.size() > 1) collisions.push_back(std::move(name));
    return collisions;
}

std::vector<CabinetEntry> PlannedCabinetEntries(const CCabObj& package) {
    std::vector<std::string> paths;
    const bool wizard = BuildKind(package) == kKindSelfExtractingWizard;
    if (wizard) {
        paths.push_back(ConfigFilePath(package));
        if (package.m_bLicense && !package.m_strLicenseFile.empty() && LicenceFileTableIndex(package) < 0)
            paths.push_back(package.m_strLicenseFile);
    }
    for (int i = 0; i < package.GetFileCount(); ++i) paths.push_back(package.GetFilePath(i));
    if (package.m_bCreateInf && package.m_bIncludeInf && !package.m_strSourceFolder.empty()) {
        const std::string copy =
            withTrailingSeparator(package.m_strSourceFolder) + fileNamePart(CabInfFilePath(package));
        // The build leaves out a copy the file table lists already.
        if (std::find(paths.begin(), paths.end(), copy) == paths.end()) paths.push_back(copy);
    }
    if (wizard && package.m_bMiniSetup) paths.push_back(programFolder() + std::string(kMiniSetupName));

    std::vector<CabinetEntry> entries;
    for (std::string& path : paths) {
        std::string stored = nameInCabinet(package, path);
        entries.push_back({std::move(path), std::move(stored)});
    }
    return entries;
}

std::string NameCollisionsMessage(const std::vector<NameCollision>& collisions, std::string_view remedy) {
    std::string text =
        "These files would be stored in the cabinet under the same name (Windows does not tell upper and lower "
        "case apart), so that one would overwrite the other when extracted; nothing is written:\n";
    for (const NameCollision& collision : collisions) {
        text += "\n" + collision.stored + ":";
        for (const std::string& source : collision.sources) text += "\n    " + source;
    }
    return text + "\n\n" + std::string(remedy);
}

}  // namespace pcn
