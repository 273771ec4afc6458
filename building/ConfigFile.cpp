#include "building/ConfigFile.h"

#include <cerrno>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <random>

#include "building/BuildSupport.h"
#include "distribution/UserInterface.h"
#include "model/CCabObj.h"
#include "platform/AtomicFile.h"
#include "platform/Paths.h"

namespace pcn {
namespace {

// The same file under either name (a link, "a/../a"), or the same path.
bool sameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return a == b || std::filesystem::equivalent(a, b, error);
}

// Letters, digits and the printable punctuation except '"' and '\', which
// the stub's profile reader could take for quoting.
constexpr std::string_view kFillerCharacters =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"
    "!#$%&'()*+,-./:;<=>?@[]^_`{|}~";
static_assert(kFillerCharacters.size() == 92);

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kDestDirToken = "%DESTDIR%";

unsigned char scrambledByte(unsigned char c) { return static_cast<unsigned char>(c + kPasswordOffset); }

// A scrambled byte that would end the stub's line or string early.
bool breaksLine(unsigned char scrambled) { return scrambled == 0 || scrambled == '\r' || scrambled == '\n'; }

class ConfigWriter {
public:
    void emptyLine() { text_ += kLineEnd; }
    void line(std::string_view content) {
        text_ += content;
        text_ += kLineEnd;
    }
    void key(std::string_view name, std::string_view value) {
        text_ += name;
        text_ += '=';
        text_ += value;
        text_ += kLineEnd;
    }
    void flag(std::string_view name, int32_t value) { key(name, value ? "1" : "0"); }
    std::string take() { return std::move(text_); }

private:
    std::string text_;
};

std::string displayText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\r') continue;
        out += c == '\n' ? '|' : c;
    }
    return out;
}

std::string registerList(const CCabObj& package) {
    std::string list;
    for (int i = 0; i < package.GetFileCount(); ++i) {
        if (!package.IsFileRegistered(i)) continue;
        if (!list.empty()) list += ',';
        list += std::to_string(i);
    }
    return list;
}

void writeMiniSetupKeys(ConfigWriter& out, const CCabObj& package) {
    out.flag("Create Shortcut Group", package.m_bShortcutGroup);
    out.key("Group Description", package.m_strGroupDesc);
    out.flag("Create Shortcut", package.m_bShortcuts);
    size_t count = std::min(package.m_arrShortcutDesc.size(), package.m_arrShortcutFile.size());
    for (size_t i = 0; i < count; ++i) {
        out.key("SCD " + std::to_string(i), package.m_arrShortcutDesc[i]);
        out.key("SC " + std::to_string(i), package.m_arrShortcutFile[i]);
    }
    out.key("Shortcut Type", std::to_string(package.m_nShortcutFolder));
}

}  // namespace

std::string_view PasswordFillerCharacters() { return kFillerCharacters; }

std::string RandomPasswordFiller() {
    // Seeded afresh at each write, so that the same password never scrambles
    // to the same text twice.
    std::seed_seq seed{static_cast<unsigned>(std::chrono::system_clock::now().time_since_epoch().count()),
                       std::random_device{}()};
    std::mt19937 generator(seed);
    std::uniform_int_distribution<size_t> pick(0, kFillerCharacters.size() - 1);
    std::string filler;
    for (size_t i = 0; i < kPasswordFillerLength; ++i) filler += kFillerCharacters[pick(generator)];
    return filler;
}

std::string ScramblePassword(std::string_view password, std::string_view filler) {
    std::string out(filler);
    for (char c : password) out += static_cast<char>(scrambledByte(static_cast<unsigned char>(c)));
    return out;
}

std::string UnscramblePassword(std::string_view scrambled) {
    if (scrambled.size() <= kPasswordFillerLength) return {};
    std::string out;
    for (char c : scrambled.substr(kPasswordFillerLength))
        out += static_cast<char>(static_cast<unsigned char>(c) - kPasswordOffset);
    return out;
}

bool HoldsLineBreak(std::string_view value) { return value.find_first_of("\r\n") != std::string_view::npos; }

std::string ConfigFieldWithLineBreak(const CCabObj& package) {
    const std::pair<const char*, const std::string*> fields[] = {
        {"Company Name", &package.m_strCompany},    {"Copyright", &package.m_strCopyright},
        {"Product Name", &package.m_strProduct},    {"Package Description", &package.m_strDescription},
        {"Comment", &package.m_strComment},         {"Product Version", &package.m_strVersion},
        {"License File", &package.m_strLicenseFile}, {"Installation Directory", &package.m_strInstallDir},
        {"Program to Execute", &package.m_strExe},  {"Command Line", &package.m_strCommandLine},
        {"Default Directory", &package.m_strExeDir}, {"Group Description", &package.m_strGroupDesc},
    };
    for (const auto& [name, value] : fields)
        if (HoldsLineBreak(*value)) return name;
    for (const std::string& text : package.m_arrShortcutDesc)
        if (HoldsLineBreak(text)) return "Shortcut Description";
    for (const std::string& text : package.m_arrShortcutFile)
        if (HoldsLineBreak(text)) return "Shortcut File";
    for (int i = 0; i < package.GetFileCount(); ++i)
        if (HoldsLineBreak(package.GetFileDest(i))) return "Destination of " + package.GetFilePath(i);
    return {};
}

std::string ConfigFileProblem(const CCabObj& package) {
    if (std::string field = ConfigFieldWithLineBreak(package); !field.empty())
        return field + ": " + kLineBreakRefused;
    if (!package.m_bPassword) return {};
    const std::string& password = package.m_strPassword;
    if (password.size() > kMaxPasswordLength)
        return "The package password is too long (" + std::to_string(password.size()) +
               " characters).\n\nThe self-extractor accepts passwords of up to " +
               std::to_string(kMaxPasswordLength) + " characters.";
    for (char c : password) {
        if (breaksLine(scrambledByte(static_cast<unsigned char>(c))))
            return "The package password holds a character the self-extractor cannot read back (code " +
                   std::to_string(static_cast<unsigned char>(c)) + ").\n\nPlease choose another password.";
    }
    return {};
}

int ShowWindowCode(int32_t showType) {
    switch (showType) {
        case 0: return 5;   // Normal
        case 1: return 2;   // Minimized
        case 2: return 3;   // Maximized
        case 3: return 10;  // Console
        case 4: return 0;   // Hidden
        default: return 5;
    }
}

std::string ConfigFileText(const CCabObj& package, std::string_view passwordFiller) {
    ConfigWriter out;
    out.emptyLine();
    out.emptyLine();
    out.line("[Version]");
    out.line("PCN Version=1.0.0.1");
    out.emptyLine();
    out.emptyLine();
    out.line("[Config]");
    out.key("CompanyName", package.m_strCompany);
    out.key("Copyright", package.m_strCopyright);
    out.key("ProductName", package.m_strProduct);
    out.key("Description", package.m_strDescription);
    out.key("Comment", package.m_strComment);
    out.key("Version", package.m_strVersion);
    out.flag("AdgangB", package.m_bPassword);
    out.key("Adgang", package.m_bPassword ? ScramblePassword(package.m_strPassword, passwordFiller) : "");
    out.flag("TextB", package.m_bText);
    out.key("Text", displayText(package.m_strText));
    out.flag("FileB", package.m_bLicense);
    out.key("File", fileNamePart(package.m_strLicenseFile));
    if (int index = LicenceFileTableIndex(package); index >= 0) out.key("FileIndex", std::to_string(index));
    out.key("Dir", package.m_strInstallDir);
    out.key("Exe", package.m_strExe);
    out.key("CommandLine", package.m_strCommandLine);
    out.key("ExeDir", package.m_strExeDir);
    out.key("DisplayType", std::to_string(ShowWindowCode(package.m_nShowType)));
    out.flag("DirB", package.m_bUserDir);
    out.flag("RestoreDirStruct", package.m_bRestoreDirs);
    out.flag("Mini Setup", package.m_bMiniSetup);
    if (package.m_bMiniSetup)
        writeMiniSetupKeys(out, package);
    else
        out.emptyLine();
    for (int i = 0; i < package.GetFileCount(); ++i) {
        std::string dest = package.GetFileDest(i);
        if (dest != kDestDirToken) out.line("DestPath" + std::to_string(i) + "=" + dest);
    }
    if (package.GetFileCount() > 0)
        out.key("Register", registerList(package));
    else
        out.emptyLine();
    return out.take();
}

std::string ConfigFilePath(const CCabObj& package) {
    return withTrailingSeparator(package.m_strTargetFolder) + std::string(kConfigFileName);
}

bool WriteConfigFile(CCabObj& package, UserInterface& ui) {
    std::string problem = ConfigFileProblem(package);
    if (!problem.empty()) {
        ui.message(problem, "Error", Icon::Error, Buttons::Ok, Answer::Ok);
        return false;
    }
    std::string folder = CreateOutputFolder(package.m_strTargetFolder, ui);
    if (folder.empty()) return false;

    std::string path = folder + std::string(kConfigFileName);
    // The file holds the (scrambled) password: keep it private to the user.
    WriteResult written = writeFileAtomically(path, ConfigFileText(package, RandomPasswordFiller()),
                                               package.m_bPassword ? kOwnerOnly : kDefaultMode);
    if (!written.ok) {
        ReportBuildError(ui, "Unable to open file:\r\n" + path, written.error);
        return false;
    }

    auto& files = package.m_arrBuildFiles;
    files.insert(files.begin(), path);
    if (package.m_bLicense && LicenceFileTableIndex(package) < 0)
        files.insert(files.begin() + 1, package.m_strLicenseFile);
    return true;
}

int LicenceFileTableIndex(const CCabObj& package) {
    if (!package.m_bLicense || package.m_strLicenseFile.empty()) return -1;
    // Only a file of the licence's name can be stored under it twice; the
    // name is compared first so that large packages are not stat()ed file by file.
    const std::string name = fileNamePart(package.m_strLicenseFile);
    for (int i = 0; i < package.GetFileCount(); ++i) {
        const std::string path = package.GetFilePath(i);
        if (fileNamePart(path) == name && sameFile(path, package.m_strLicenseFile)) return i;
    }
    return -1;
}

}  // namespace pcn
