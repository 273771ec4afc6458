#pragma once
// The check, made once after start-up, that the programs, libraries, stubs
// and help pages the program relies on are present in the program folder.
// Plain C++: the list view runs it on a worker thread.

#include <string>
#include <string_view>
#include <vector>

namespace pcn::gui {

inline constexpr std::string_view kSiblingCheckHeading =
    "Some of the dependency file(s) for Tarnwick Parcelon are missing";
inline constexpr std::string_view kSiblingCheckIntro = "The system cannot find the file(s) specified.\r\n\r\n";

// Names relative to the program folder, in the order they are checked.
std::vector<std::string> siblingFileNames();

// The details text listing every missing file ("full path\r\n" each after the
// introduction), or an empty text when nothing is missing. The signing engine
// counts as present when it is found on the PATH as well.
std::string missingSiblingFilesText(const std::string& programFolder);

}  // namespace pcn::gui
