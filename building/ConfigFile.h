#pragma once
// The configuration file "pcn.cfg" that a Self Extracting Wizard package
// carries in its cabinet: it tells the wizard stub what to show and do. The
// build writes it into the target folder, puts it first in the list of files
// to compress, and deletes it once the executable is joined.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pcn {

class CCabObj;
class UserInterface;

inline constexpr std::string_view kConfigFileName = "pcn.cfg";

// The scrambled password: ten random filler characters, then each password
// byte plus 80 (modulo 256). The stub's buffer holds 259 bytes.
inline constexpr size_t kPasswordFillerLength = 10;
inline constexpr unsigned kPasswordOffset = 80;
inline constexpr size_t kMaxPasswordLength = 249;

// The 92 printable characters the filler is drawn from.
std::string_view PasswordFillerCharacters();
// Ten filler characters drawn afresh for each write.
std::string RandomPasswordFiller();
std::string ScramblePassword(std::string_view password, std::string_view filler);
// What the stub does: skip the filler, subtract 80 from each byte.
std::string UnscramblePassword(std::string_view scrambled);

// Each value of "pcn.cfg" is one line: a line break in a field would start a
// key of its own there. Only the display text may hold several lines (they
// are joined with "|").
inline constexpr const char* kLineBreakRefused =
    "This entry must stay on one line: a line break would start a new setting in the setup's "
    "configuration file (pcn.cfg).";
bool HoldsLineBreak(std::string_view value);
// The name of the first single-line field of the package that holds a line
// break ("Company Name", "Command Line", ...); empty when none does.
std::string ConfigFieldWithLineBreak(const CCabObj& package);

// Why the package's configuration file cannot be written as it stands (a
// password the stub cannot read back, a line break in a single-line field);
// empty when it can.
std::string ConfigFileProblem(const CCabObj& package);

// The show-window code the stub starts the program with, for a display type
// index: Normal 5, Minimized 2, Maximized 3, Console 10, Hidden 0; else 5.
int ShowWindowCode(int32_t showType);

// The file's bytes, CR LF lines; the password (when protected) is scrambled
// with the given filler. Expects ConfigFileProblem(package) to be empty.
std::string ConfigFileText(const CCabObj& package, std::string_view passwordFiller);

// The index in the file table of the licence file when it is also one of the
// package's files, else -1. The cabinet then stores it once, as that file,
// and "FileIndex=" tells the stub where to read it from.
int LicenceFileTableIndex(const CCabObj& package);

// The target folder's "pcn.cfg".
std::string ConfigFilePath(const CCabObj& package);

// Creates the target folder, writes "pcn.cfg" into it and puts its path
// first in the build's list of files to compress, followed by the licence
// file's path when the licence is displayed. Reports every failure through
// ui and then returns false with the list untouched.
bool WriteConfigFile(CCabObj& package, UserInterface& ui);

}  // namespace pcn
