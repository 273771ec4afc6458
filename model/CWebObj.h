#pragma once
// The web data of a package: the ActiveX component a web INF package
// deploys and its dependency list. Every package owns one; only packages of
// kind 6 (Web Inf Package) fill it.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pcn {

class CArchive;

class CWebObj {
public:
    std::string m_strFileName;      // base file name of the component
    std::string m_strSourceFolder;  // folder of the component, with trailing separator
    std::string m_strFilePath;      // full path of the component as entered
    int32_t m_bScan = 0;            // "Scan for dependencies"
    int32_t m_bScanDynamic = 0;     // "Scan for dynamic dependencies"
    int32_t m_bHtmTemplate = 0;     // "Create Htm Template"
    int32_t m_bLpk = 0;             // "Include LPK Object"

    // The dependency list: five parallel lists, entry i made of element i of each.
    std::vector<std::string> m_arrDeps;  // names, later full paths
    std::vector<int32_t> m_arrDepOs;     // bit 0 Win32, bit 1 Mac; 0 = not specific
    std::vector<int32_t> m_arrDepCpu;    // bit 0 x86, 1 ppc, 2 mips, 3 alpha; 0 = not specific
    std::vector<int32_t> m_arrDepInclude;  // non-zero: written into the web INF
    std::vector<int32_t> m_arrDepOrigin;   // icon index telling where the entry came from

    void Serialize(CArchive& ar);
    // Strings and flags by value; each list emptied, then filled from the source.
    void CopyFrom(const CWebObj& source);

    // Splits a component path as entered: m_strFilePath gets the whole path,
    // m_strFileName the text after its last separator ('\' or '/'), and
    // m_strSourceFolder the text up to and including that separator (empty
    // when there is none).
    void SetComponentPath(std::string_view path);

    bool operator==(const CWebObj&) const = default;
};

}  // namespace pcn
