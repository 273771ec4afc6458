#pragma once
// Where the package editors remember what the user chose, and the keys
// outside the settings root that they read.

#include <cstdint>
#include <string>
#include <string_view>

#include "editing/core/SigningDefaults.h"

namespace pcn {
class SettingsStore;
}

namespace pcn::gui {

// Sections of the settings store.
inline constexpr std::string_view kPackageSection = "Settings\\Package";
inline constexpr std::string_view kAddFilesSection = "Settings\\Add Files";
inline constexpr std::string_view kLicenseFileSection = "Settings\\License File";

// Machine-wide keys read through the registry helper.
using ::pcn::kInformationKey;  // the program's "Information" key, shared with the signing defaults
inline constexpr std::string_view kWindowsNtVersionKey = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";

// Replaces value with the remembered one when there is one.
void RecallInt(const SettingsStore& settings, std::string_view section, std::string_view name, int32_t& value);
void RecallString(const SettingsStore& settings, std::string_view section, std::string_view name,
                  std::string& value);

}  // namespace pcn::gui
