#pragma once
// The settings the signing and trust-check wizards remember.

#include <string_view>

#include "signing/SigningJobs.h"

namespace pcn::gui::signsettings {

inline constexpr std::string_view kSection = codesign::kSection;  // File, URL, Name, MD5, TimeStamp, Trust, ...
inline constexpr std::string_view kUrlSection = "Settings\\URL";  // the information Browse
inline constexpr std::string_view kCheckTrustSection = "Settings\\CheckTrust";

}  // namespace pcn::gui::signsettings
