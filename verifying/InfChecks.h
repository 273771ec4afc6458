#pragma once
// The INF files and the HTML page of a package read back and checked against
// what they describe: the cabinet INF against the cabinet's files, the web
// INF against the component and libraries on disk, the HTML page's code base
// and class id against the web INF.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "verifying/CheckReport.h"

namespace pcn {
class CCabObj;
}

namespace pcn::verifying {

class CabinetSet;

struct InfSection {
    std::string name;
    std::vector<std::pair<std::string, std::string>> keys;  // in file order
    std::optional<std::string> value(std::string_view key) const;
};

struct InfText {
    std::vector<std::string> addCode;  // names of the [Add.Code] section
    std::vector<InfSection> sections;  // the other sections, in file order
    const InfSection* section(std::string_view name) const;
};

InfText parseInf(std::string_view text);

// The version text a file's bytes carry as the INF writers read it
// ("0,0,0,0" when the file has none or is of a kind not examined).
std::string versionCarried(const std::string& fileName, std::string_view bytes);

// The cabinet INF (target folder, package name + ".Inf"): every file it names
// is in the cabinet, with the version the file carries.
void checkCabinetInf(const std::string& infPath, CabinetSet& set, CheckReport& report);

// The web INF names the package's included files, which are on disk with
// the versions they carry; the HTML page's code base names the INF written
// beside it and its class id is the INF's.
void checkWebPackage(const CCabObj& package, CheckReport& report);

}  // namespace pcn::verifying
