#pragma once
// A package's signatures checked as Windows checks them: through ChkTrust -q
// with the user's trust settings (signature, certificate chain, time stamp),
// and against what the package asks for (digest, time stamp).

#include <cstdint>
#include <string>

#include "verifying/CheckReport.h"

namespace pcn {
class CCabObj;
}

namespace pcn::verifying {

// Checks one output file of a package that asks for a signature.
void checkSignature(const CCabObj& package, const std::string& file, CheckReport& report);

// A self-extracting cabinet is signed before it is joined to its stub: the
// signature travels inside the executable with the cabinet, which is
// checked on its own (copied out from its offset to the end of the file).
void checkEmbeddedCabinetSignature(const CCabObj& package, const std::string& executable, uint64_t offset,
                                   CheckReport& report);

}  // namespace pcn::verifying
