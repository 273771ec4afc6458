#pragma once
// The cabinet INF file: the text that describes each file of a cabinet for a
// browser's component download (its name, version, self-registration,
// destination and class identifier), generated from the package's file
// table; and the INF file itself, written into the target folder by the build
// and by the property sheet's INF page, and optionally copied into the source
// folder so that the cabinet carries it.

#include <optional>
#include <string>
#include <string_view>

namespace pcn {

class CCabObj;
class UserInterface;

// The INF text for the package's file table, lines ended by CR LF. Each
// component is read with the PE reader: version resource, DllRegisterServer
// export, type library.
std::string GenerateCabInfText(const CCabObj& package);

// The lines that describe one component file in a cabinet or web INF
// section, joined by CR LF, without a line end after the last: its
// "FileVersion=" (read for .EXE, .OCX, .DLL and .COM files, "0,0,0,0" when
// there is none) and then "RegisterServer=", and for .OCX and .DLL files
// "DestDir=11" and, when the file holds a type library, "clsid=" with the
// GUID of its first type description.
std::string ComponentInfLines(const std::string& path);

// Target folder (with a trailing separator) + project name + ".Inf".
std::string CabInfFilePath(const CCabObj& package);

// The build's INF step: writes the package's stored INF text (generated and
// stored first when the package has none) into the target
// folder; with "Include INF File in Cabinet", copies it into the source folder
// and adds the copy to the build's list of files to compress
// (m_arrBuildFiles). Failures are shown through ui; the build goes on.
// Returns whether the INF file was written.
bool WriteCabInfForBuild(CCabObj& package, UserInterface& ui);

// The property sheet's INF page.
// Showing it (only with "Create Cabinet INF File" on; nullopt otherwise): the
// INF file's text; when the file does not exist, the user is asked whether to
// rebuild it and gets the generated text, or nothing on No.
std::optional<std::string> LoadCabInfForPage(const CCabObj& package, UserInterface& ui);
// Saving it: the text becomes the package's INF text and is written as by
// the build; with "Include INF File in Cabinet" the copy in the source folder
// joins the package's file table ("%DESTDIR%", not registered) unless it is
// listed already. Returns whether the INF file was written.
bool SaveCabInfFromPage(CCabObj& package, std::string_view text, UserInterface& ui);

}  // namespace pcn
