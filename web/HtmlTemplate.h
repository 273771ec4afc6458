#pragma once
// HTML pages that embed an ActiveX component with an <object> tag: the
// component template (the "Component Html Template" dialog, `parcelon
// template`) and the package template written beside a web INF file. Both may
// carry the licence manager object that loads the component's licence package.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pcn {

// What the "Component Html Template" dialog remembers.
namespace html_template {
inline constexpr std::string_view kSection = "Settings\\Template";
inline constexpr std::string_view kLastPath = "Last Path";            // folder of the last component
inline constexpr std::string_view kLastIndex = "Last Index";          // filter of the open dialog
inline constexpr int32_t kDefaultIndex = 2;
inline constexpr std::string_view kLastSavePath = "Last Save Path";   // the last saved page
inline constexpr std::string_view kPreviewFile = "pcntemp.htm";       // "Run" writes it to the temporary folder
}  // namespace html_template

// What the templates say about a component, read from its path, its type
// library and its version information.
struct ComponentTemplateFacts {
    std::string fileName;     // text after the last separator
    std::string baseName;     // file name cut at its last "."
    std::string lpkFileName;  // base name + ".lpk"
    // GUID of the first coclass without braces; none when the type library
    // cannot be loaded or holds no coclass.
    std::optional<std::string> classId;
    std::string objectId;  // coclass name + "1" (base name + "1" without a coclass); empty without a library
    std::string title;     // the coclass's documentation (base name without a coclass); empty without a library
    std::string version;   // FileVersion of the first translation as stored; empty when none
};

ComponentTemplateFacts ReadComponentTemplateFacts(std::string_view componentPath);

// The dialog's template: the version in the code base, licence block with the
// closing tag right after the embed tag. Every text from the component is
// escaped for where it stands; file names in addresses are percent-encoded.
std::string BuildComponentTemplate(const ComponentTemplateFacts& facts, bool includeLpk, std::string_view siteBase);

// The web package's page: the code base names the package's INF file; the
// licence block puts a line end before its closing tag.
std::string BuildPackageTemplate(const ComponentTemplateFacts& facts, std::string_view infFileName, bool includeLpk,
                                 std::string_view siteBase);

// Shown when a component has no class identifier to embed.
inline constexpr std::string_view kUnknownClassId = "*** Unable to find CLSID: ***";

}  // namespace pcn
