#pragma once
// The settings sections the wizard pages remember their values in.

#include <string_view>

namespace pcn::gui {

inline constexpr std::string_view kPackageSection = "Settings\\Package";

}  // namespace pcn::gui
