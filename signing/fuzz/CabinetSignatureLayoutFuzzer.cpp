// libFuzzer target: cabinet bytes handed to SignCode. Every header rewrite
// either refuses with a reason or gives a cabinet of the expected size; none
// reads or writes outside its input.

#include <cstdint>
#include <string>
#include <string_view>

#include "signing/CabinetSignatureLayout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pcn;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CabinetInspection inspection = inspectCabinetForSigning(bytes);
    if ((inspection.form == CabinetSigningForm::Continuation || inspection.form == CabinetSigningForm::Unsupported) &&
        inspection.problem.empty())
        __builtin_trap();

    std::string plain, problem;
    if (!unsignedCabinet(bytes, plain, problem)) {
        if (problem.empty()) __builtin_trap();
        return 0;
    }
    if (plain.size() > bytes.size()) __builtin_trap();

    std::string twin, attached, blob;
    if (namesNextCabinet(plain) && cabinetDigestTwin(plain, twin, problem) && twin.size() != plain.size() + 2)
        __builtin_trap();
    if (attachCabinetSignature(plain, std::string(16, '\x30'), attached, problem)) {
        if (attached.size() != plain.size() + 24 + 16) __builtin_trap();
        if (!cabinetSignatureBlob(attached, blob, problem) || blob != std::string(16, '\x30')) __builtin_trap();
    }
    return 0;
}
