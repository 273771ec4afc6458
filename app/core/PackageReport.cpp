#include "app/core/PackageReport.h"

#include "model/CCabObj.h"
#include "model/Digest.h"

namespace pcn {
namespace {

const char* yesNo(int32_t flag) { return flag ? "Yes" : "No"; }

const char* displayTypeName(int32_t type) {
    switch (type) {
    case 0: return "Normal";
    case 1: return "Minimized";
    case 2: return "Maximized";
    case 3: return "Console";
    default: return "";
    }
}

class Rows {
public:
    void label(const std::string& text, const std::string& value = {}) {
        rows_.push_back({text, value.empty() ? std::string() : " \t" + value});
    }
    void value(const std::string& text) { rows_.push_back({{}, " \t" + text}); }
    void field(const std::string& name, const std::string& v) { rows_.push_back({{}, " \t" + name + ":\t" + v}); }
    void empty() { rows_.push_back({}); }
    std::vector<ReportRow> take() { return std::move(rows_); }

private:
    std::vector<ReportRow> rows_;
};

void addWizardRows(Rows& r, const CCabObj& p) {
    r.label(" Prompt user with:");
    r.field("Text", yesNo(p.m_bText));
    r.field("Password", yesNo(p.m_bPassword));
    r.field("License File", yesNo(p.m_bLicense));
    r.label(" After file extraction:");
    r.field("Execute", p.m_strExe);
    r.field("Command Line", p.m_strCommandLine);
    r.field("Display Type", displayTypeName(p.m_nShowType));
    r.field("Default Directory", p.m_strInstallDir);
}

void addMiniSetupRows(Rows& r, const CCabObj& p) {
    r.label(" Mini Setup:");
    r.field("Create Shortcut Group", yesNo(p.m_bShortcutGroup));
    r.field("Shortcut Group Description", p.m_strGroupDesc);
    r.field("Create Shortcuts", yesNo(p.m_bShortcuts));
    for (size_t i = 0; i < p.m_arrShortcutDesc.size(); ++i) {
        std::string n = std::to_string(i + 1);
        r.field(n + ". Shortcut Description", p.m_arrShortcutDesc[i]);
        r.field(n + ". Shortcut File", i < p.m_arrShortcutFile.size() ? p.m_arrShortcutFile[i] : "");
    }
}

void addSigningRows(Rows& r, const CCabObj& p) {
    r.label(" Code Signing:");
    r.field("Use Code Signing", "Yes");
    r.field("Digital Signature", p.m_strSignCredentials);
    r.field("Private Key", p.m_strSignKey);
    r.field("Cryptographic Digest Algorithm", std::string(digestText(p.m_bMD5, "SH 1")));
    r.field("Additional Information", p.m_strSignInfo);
}

std::vector<ReportRow> cabinetRows(const CCabObj& p) {
    Rows r;
    r.label(" Company Name:", p.m_strCompany);
    r.label(" Product Name:", p.m_strProduct);
    r.label(" Product Version:", p.m_strVersion);
    r.label(" Product Description:", p.m_strDescription);
    r.label(" Comment:", p.m_strComment);
    r.label(" Copyright:", p.m_strCopyright);
    r.label(" Package Type:",
            p.m_bCab ? "Cabinet." : p.m_bCabSelf ? "Self Extracting Cabinet." : p.m_bCabWiz ? "Self Extracting Wizard." : "");
    r.empty();
    r.field("Use Compression", yesNo(p.m_bCompression));
    if (!p.m_bCabWiz) r.field("Scan For GUIDs", yesNo(p.m_bGuid));
    if (p.m_bCabWiz) addWizardRows(r, p);
    if (p.m_bCabSelf || p.m_bCabWiz) r.field("Restore Directory Structure", yesNo(p.m_bRestoreDirs));
    if (p.m_bCabWiz && p.m_bMiniSetup) addMiniSetupRows(r, p);
    if (p.m_bSignature) addSigningRows(r, p);
    r.label(" Package Source:");
    r.field("Source Folder", p.m_strSourceFolder);
    r.field("Include Sub Folders", yesNo(p.m_bSubDirs));
    r.value("Source Files:");
    r.empty();
    for (int i = 0; i < p.GetFileCount(); ++i) r.value(std::to_string(i + 1) + ":\t" + p.GetFilePath(i));
    return r.take();
}

std::vector<ReportRow> webRows(const CCabObj& p) {
    Rows r;
    r.label(" Company Name:", p.m_strCompany);
    r.label(" Product Name:", p.m_strProduct);
    r.label(" Package Type:");
    r.value("Web Inf Package.");
    r.label(" Package Source:");
    r.field("Source Folder", p.m_pWeb->m_strSourceFolder);
    r.field("Source File", p.m_pWeb->m_strFilePath);
    r.value("Source Dependencies:");
    for (int i = 0; i < p.GetDependencyCount(); ++i) r.value(std::to_string(i + 1) + ":\t" + p.GetDependencyName(i));
    r.label(" Package Output File:");
    r.field("Output File", p.m_strTargetFolder + p.m_strProjectName + ".inf");
    return r.take();
}

}  // namespace

std::string PackageCaption(const CCabObj& p) {
    if (p.m_bNotLoaded) return std::string(kNotLoadedCaption);
    if (p.m_bNewPackage) return p.m_nKind == kKindWebInf ? " (Web Inf Package)" : " (New Project)";
    switch (p.m_nKind) {
    case kKindCabinet: return " (Cabinet)";
    case kKindSelfExtractingCabinet: return " (Self Extracting Cabinet)";
    case kKindSelfExtractingWizard: return " (Self Extracting Wizard)";
    case kKindWebInf: return " (Web Inf Package)";
    default: return "";
    }
}

std::string PackageListText(const CCabObj& p) { return p.m_strProduct + PackageCaption(p); }

int PackageImage(const CCabObj& p) {
    if (p.m_bRebuild) return p.m_nKind == kKindWebInf ? 21 : 18;
    if (p.m_nKind == kKindSelfExtractingWizard) return 19;
    if (p.m_nKind == kKindWebInf) return 21;
    return 0;
}

std::vector<ReportRow> PackageReportRows(const CCabObj& p) {
    return p.IsWebPackage() ? webRows(p) : cabinetRows(p);
}

int ReportRowCount(const CCabObj& p) {
    return (p.IsWebPackage() ? p.GetDependencyCount() : p.GetFileCount()) + kReportFixedRows;
}

int ReportPageCount(const CCabObj& p, int rowsPerPage) {
    if (rowsPerPage <= 0) return 1;
    int rows = ReportRowCount(p);
    return (rows + rowsPerPage - 1) / rowsPerPage;
}

}  // namespace pcn
