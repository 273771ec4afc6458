#include "web/HtmlTemplate.h"

#include <cctype>

#include "platform/Paths.h"
#include "platform/pe/Component.h"
#include "web/SiteAddress.h"

namespace pcn {
namespace {

// The licence manager's fixed class identifier.
constexpr std::string_view kLicenceManagerClassId = "5220cb21-c88d-11cf-b347-00aa00a28331";

enum class LicenceBlock { ClosedAfterEmbed, ClosedOnNextLine };

// Names, titles and paths come from files users hand us: escaped, they stay
// text in an attribute or between tags and can never add markup.
std::string escaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\'': out += "&#39;"; break;
            default: out += c;
        }
    }
    return out;
}

// A file name as one segment of an address: everything but the characters
// an address may carry as they stand is percent-encoded (a blank, "#", "?").
std::string addressSegment(std::string_view name) {
    static constexpr std::string_view kKept = "-._~!$&'()*+,;=:@";
    std::string out;
    for (char c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (std::isalnum(u) && u < 0x80 || kKept.find(c) != std::string_view::npos) {
            out += c;
        } else {
            static constexpr char kHex[] = "0123456789ABCDEF";
            out += '%';
            out += kHex[u >> 4];
            out += kHex[u & 0xF];
        }
    }
    return out;
}

// "1, 0, 0, 1" as a browser reads it in a code base: "1,0,0,1".
std::string versionForAddress(std::string_view version) {
    std::string out;
    for (char c : version)
        if (c != ' ') out += c;
    return out;
}

// The code base attribute's value: the address below the site, escaped.
std::string codeBase(std::string_view siteBase, std::string_view fileName, std::string_view suffix = {}) {
    return escaped(SiteAddressOf(siteBase, addressSegment(fileName)) + std::string(suffix));
}

std::string licenceBlock(const ComponentTemplateFacts& facts, LicenceBlock variant) {
    std::string block = "\r\n<p>\r\n<object classid=\"clsid:" + std::string(kLicenceManagerClassId) + "\"\r\n";
    block += "width=\"0\" height=\"0\"><param name=\"LPKPath\" value=\"" + escaped(addressSegment(facts.lpkFileName)) +
             "\">\r\n";
    block += "<embed src=\"" + escaped(addressSegment(facts.lpkFileName)) + "\">";
    if (variant == LicenceBlock::ClosedOnNextLine) block += "\r\n";
    return block + "</object>\r\n</p>\r\n\r\n";
}

std::string shownTitle(const ComponentTemplateFacts& facts) {
    return escaped(facts.title.empty() ? facts.fileName : facts.title);
}

std::string head(std::string_view titlePrefix, const ComponentTemplateFacts& facts) {
    return "<HTML>\r\n<HEAD>\r\n<TITLE>" + std::string(titlePrefix) + shownTitle(facts) +
           "</TITLE>\r\n</HEAD>\r\n\r\n<BODY>\r\n\r\n";
}

// The object tag up to its class identifier line.
std::string objectStart(const ComponentTemplateFacts& facts) {
    return "<p align=\"center\">\r\n<object id=\"" + escaped(facts.objectId) +
           "\"\r\ntype=\"application/x-oleobject\"\r\n" + "classid=\"CLSID:" +
           escaped(facts.classId.value_or(std::string(kUnknownClassId))) + "\"\r\n";
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
    html += "codebase=\"" + codeBase(siteBase, facts.fileName, "#Version=" + versionForAddress(facts.version)) + "\"\r\n";
    // No <param> line: one without a name sets no property of any control.
    html += "width=\"100\" height=\"100\">\r\n";
    return html + std::string(kBodyEnd);
}

std::string BuildPackageTemplate(const ComponentTemplateFacts& facts, std::string_view infFileName, bool includeLpk,
                                 std::string_view siteBase) {
    std::string html = head("Html Template for Component ", facts);
    if (includeLpk) html += licenceBlock(facts, LicenceBlock::ClosedOnNextLine);
    html += objectStart(facts);
    html += "codebase=\"" + codeBase(siteBase, infFileName) + "\"\r\n";
    html += "width=\"100\" height=\"100\">\r\n";
    return html + std::string(kBodyEnd);
}

}  // namespace pcn
