#include "model/FtpSiteOptions.h"

#include "model/RecordFile.h"
#include "platform/AtomicFile.h"
#include "platform/SettingsStore.h"

namespace pcn {
namespace {

const std::string kPassive = "Passive";
const std::string kTls = "Tls";
const std::string kCaFile = "TlsCaFile";

// Section names are one line between brackets: the characters that would
// end either are escaped as %XX (and '%' itself).
std::string sectionName(std::string_view description) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string name;
    for (unsigned char c : description) {
        if (c == '%' || c == '[' || c == ']' || c == '\n' || c == '\r' || c == '\\') {
            name += '%';
            name += kHex[c >> 4];
            name += kHex[c & 15];
        } else {
            name += static_cast<char>(c);
        }
    }
    return name;
}

}  // namespace

std::string ftpSiteOptionsFile(std::string_view siteFile) { return std::string(siteFile) + ".options"; }

void applyFtpSiteOptions(std::string_view text, const std::vector<std::unique_ptr<CFTPObj>>& sites) {
    const SettingsStore::Sections sections = SettingsStore::parse(text);
    for (const auto& site : sites) {
        site->m_bPassive = 0;
        site->m_bUseTls = 0;
        site->m_strTlsCaFile.clear();
        auto found = sections.find(sectionName(site->m_strDescription));
        if (found == sections.end()) continue;
        const auto& values = found->second;
        if (auto v = values.find(kPassive); v != values.end() && v->second.isInt) site->m_bPassive = v->second.number != 0;
        if (auto v = values.find(kTls); v != values.end() && v->second.isInt) site->m_bUseTls = v->second.number != 0;
        if (auto v = values.find(kCaFile); v != values.end() && !v->second.isInt) site->m_strTlsCaFile = v->second.text;
    }
}

std::string storeFtpSiteOptions(const std::vector<std::unique_ptr<CFTPObj>>& sites) {
    SettingsStore::Sections sections;
    for (const auto& site : sites) {
        auto& values = sections[sectionName(site->m_strDescription)];
        values[kPassive] = {true, site->m_bPassive, {}};
        values[kTls] = {true, site->m_bUseTls, {}};
        if (!site->m_strTlsCaFile.empty()) values[kCaFile] = {false, 0, site->m_strTlsCaFile};
    }
    return SettingsStore::format(sections);
}

void loadFtpSiteOptions(std::string_view siteFile, const std::vector<std::unique_ptr<CFTPObj>>& sites) {
    std::string text;
    int error = 0;
    if (!readRecordFile(ftpSiteOptionsFile(siteFile), text, error)) text.clear();
    applyFtpSiteOptions(text, sites);
}

bool saveFtpSiteOptions(std::string_view siteFile, const std::vector<std::unique_ptr<CFTPObj>>& sites,
                        int* systemError) {
    WriteResult written = writeFileAtomically(ftpSiteOptionsFile(siteFile), storeFtpSiteOptions(sites), kOwnerOnly);
    if (systemError) *systemError = written.error;
    return written.ok;
}

}  // namespace pcn
