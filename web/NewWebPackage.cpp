#include "web/NewWebPackage.h"

#include <algorithm>
#include <filesystem>

#include "model/CCabObj.h"
#include "platform/Paths.h"

namespace pcn {

namespace {

bool hasControlCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; });
}

}  // namespace

std::string WebProductNameProblem(const std::string& product) {
    if (product.empty()) return "A product name is needed: it names the package's output files.";
    // The product name becomes a folder and a file name: these would split
    // or break the path. A "." is fine ("Gauge 2.0").
    if (product.find_first_of("\\:/") != std::string::npos)
        return "The product name cannot hold \\ : or /: " + product;
    return WebProductLineProblem(product);
}

std::string WebProductLineProblem(const std::string& product) {
    // It is the INF file's first line: a line break would start lines of its own.
    if (hasControlCharacter(product)) return "The product name cannot hold line breaks or other control characters.";
    return {};
}

std::string WebComponentNameProblem(const std::string& path) {
    const std::string name = fileNamePart(path);
    // The name is a key, a value and a section name of the INF file.
    if (hasControlCharacter(name) || name.find_first_of("[]=") != std::string::npos)
        return "The file name cannot hold line breaks, control characters, [, ] or =, which would end a line, "
               "a key or a section of the INF file: " + path;
    return {};
}

std::string WebPackageNameProblem(const CCabObj& package) {
    if (std::string problem = WebProductLineProblem(package.m_strProduct); !problem.empty()) return problem;
    for (int i = 0; i < package.GetDependencyCount(); ++i) {
        if (package.GetDependencyInclude(i) == 0) continue;
        if (std::string problem = WebComponentNameProblem(package.GetDependencyName(i)); !problem.empty())
            return problem;
    }
    return {};
}

NewWebPackageResult MakeNewWebPackage(const NewWebPackageOptions& o) {
    NewWebPackageResult result;
    result.message = WebProductNameProblem(o.product);
    if (!result.message.empty()) return result;
    if (o.component.empty()) {
        result.message = "A component to deploy is needed.";
        return result;
    }
    result.message = WebComponentNameProblem(o.component);
    if (!result.message.empty()) return result;
    auto package = std::make_unique<CCabObj>();
    package->m_nKind = kKindWebInf;
    package->m_strPackageFile = o.packageFile;
    package->m_strCompany = o.company;
    package->m_strProduct = o.product;
    package->m_strProjectName = o.product;
    std::string target = o.targetFolder.empty() ? package->m_strTargetFolder : o.targetFolder;
    package->m_strTargetFolder = withTrailingSeparator(std::filesystem::absolute(target).string()) + o.product;
    CWebObj& web = *package->m_pWeb;
    web.SetComponentPath(std::filesystem::absolute(o.component).lexically_normal().string());
    web.m_bScan = o.scan;
    web.m_bScanDynamic = o.scan && o.scanDynamic;
    web.m_bHtmTemplate = o.htmTemplate;
    web.m_bLpk = o.htmTemplate && o.lpk;
    result.package = std::move(package);
    return result;
}

}  // namespace pcn
