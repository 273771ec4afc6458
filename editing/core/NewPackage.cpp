#include "editing/core/NewPackage.h"

#include "editing/core/SourceScan.h"
#include "model/CCabObj.h"
#include "model/PackageFile.h"
#include "platform/Paths.h"

namespace pcn {
namespace {

constexpr size_t kMaxNameAndVersion = 260;

NewPackageResult refuse(std::string message, std::string field) {
    NewPackageResult r;
    r.message = std::move(message);
    r.field = std::move(field);
    return r;
}

void setKind(CCabObj& p, int32_t kind) {
    p.m_bCab = kind == kKindCabinet;
    p.m_bCabSelf = kind == kKindSelfExtractingCabinet;
    p.m_bCabWiz = kind == kKindSelfExtractingWizard;
    p.SetKindFromFlags();
    // Only a plain cabinet scans for GUIDs or writes an INF; only a wizard
    // has a mini setup or a fixed single cabinet.
    if (kind != kKindCabinet) {
        p.m_bGuid = 0;
        p.m_bCreateInf = 0;
        p.m_bIncludeInf = 0;
    }
    if (kind == kKindSelfExtractingWizard) p.m_bCapSingle = 1;
}

}  // namespace

std::string DefaultDescription(const std::string& product) { return product + " Package."; }

std::string DefaultComment(const std::string& product, const std::string& version) {
    return product + " Package [" + version + "]";
}

std::string DefaultInstallDir(const std::string& product) { return "%PROGRAMFILES%\\" + product; }

std::string CleanProjectName(const std::string& name) {
    std::string out;
    for (char c : name)
        if (c != '.' && c != '/' && c != ':' && c != '\\') out += c;
    return out;
}

std::string FirstOutputFile(const CCabObj& p) {
    std::string name = withTrailingSeparator(p.m_strTargetFolder) + p.m_strProjectName;
    if (p.m_bCabWiz) name += "W";
    return name + (p.m_bCab ? ".CAB" : ".EXE");
}

NewPackageResult MakeNewPackage(const NewPackageOptions& o) {
    // The Information page's checks, in its order.
    if (o.product.size() + o.version.size() > kMaxNameAndVersion)
        return refuse("The combined string length of Product Name and Product Version can not exceed 260 characters.",
                      "--company");
    if (o.company.empty()) return refuse("Company is a required entry.", "--company");
    if (o.product.empty()) return refuse("Product name is a required entry.", "--product");
    if (o.kind != kKindCabinet && o.kind != kKindSelfExtractingCabinet && o.kind != kKindSelfExtractingWizard)
        return refuse("Unknown package kind.", "--kind");

    auto p = std::make_unique<CCabObj>();
    p->m_strCompany = o.company;
    p->m_strProduct = o.product;
    p->m_strVersion = o.version;
    p->m_strCopyright = o.copyright;
    p->m_strDescription = o.description.empty() ? DefaultDescription(o.product) : o.description;
    p->m_strComment = o.comment.empty() ? DefaultComment(o.product, o.version) : o.comment;

    setKind(*p, o.kind);
    p->m_bCompression = o.compression;
    if (o.kind != kKindSelfExtractingWizard) {
        p->m_bCapSingle = o.spanSize <= 0;
        if (o.spanSize > 0) p->m_nCabSize = o.spanSize;
    }
    if (o.kind == kKindCabinet) {
        p->m_bCreateInf = o.createInf;
        p->m_bIncludeInf = o.createInf && o.includeInf;
    }

    // The Folder page's checks and defaults.
    std::string project = CleanProjectName(o.projectName.empty() ? o.product : o.projectName);
    if (o.sourceFolder.empty()) return refuse("Source Directory required.", "--source");
    if (project.empty()) return refuse("Project Name required.", "--project");
    std::string target = o.targetFolder.empty() ? dataFolder() : o.targetFolder;
    p->m_strSourceFolder = withTrailingSeparator(o.sourceFolder);
    p->m_bSubDirs = o.subFolders;
    p->m_strProjectName = project;
    p->m_strTargetFolder = withTrailingSeparator(withTrailingSeparator(target) + project);
    if (fileExists(FirstOutputFile(*p)))
        return refuse("A project with the same name already exists.\n\nPlease select another project name\n"
                      "or remove the conflicting project.",
                      "--project");
    if (!fileExists(o.sourceFolder)) return refuse("Source folder not found: " + o.sourceFolder, "--source");

    RescanSourceFolder(*p, p->m_strSourceFolder, o.subFolders);

    if (o.kind == kKindSelfExtractingWizard)
        p->m_strInstallDir = o.installDir.empty() ? DefaultInstallDir(o.product) : o.installDir;
    p->m_bRestoreDirs = o.restoreDirs && o.kind != kKindCabinet;

    // Signing stays on only with credentials and key, as when the user
    // answers the Signature page's question with Yes.
    p->m_bSignature = o.signature && !o.credentials.empty() && !o.key.empty();
    p->m_strSignCredentials = o.credentials;
    p->m_strSignKey = o.key;
    p->m_strSignInfo = o.signInfo;
    p->m_bMD5 = o.digest;
    p->m_bTimeStamp = o.timeStamp;

    p->m_strPackageFile = o.packageFile.empty() ? NewPackageFileName(o.product) : o.packageFile;
    p->m_bRebuild = 1;
    NewPackageResult r;
    r.package = std::move(p);
    return r;
}

}  // namespace pcn
