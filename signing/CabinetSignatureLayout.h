#pragma once
// Cabinet headers and Authenticode. osslsigncode signs a cabinet only when its
// header has no reserve at all, or exactly the 20-byte reserve that a
// signature occupies (offset and size of the signature appended to the file).
// Our cabinets for signed packages carry a zero-filled 6144-byte header
// reserve instead, so before signing the reserve is taken out and every
// offset behind it moved (cbCabinet, coffFiles, each folder's coffCabStart).
// A continuation cabinet of a spanning set (one that names a previous
// cabinet) cannot carry a signature this way.

#include <string>
#include <string_view>

namespace pcn {

enum class CabinetSigningForm {
    NotACabinet,        // no "MSCF" signature: not our business
    Ready,              // no reserve, or the signature's own 20-byte one
    ReserveToRemove,    // a zero-filled header reserve of another size
    Continuation,       // names a previous cabinet: cannot be signed
    Unsupported,        // malformed, or reserve that cannot be dropped without loss
};

struct CabinetInspection {
    CabinetSigningForm form = CabinetSigningForm::NotACabinet;
    std::string problem;  // why, for Continuation and Unsupported
};

CabinetInspection inspectCabinetForSigning(std::string_view bytes);

// The same cabinet without its header reserve. False (problem set) unless
// the inspection said ReserveToRemove.
bool removeCabinetHeaderReserve(std::string_view bytes, std::string& out, std::string& problem);

}  // namespace pcn
