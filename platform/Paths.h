#pragma once
// Path helpers used across the program.

#include <filesystem>
#include <string>
#include <string_view>

namespace pcn {

// Folder of the running executable, with a trailing separator. PCN_PROGRAM_DIR
// in the environment names another one (tests run programs from the build tree).
std::string programFolder();

// Where user files go that a Windows install keeps in the program folder
// ("Package List.pcn", new package files, "PCNFtp.pftp", the default target
// folder): the program folder when it is writable and not an installed copy
// (which holds the file INSTALLED), else $XDG_DATA_HOME/Parcelon/.
// PCN_DATA_DIR in the environment names another one. Ends with a separator and
// is created on demand.
std::string dataFolder();

// The part after the last separator; both '/' and '\' count, so that paths
// made on Windows split the same way.
std::string fileNamePart(std::string_view path);

// The path cut after its last separator (the separator is kept); empty when
// there is none.
std::string folderPart(std::string_view path);

// True when the path names an existing file or folder.
bool fileExists(std::string_view path);

// The existing path that a Windows look-up of relativePath ('/'-separated)
// inside folder would find: each component matched ignoring ASCII case, an
// exact match preferred. Empty when there is none.
std::string findIgnoringCase(std::string_view folder, std::string_view relativePath);

// Appends the native separator unless the path already ends with one.
std::string withTrailingSeparator(std::string path);

}  // namespace pcn
