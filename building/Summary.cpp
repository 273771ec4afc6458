#include "building/Summary.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "building/BuildSupport.h"
#include "distribution/ErrorReport.h"
#include "model/CCabObj.h"
#include "model/Digest.h"
#include "platform/AtomicFile.h"
#include "platform/Paths.h"

namespace pcn {
namespace {

constexpr std::string_view kDocumentHead =
    "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss MS Sans Serif;}{\\f1\\froman\\fcharset2 Symbol;}"
    "{\\f2\\froman Times New Roman;}{\\f3\\froman\\fprq2 Book Antiqua;}}"
    "{\\colortbl\\red0\\green0\\blue0;\\red0\\green0\\blue255;}\\deflang1033"
    "\\pard\\plain\\f3\\fs28\\cf1 Package Summary\\line \\b ____________________________________\\par ";
constexpr std::string_view kLabelPrefix =
    "{\\rtf1\\ansi\\deff0\\deftab720{\\fonttbl{\\f0\\fswiss MS Sans Serif;}{\\f1\\froman\\fcharset2 Symbol;}"
    "{\\f2\\froman Times New Roman;}}{\\colortbl\\red0\\green0\\blue0;}\\deflang1033"
    "\\pard\\plain\\f2\\fs20\\b ";
constexpr std::string_view kValuePrefix = "\\plain\\f2\\fs20 ";
constexpr std::string_view kLineEnd = "\\par ";
constexpr std::string_view kDocumentEnd = "\\par\\par } ";

// Length of the UTF-8 sequence starting at text[i] and its code point; 0
// when the bytes there are not one.
size_t decodeUtf8(std::string_view text, size_t i, uint32_t& codePoint) {
    auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char lead = byte(i);
    size_t length = lead >= 0xF0 && lead < 0xF5 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
    if (length == 0 || i + length > text.size()) return 0;
    uint32_t value = lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        value = (value << 6) | (byte(i + k) & 0x3F);
    }
    bool overlong = (length == 3 && value < 0x800) || (length == 4 && value < 0x10000);
    if (overlong || value > 0x10FFFF || (value >= 0xD800 && value < 0xE000)) return 0;
    codePoint = value;
    return length;
}

// The Windows-1252 byte of a code point, or 0 when it has none.
unsigned char ansiByte(uint32_t codePoint) {
    if (codePoint >= 0xA0 && codePoint <= 0xFF) return static_cast<unsigned char>(codePoint);
    static const uint16_t kHighControls[32] = {
        0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
        0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E, 0x0178};
    for (unsigned i = 0; i < 32; ++i)
        if (kHighControls[i] != 0 && kHighControls[i] == codePoint) return static_cast<unsigned char>(0x80 + i);
    return 0;
}

void appendAnsiByte(std::string& out, unsigned char byte) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\'%02x", byte);
    out += hex;
}

void appendUnicodeUnit(std::string& out, uint32_t unit) {
    // RTF writes \u with a signed 16-bit number, then a fallback character.
    int signedUnit = unit > 0x7FFF ? static_cast<int>(unit) - 0x10000 : static_cast<int>(unit);
    out += "\\u" + std::to_string(signedUnit) + "?";
}

// Text beyond ASCII: UTF-8 as the document's ANSI code page (Windows-1252)
// where it has the character, else as \u escapes; bytes that are not UTF-8
// (text from a Windows package) are taken as that code page already.
size_t appendNonAscii(std::string& out, std::string_view text, size_t i) {
    uint32_t codePoint = 0;
    size_t length = decodeUtf8(text, i, codePoint);
    if (length == 0) {
        appendAnsiByte(out, static_cast<unsigned char>(text[i]));
        return 1;
    }
    if (unsigned char ansi = ansiByte(codePoint)) {
        appendAnsiByte(out, ansi);
    } else if (codePoint >= 0x10000) {
        codePoint -= 0x10000;
        appendUnicodeUnit(out, 0xD800 + (codePoint >> 10));
        appendUnicodeUnit(out, 0xDC00 + (codePoint & 0x3FF));
    } else {
        appendUnicodeUnit(out, codePoint);
    }
    return length;
}

std::string rtfText(std::string_view value, bool escaped) {
    std::string out;
    out.reserve(value.size());
    for (size_t i = 0; i < value.size();) {
        char c = value[i];
        if (static_cast<unsigned char>(c) >= 0x80) {
            i += appendNonAscii(out, value, i);
            continue;
        }
        if (escaped && (c == '\\' || c == '{' || c == '}')) out += '\\';
        out += c;
        ++i;
    }
    return out;
}

// Values other than paths go in as the user typed them.
std::string plainValue(std::string_view value) { return rtfText(value, false); }

std::string_view yesNo(int32_t flag) { return flag ? "Yes" : "No"; }

std::string escapedOrNone(std::string_view value) {
    return value.empty() ? std::string("None") : SummaryEscapedValue(value);
}

std::string_view outputTypeName(int32_t kind) {
    switch (kind) {
        case kKindCabinet: return "Cabinet";
        case kKindSelfExtractingCabinet: return "Self Extraction Cabinet";
        case kKindSelfExtractingWizard: return "Self Extraction Wizard";
        default: return "";
    }
}

std::string_view displayTypeName(int32_t showType) {
    switch (showType) {
        case 0: return "Normal";
        case 1: return "Minimized";
        case 2: return "Maximized";
        case 3: return "Console";
        default: return "";  // Hidden shows nothing
    }
}

std::string_view shortcutTypeName(int32_t folder) {
    switch (folder) {
        case kShortcutFolderPersonalPrograms: return "Personal Programs";
        case kShortcutFolderStartup: return "Startup Programs";
        case kShortcutFolderCommonPrograms: return "Common Programs";
        default: return "";
    }
}

class SummaryWriter {
public:
    SummaryWriter() : text_(kDocumentHead) {}

    void entry(std::string_view label, std::string_view value) {
        if (entries_++ > 0) text_ += kLineEnd;
        text_ += kLabelPrefix;
        text_ += label;
        text_ += kValuePrefix;
        text_ += value;
    }
    // Lines that continue the last entry.
    void continuation(std::string_view line) {
        text_ += kLineEnd;
        text_ += line;
    }
    std::string finish() {
        text_ += kDocumentEnd;
        return std::move(text_);
    }

private:
    std::string text_;
    int entries_ = 0;
};

void writeDescription(SummaryWriter& out, const CCabObj& package) {
    out.entry("Company: ", plainValue(package.m_strCompany));
    out.entry("Copyright: ", plainValue(package.m_strCopyright));
    out.entry("Product Name: ", plainValue(package.m_strProduct));
    out.entry("Product Version: ", plainValue(package.m_strVersion));
    out.entry("Product Description: ", plainValue(package.m_strDescription));
    out.entry("Output Type: ", outputTypeName(BuildKind(package)));
    out.entry("Compression: ", yesNo(package.m_bCompression));
    if (package.m_bGuid) out.entry("Scan for GUID(s): ", "Yes");
}

void writeFiles(SummaryWriter& out, const CCabObj& package) {
    out.entry("Source Directory: ", SummaryEscapedValue(package.m_strSourceFolder));
    out.entry("Include Sub Directory: ", yesNo(package.m_bSubDirs));
    out.entry("Files Count: ", std::to_string(package.GetFileCount()));
    out.entry("Files: ", "");
    for (int i = 0; i < package.GetFileCount(); ++i) out.continuation("\t" + SummaryEscapedValue(package.GetFilePath(i)));
}

void writeWizard(SummaryWriter& out, const CCabObj& package) {
    out.entry("Prompt user with text: ", yesNo(package.m_bText));
    out.entry("Prompt user with password: ", yesNo(package.m_bPassword));
    out.entry("Prompt user with license file: ", yesNo(package.m_bLicense));
    out.entry("Program to execute: ", escapedOrNone(package.m_strExe));
    out.entry("Program Command Line: ", escapedOrNone(package.m_strCommandLine));
    out.entry("Default Installation Directory: ", escapedOrNone(package.m_strInstallDir));
    out.entry("Display Type: ", displayTypeName(package.m_nShowType));
    out.entry("Restore Directory Structure: ", yesNo(package.m_bRestoreDirs));
}

void writeMiniSetup(SummaryWriter& out, const CCabObj& package) {
    out.entry("Include Mini Setup: ", "Yes");
    out.entry("Create Shortcut Group: ", yesNo(package.m_bShortcutGroup));
    if (package.m_bShortcutGroup) out.entry("Shortcut Group Description: ", plainValue(package.m_strGroupDesc));
    out.entry("Create Shortcut: ", yesNo(package.m_bShortcuts));
    if (package.m_bShortcuts) {
        // There is no description of the shortcuts as a whole; the group's
        // description heads their list.
        out.entry("Shortcut Description: ", plainValue(package.m_strGroupDesc));
        size_t count = std::min(package.m_arrShortcutDesc.size(), package.m_arrShortcutFile.size());
        for (size_t k = 0; k < count; ++k) {
            out.continuation("\t" + std::to_string(k + 1) + ". " + plainValue(package.m_arrShortcutDesc[k]));
            out.continuation("\t    " + SummaryEscapedValue(package.m_arrShortcutFile[k]));
        }
    }
    out.entry("Shortcut Type: ", shortcutTypeName(package.m_nShortcutFolder));
}

void writeSignature(SummaryWriter& out, const CCabObj& package) {
    out.entry("Software Publishing Credentials Location: ", escapedOrNone(package.m_strSignCredentials));
    out.entry("Software Publishing Key Location: ", escapedOrNone(package.m_strSignKey));
    out.entry("Cryptographic digest algorithm: ", digestText(package.m_bMD5));
    out.entry("Information URL: ", escapedOrNone(package.m_strSignInfo));
}

}  // namespace

std::string SummaryEscapedValue(std::string_view value) { return rtfText(value, true); }

std::string SummaryText(const CCabObj& package) {
    SummaryWriter out;
    writeDescription(out, package);
    writeFiles(out, package);
    if (BuildKind(package) == kKindSelfExtractingWizard) writeWizard(out, package);
    if (package.m_bMiniSetup) writeMiniSetup(out, package);
    if (package.m_bSignature) writeSignature(out, package);
    return out.finish();
}

std::string SummaryDocumentPath(const CCabObj& package) {
    return withTrailingSeparator(package.m_strTargetFolder) + package.m_strProjectName + ".doc";
}

SummarySaveResult SaveSummary(const CCabObj& package, std::string_view text, UserInterface& ui) {
    if (CreateOutputFolder(package.m_strTargetFolder, ui).empty()) return SummarySaveResult::FolderError;
    std::string path = SummaryDocumentPath(package);
    WriteResult written = writeFileAtomically(path, text);
    if (!written.ok) {
        reportGivenError(ui, "Unable to save the package summary:\r\n" + path, written.error);
        return SummarySaveResult::FileError;
    }
    return SummarySaveResult::Saved;
}

}  // namespace pcn
