#pragma once
// The file table of a package: three parallel lists, one entry per file to
// pack. Every operation keeps the three lists the same length.

#include <string>
#include <vector>

namespace pcn {

class CArchive;

class CFileObj {
public:
    // Destination folder token of each file on the target machine
    // ("%DESTDIR%", "%PROGRAMFILES%", ... possibly followed by a sub-path).
    std::vector<std::string> m_arrDest;
    // "Register Component" of each file, as the text "1" or "0".
    std::vector<std::string> m_arrRegister;
    // Full path of each source file.
    std::vector<std::string> m_arrPath;

    // Stored as three string lists: paths, destinations, register flags.
    void Serialize(CArchive& ar);
    void CopyFrom(const CFileObj& source);

    bool operator==(const CFileObj&) const = default;
};

}  // namespace pcn
