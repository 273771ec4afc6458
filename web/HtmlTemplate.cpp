#include "web/HtmlTemplate.h"

#include "platform/Paths.h"
#include "platform/pe/Component.h"

namespace pcn {
namespace {

// The licence manager's fixed class identifier.
constexpr std::string_view kLicenceManagerClassId = "5220cb21-c88d-11cf-b347-00aa00a28331";

enum class LicenceBlock { ClosedAfterEmbed, ClosedOnNextLine };

std::string licenceBlock(const ComponentTemplateFacts& facts, LicenceBlock variant) {
    std::string block = "\r\n<p>\r\n<object classid=\"clsid:" + std::string(kLicenceManagerClassId) + "\"\r\n";
    block += "width=\"0\" height=\"0\"><param name=\"LPKPath\" value=\"" + facts.lpkFileName + "\">\r\n";
    block += "<embed src=\"" + facts.lpkFileName + "\">";
    if (variant == LicenceBlock::ClosedOnNextLine) block += "\r\n";
    return block + "</object>\r\n</p>\r\n\r\n";
}

std::string shownTitle(const ComponentTemplateFacts& facts) {
    return facts.title.empty() ? facts.fileName : facts.title;
}

std::string head(std::string_view titlePrefix, const ComponentTemplateFacts& facts) {
    return "<HTML>\r\n<HEAD>\r\n<TITLE>" + std::string(titlePrefix) + shownTitle(facts) +
           "</TITLE>\r\n</HEAD>\r\n\r\n<BODY>\r\n\r\n";
}

// The object tag up to its class identifier line.
std::string objectStart(const ComponentTemplateFacts& facts) {
    return "<p align=\"center\">\r\n<object id=\"" + facts.objectId + "\"\r\ntype=\"application/x-oleobject\"\r\n" +
           "classid=\"CLSID:" + facts.classId.value_or(std::string(kUnknownClassId)) + "\"\r\n";
}

constexpr std::string_view kBodyEnd = "</object>\r\n</p>\r\n\r\n</BODY>\r\n</HTML>\r\n";

}  // namespace

ComponentTemplateFacts ReadComponentTemplateFacts(std::string_view componentPath) {
    ComponentTemplateFacts facts;
    facts.fileName = fileNamePart(componentPath);
    size_t dot = facts.fileName.rfind('.');
    facts.baseName = dot == std::string::npos ? facts.fileName : facts.fileName.substr(0, dot);
    facts.lpkFileName = facts.baseName + ".lpk";
    if (componentPath.empty()) return facts;

    std::string path(componentPath);
    if (auto version = pe::readComponentVersion(path)) facts.version = version->fileVersion;
    std::optional<pe::TypeLibrary> library = pe::loadTypeLibrary(path);
    if (!library) return facts;
    const pe::TypeDescription* coclass = library->firstCoclass();
    if (!coclass) {
        facts.objectId = facts.baseName + "1";
        facts.title = facts.baseName;
        return facts;
    }
    facts.classId = coclass->guid.plainText();
    facts.objectId = (coclass->name.empty() ? facts.baseName : coclass->name) + "1";
    facts.title = coclass->documentation;
    return facts;
}

std::string BuildComponentTemplate(const ComponentTemplateFacts& facts, bool includeLpk, std::string_view siteBase) {
    std::string html = head("Component html Template for ", facts);
    html += "<p align=\"center\">\r\nHtml Template for " + shownTitle(facts) + "\r\n</p>\r\n\r\n";
    if (includeLpk) html += licenceBlock(facts, LicenceBlock::ClosedAfterEmbed);
    html += objectStart(facts);
    html += "codebase=\"" + std::string(siteBase) + "/" + facts.fileName + "#Version=" + facts.version + "\"\r\n";
    html += "width=\"100\" height=\"100\">\r\n<param name=\"\" value=\"1\">\r\n";
    return html + std::string(kBodyEnd);
}

std::string BuildPackageTemplate(const ComponentTemplateFacts& facts, bool includeLpk, std::string_view siteBase) {
    std::string html = head("Html Template for Component ", facts);
    if (includeLpk) html += licenceBlock(facts, LicenceBlock::ClosedOnNextLine);
    html += objectStart(facts);
    html += "codebase=\"" + std::string(siteBase) + "/" + facts.baseName + ".inf\"\r\n";
    html += "width=\"100\" height=\"100\">\r\n";
    return html + std::string(kBodyEnd);
}

}  // namespace pcn
