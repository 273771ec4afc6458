#include "editing/core/NewPackage.h"

#include "editing/core/SourceScan.h"
#include "model/CCabObj.h"
#include "model/PackageFile.h"
#include "platform/Paths.h"

#include <filesystem>
#include <unistd.h>

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

namespace {

// The longest names an output takes after the project name.
constexpr std::string_view kOutputSuffixes[] = {"W.EXE", "9999.CAB", ".Inf", ".doc"};

struct Limits {
    long name = 255;
    long path = 4096;
};

// The limits of the file system that holds folder (or its nearest existing parent).
Limits limitsFor(const std::string& folder) {
    std::filesystem::path existing(folder.empty() ? "." : folder);
    while (!existing.empty() && !fileExists(existing.string()) && existing != existing.parent_path())
        existing = existing.parent_path();
    Limits limits;
    if (const long name = ::pathconf(existing.c_str(), _PC_NAME_MAX); name > 0) limits.name = name;
    if (const long path = ::pathconf(existing.c_str(), _PC_PATH_MAX); path > 0) limits.path = path;
    return limits;
}

std::optional<NameTooLong> checkName(const std::string& folder, const std::string& name, const Limits& limits) {
    const std::string path = withTrailingSeparator(folder) + name;
    if (long(name.size()) > limits.name) return NameTooLong{path, limits.name, false};
    if (long(path.size()) >= limits.path) return NameTooLong{path, limits.path - 1, true};
    return std::nullopt;
}

}  // namespace

std::string PackageFileStem(std::string product) {
    for (char& c : product)
        if (c == '/' || c == '\\') c = '_';
    return product;
}

std::optional<NameTooLong> FindNameTooLong(const std::string& packageFile, const std::string& projectName,
                                           const std::string& outputFolder) {
    const std::string packageFolder = folderPart(packageFile);
    if (auto problem = checkName(packageFolder, fileNamePart(packageFile), limitsFor(packageFolder))) return problem;
    const Limits target = limitsFor(outputFolder);
    std::string folder;
    for (const auto& part : std::filesystem::path(outputFolder)) {
        const std::string name = part.string();
        if (name.empty() || name == "/") {
            folder += name;
            continue;
        }
        if (auto problem = checkName(folder, name, target)) return problem;
        folder = withTrailingSeparator(folder + name);
    }
    for (std::string_view suffix : kOutputSuffixes)
        if (auto problem = checkName(outputFolder, projectName + std::string(suffix), target)) return problem;
    return std::nullopt;
}

std::string NameTooLongMessage(const NameTooLong& problem) {
    return std::string("The package would make a file whose ") + (problem.wholePath ? "path" : "name") +
           " is longer than the file system allows (" + std::to_string(problem.limit) +
           " bytes):\n\n" + problem.path + "\n\nPlease choose a shorter name.";
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
    const std::string packageFile =
        o.packageFile.empty() ? NewPackageFileName(PackageFileStem(o.product)) : o.packageFile;
    if (auto tooLong = FindNameTooLong(packageFile, project, p->m_strTargetFolder))
        return refuse(NameTooLongMessage(*tooLong), "--product");
    if (fileExists(FirstOutputFile(*p)))
        return refuse("A project with the same name already exists.\n\nPlease select another project name\n"
                      "or remove the conflicting project.",
                      "--project");
    if (!fileExists(o.sourceFolder)) return refuse("Source folder not found: " + o.sourceFolder, "--source");

    ScanResult scan = RescanSourceFolder(*p, p->m_strSourceFolder, o.subFolders);

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

    p->m_strPackageFile = packageFile;
    p->m_bRebuild = 1;
    NewPackageResult r;
    r.package = std::move(p);
    r.scan = std::move(scan);
    return r;
}

}  // namespace pcn
