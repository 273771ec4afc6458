#pragma once
// The checks of a self-extractor beyond its cabinet: the program before the
// cabinet is one of our stubs, and a wizard's pcn.cfg agrees with the
// cabinet it sits in (and with the package, when that is at hand), as the
// wizard stub reads them: pcn.cfg first, then the licence when it has a slot
// of its own, the package's files in the order of its file table, and the
// mini setup program last.

#include <cstdint>
#include <string>
#include <vector>

#include "verifying/CheckReport.h"

namespace pcn {
class CCabObj;
}

namespace pcn::verifying {

class CabinetSet;

// Whether the executable's bytes before its cabinet are the stub's, apart
// from what signing changes (the header checksum and the certificate table
// entry). Empty when they are; else why not.
std::string stubDifference(const std::string& executable, uint64_t cabinetOffset, const std::string& stub);

// The lines of pcn.cfg as key and value, in file order.
std::vector<std::pair<std::string, std::string>> parseConfig(std::string_view text);

// Checks the wizard's cabinet; package may be null (a file given alone).
void checkWizardCabinet(CabinetSet& set, const CCabObj* package, CheckReport& report, const std::string& subject);

}  // namespace pcn::verifying
