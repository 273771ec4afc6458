#pragma once
// What the build steps share: the kind they build, output-folder creation
// and error reporting.

#include <cstdint>
#include <string>
#include <string_view>

namespace pcn {

class CCabObj;
class UserInterface;

// The kind a build makes of a package: a web package by its kind, the
// others by their kind flags (which the editing pages set before the kind).
int32_t BuildKind(const CCabObj& package);

// The folder with a trailing separator, created with its parents when missing.
// "Already exists" is no error; any other failure shows
// "Error Creating Directory\n\n%s\nError [%d]" (caption "Error", error icon)
// and gives an empty string.
std::string CreateOutputFolder(std::string_view folder, UserInterface& ui);

// The error details dialog as the build steps use it: the error's number and
// system text as the main text, the message as details. When there is no
// error number (or no text for it), the message itself is the main text, so
// that no failure goes unseen.
void ReportBuildError(UserInterface& ui, std::string_view message, int error);

}  // namespace pcn
