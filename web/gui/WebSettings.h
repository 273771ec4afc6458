#pragma once
// What the web package wizard remembers from one run to the next.

#include <string_view>

namespace pcn::gui::web_settings {

inline constexpr std::string_view kInfSection = "Settings\\Inf";
inline constexpr std::string_view kProduct = "Product";
inline constexpr std::string_view kLastPath = "Last Path";  // the component path
inline constexpr std::string_view kScan = "Scan";
inline constexpr std::string_view kScanDynamic = "Scan Dynamic";
inline constexpr std::string_view kIncludeHtm = "Include Htm";
inline constexpr std::string_view kIncludeLpk = "Include LPK";

}  // namespace pcn::gui::web_settings
