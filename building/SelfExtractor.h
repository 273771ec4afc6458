#pragma once
// The self-extracting executables: an extractor stub (Self Extracting
// Cabinet) or the wizard stub (Self Extracting Wizard) followed unchanged by
// the package's first cabinet. The stubs are Windows programs looked up in
// the program folder; this side only copies them.

#include <cstddef>
#include <string>
#include <string_view>

namespace pcn {

class BuildHost;
class CCabObj;
class SettingsStore;
class UserInterface;

inline constexpr std::string_view kExtractorStubName = "Extract.Exe";
inline constexpr std::string_view kWizardStubName = "PilotStub.Exe";
inline constexpr std::string_view kMiniSetupName = "TinySetup.Exe";
// Settings value naming another extractor for self-extracting cabinets.
inline constexpr std::string_view kSelfExtractorSection = "Settings";
inline constexpr std::string_view kSelfExtractorValue = "Self Extractor";
inline constexpr size_t kJoinBlockSize = 60144;

// The stub the package's executable starts with: for a Self Extracting
// Cabinet the "Self Extractor" setting when it is not empty, else
// "Extract.Exe" in the program folder; for a Self Extracting Wizard
// "PilotStub.Exe" in the program folder; empty for the other kinds.
std::string StubPath(const CCabObj& package, const SettingsStore& settings);

// The package name with ".EXE" (Self Extracting Cabinet) or "W.EXE"
// (Self Extracting Wizard).
std::string ExecutableName(const CCabObj& package);

// For a Self Extracting Wizard with "Include Mini Setup": shows
// "Adding TinySetup.exe..." and appends the program folder's "TinySetup.Exe"
// to the list of files to compress. Other packages are left alone.
void AddMiniSetup(CCabObj& package, BuildHost* host);

// Writes the executable into the target folder: the stub, then the first
// cabinet of the output list. The executable is assembled in a temporary file
// and renamed into place, so a failure never leaves a half-written one and
// never touches an executable of an earlier build. On success the cabinet
// (and for the wizard "pcn.cfg") are deleted and the executable's name
// replaces the cabinet's in the output list. Every failure is reported
// through ui; the cabinet then stays where it is.
bool JoinStubAndCabinet(CCabObj& package, UserInterface& ui, BuildHost* host, const SettingsStore& settings);

}  // namespace pcn
