#pragma once
// Cabinet headers and Authenticode. osslsigncode signs a cabinet only when its
// header has no reserve at all, or exactly the 20-byte reserve that a
// signature occupies (offset and size of the signature appended to the file).
// Our cabinets for signed packages carry a zero-filled 6144-byte header
// reserve instead, so before signing the reserve is taken out and every
// offset behind it moved (cbCabinet, coffFiles, each folder's coffCabStart).
// A continuation cabinet of a spanning set (one that names a previous
// cabinet) cannot carry a signature this way.
//
// The first cabinet of a spanning set names the next one. osslsigncode 2.x
// leaves those names out of the digest it signs but puts them into the one it
// verifies, so its signature on such a cabinet never verifies. For those, a
// "digest twin" is signed instead: a cabinet laid out so that the digest
// osslsigncode signs for it is the verification digest of the real cabinet;
// its signature is then attached to the real cabinet here.

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

// True when the file is a cabinet that continues another one of its set: it
// cannot carry a signature, so a signed set leaves it unsigned.
bool isContinuationCabinetFile(const std::string& path);

// The same cabinet without its header reserve. False (problem set) unless
// the inspection said ReserveToRemove.
bool removeCabinetHeaderReserve(std::string_view bytes, std::string& out, std::string& problem);

// The cabinet without any header reserve and without a signature (a signed
// cabinet loses its signature); the bytes as they are when it has neither.
bool unsignedCabinet(std::string_view bytes, std::string& out, std::string& problem);

// True when the cabinet (without reserve) names a next cabinet.
bool namesNextCabinet(std::string_view plain);

// The digest twin of a cabinet without reserve that names the next cabinet.
bool cabinetDigestTwin(std::string_view plain, std::string& twin, std::string& problem);

// The signature (PKCS#7, padded to 8 bytes) of a signed cabinet.
bool cabinetSignatureBlob(std::string_view signedCabinet, std::string& blob, std::string& problem);

// The cabinet (without reserve) with the signature's 20-byte header reserve
// and the signature appended, as osslsigncode lays out a signed cabinet.
bool attachCabinetSignature(std::string_view plain, std::string_view blob, std::string& out, std::string& problem);

}  // namespace pcn
