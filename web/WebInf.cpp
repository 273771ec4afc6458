#include "web/WebInf.h"

#include <cerrno>

#include "building/BuildSupport.h"
#include "building/CabInfWriter.h"
#include "distribution/ErrorReport.h"
#include "model/CCabObj.h"
#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "web/HtmlTemplate.h"
#include "web/NewWebPackage.h"
#include "web/SiteAddress.h"

namespace pcn {
namespace {

constexpr std::string_view kCrLf = "\r\n";

// OS flag bits and the processor flag bits in the order that picks the
// folder: the first set bit wins, none set means x86.
constexpr int32_t kOsMac = 2;
constexpr std::string_view kProcessors[] = {"x86", "ppc", "mips", "alpha"};

std::string_view processorOf(int32_t cpuFlags) {
    for (int bit = 0; bit < 4; ++bit)
        if (cpuFlags & (1 << bit)) return kProcessors[bit];
    return kProcessors[0];
}

// "file-win32-x86=<site>/x86/<name>"; "file=<site>/<name>" for an entry
// that is not specific to an OS.
std::string locationLine(const std::string& fileName, int32_t osFlags, int32_t cpuFlags, std::string_view site) {
    if (osFlags == 0) return "file=" + SiteAddressOf(site, fileName);
    std::string os = (osFlags & kOsMac) ? "mac" : "win32";
    std::string processor(processorOf(cpuFlags));
    return "file-" + os + "-" + processor + "=" + SiteAddressOf(site, processor + "/" + fileName);
}

std::vector<int> includedEntries(const CCabObj& package) {
    std::vector<int> entries;
    for (int i = 0; i < package.GetDependencyCount(); ++i)
        if (package.GetDependencyInclude(i) != 0) entries.push_back(i);
    return entries;
}

bool writePackageFile(const std::string& path, std::string_view text, UserInterface& ui) {
    WriteResult written = writeFileAtomically(path, text);
    if (!written.ok) reportGivenError(ui, "Unable to create file:\n" + path, written.error);
    return written.ok;
}

std::string outputFilePath(const CCabObj& package, std::string_view extension) {
    return withTrailingSeparator(package.m_strTargetFolder) + package.m_strProjectName + std::string(extension);
}

}  // namespace

std::string BuildWebInf(const CCabObj& package, std::string_view siteBase) {
    const std::vector<int> entries = includedEntries(package);
    std::string text = ";" + package.m_strProduct + std::string(kCrLf) + std::string(kCrLf);
    text += "[Version]\r\nSignature=$CHICAGO$\r\n\r\n[Add.Code]\r\n";
    for (int i : entries) {
        std::string name = fileNamePart(package.GetDependencyName(i));
        text += name + "=" + name + std::string(kCrLf);
    }
    text += kCrLf;
    for (int i : entries) {
        std::string path = package.GetDependencyName(i);
        std::string name = fileNamePart(path);
        text += std::string(kCrLf) + "[" + name + "]" + std::string(kCrLf);
        text += locationLine(name, package.GetDependencyOs(i), package.GetDependencyCpu(i), siteBase) +
                std::string(kCrLf);
        text += ComponentInfLines(path) + std::string(kCrLf);
    }
    return text;
}

std::string BuildWebInf(const CCabObj& package) { return BuildWebInf(package, SiteBaseAddress()); }

std::string BuildWebHtml(const CCabObj& package, std::string_view siteBase) {
    std::string component = package.GetDependencyCount() > 0 ? package.GetDependencyName(0) : std::string();
    // The page's code base names the INF file the package writes.
    return BuildPackageTemplate(ReadComponentTemplateFacts(component), fileNamePart(WebInfFilePath(package)),
                                package.m_pWeb->m_bLpk != 0, siteBase);
}

std::string BuildWebHtml(const CCabObj& package) { return BuildWebHtml(package, SiteBaseAddress()); }

std::string WebInfFilePath(const CCabObj& package) { return outputFilePath(package, ".inf"); }
std::string WebHtmlFilePath(const CCabObj& package) { return outputFilePath(package, ".htm"); }

bool WriteWebPackage(const CCabObj& package, std::string_view infText, std::string_view htmlText,
                     UserInterface& ui) {
    if (package.m_strTargetFolder.empty()) {
        // Without a folder the files would land at the root of the file system.
        reportGivenError(ui, "Unable to create file:\n" + package.m_strProjectName + ".inf", ENOENT);
        return false;
    }
    // A name that would end a line or a section of the INF is never written.
    if (std::string problem = WebPackageNameProblem(package); !problem.empty()) {
        ui.message(problem, "Error", Icon::Error, Buttons::Ok, Answer::Ok);
        return false;
    }
    if (CreateOutputFolder(package.m_strTargetFolder, ui).empty()) return false;
    bool ok = writePackageFile(WebInfFilePath(package), infText, ui);
    if (package.m_pWeb->m_bHtmTemplate) ok = writePackageFile(WebHtmlFilePath(package), htmlText, ui) && ok;
    return ok;
}

bool WriteWebPackageFiles(const CCabObj& package, UserInterface& ui) {
    std::string site = SiteBaseAddress();
    std::string html = package.m_pWeb->m_bHtmTemplate ? BuildWebHtml(package, site) : std::string();
    return WriteWebPackage(package, BuildWebInf(package, site), html, ui);
}

}  // namespace pcn
