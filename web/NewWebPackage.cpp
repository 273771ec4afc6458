#include "web/NewWebPackage.h"

#include <filesystem>

#include "model/CCabObj.h"
#include "platform/Paths.h"

namespace pcn {

std::string WebProductNameProblem(const std::string& product) {
    if (product.empty()) return "A product name is needed: it names the package's output files.";
    // The product name becomes a folder and a file name: these would split
    // or break the path. A "." is fine ("Gauge 2.0").
    if (product.find_first_of("\\:/") != std::string::npos)
        return "The product name cannot hold \\ : or /: " + product;
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
