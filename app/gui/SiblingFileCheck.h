#pragma once
// The check, made once after start-up, that the programs, libraries, stubs
// and help pages the program relies on are present. Plain C++: the list view
// runs it on a worker thread.

#include <string>
#include <string_view>

namespace pcn::gui {

inline constexpr std::string_view kSiblingCheckHeading =
    "Some of the dependency file(s) for Tarnwick Parcelon are missing";
inline constexpr std::string_view kSiblingCheckIntro = "The system cannot find the file(s) specified.\r\n\r\n";

enum class LookedUpIn { ProgramFolder, SearchPath };

struct SiblingFile {
    std::string_view name;
    LookedUpIn where = LookedUpIn::ProgramFolder;
};

// What a complete program folder holds, in the order it is checked. Names in
// the program folder are compared ignoring case, as Windows compares them.
inline constexpr SiblingFile kSiblingFiles[] = {
    {"ChkTrust"},
    {"LDSCNT.so"},
    {"LDSCE"},
    {"LDSC95.so"},
    {"Extract.Exe"},
    {"TinySetup.Exe"},
    {"SignCode"},
    {"osslsigncode", LookedUpIn::SearchPath},
    {"PilotStub.Exe"},
    {"Help/default.htm"},
};

// The details text listing every missing file ("full path\r\n" each after the
// introduction), or an empty text when nothing is missing.
std::string missingSiblingFilesText(const std::string& programFolder);

}  // namespace pcn::gui
