#pragma once
// What a user needs to decide whether to trust a signed file: the signer,
// its issuer and validity, the digest, the time stamp and whether the
// signing certificate's chain ends in a trusted root. Read from
// osslsigncode's verification report; handed to the trust dialog as
// command-line options, so that any program can answer in its place.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pcn {

struct TrustDetails {
    std::string file;
    std::string subject;
    std::string issuer;
    std::string validFrom;
    std::string validTo;
    std::string digest;     // "SHA256", as osslsigncode names it
    std::string timeStamp;  // the time stamp's time; empty: none
    bool chainTrusted = false;
    std::string problem;    // why the check failed; empty when trusted

    bool operator==(const TrustDetails&) const = default;
};

// The details of the primary signature in a report of "osslsigncode verify".
TrustDetails trustDetailsFromReport(std::string_view report);

// As options for the dialog ("--subject", "...", ...), and back; back gives
// nothing for an unknown option or one without a value.
std::vector<std::string> trustDialogArguments(const TrustDetails& details);
std::optional<TrustDetails> trustDetailsFromArguments(const std::vector<std::string>& arguments);

// The lines a terminal prompt shows, "Subject:   ..." and so on.
std::string trustDetailsText(const TrustDetails& details);

// The dialog's program in the program folder, and the environment variable
// that names a program of the user's own to answer instead (exit code 0
// accepts, anything else declines).
inline constexpr std::string_view kTrustDialogTool = "TrustDialog";
inline constexpr const char* kTrustDialogVariable = "PCN_TRUST_DIALOG";

}  // namespace pcn
