#include "building/CabInfWriter.h"

#include <algorithm>
#include <cerrno>

#include "building/BuildSupport.h"
#include "distribution/UserInterface.h"
#include "model/CCabObj.h"
#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "platform/pe/Component.h"
#include "platform/pe/TypeLibrary.h"

namespace pcn {
namespace {

constexpr std::string_view kCrLf = "\r\n";

std::string extensionOf(std::string_view fileName) {
    size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos) return {};
    std::string extension(fileName.substr(dot));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return extension;
}

bool hasVersionExtension(const std::string& extension) {
    return extension == ".EXE" || extension == ".OCX" || extension == ".DLL" || extension == ".COM";
}

bool isLibraryExtension(const std::string& extension) { return extension == ".OCX" || extension == ".DLL"; }

// "FileVersion=..." and, for a file with version information, its
// "RegisterServer=" line; no line end after the last line.
std::string versionLines(const std::string& path, const std::string& extension) {
    std::optional<pe::ComponentVersion> version;
    if (hasVersionExtension(extension)) version = pe::readComponentVersion(path);
    if (!version) return "FileVersion=0,0,0,0";
    bool registers = version->oleSelfRegister || pe::componentExports(path, "DllRegisterServer");
    return "FileVersion=" + version->fileVersion + std::string(kCrLf) + "RegisterServer=" + (registers ? "yes" : "no");
}

// "DestDir=11" and, when the file opens as a type library, "clsid=" with the
// class a browser creates: the first coclass, which the HTML page's classid
// names too. Only a library without a coclass gives its first type
// description (whatever its kind). Each after a line end.
std::string libraryLines(const std::string& path) {
    std::string lines = std::string(kCrLf) + "DestDir=11";
    if (auto library = pe::loadTypeLibrary(path)) {
        lines += std::string(kCrLf) + "clsid=";
        if (const pe::TypeDescription* coclass = library->firstCoclass())
            lines += coclass->guid.registryText();
        else if (!library->types.empty())
            lines += library->types.front().guid.registryText();
    }
    return lines;
}

std::string fileBlock(const std::string& path) {
    std::string name = fileNamePart(path);
    return std::string(kCrLf) + "[" + name + "]" + std::string(kCrLf) + "file=thiscab" + std::string(kCrLf) +
           ComponentInfLines(path) + std::string(kCrLf);
}

// Writes the file whole (temporary file + rename); a failure shows
// "Unable to open file:" with the path in the error details dialog.
bool writeInfFile(const std::string& path, std::string_view text, UserInterface& ui) {
    WriteResult written = writeFileAtomically(path, text);
    if (!written.ok) ReportBuildError(ui, "Unable to open file:\r\n" + path, written.error);
    return written.ok;
}

std::optional<std::string> writeTargetInf(CCabObj& package, std::string_view text, UserInterface& ui) {
    std::string path = CabInfFilePath(package);
    if (package.m_strTargetFolder.empty()) {
        // Without a folder the file would land at the root of the file system.
        ReportBuildError(ui, "Unable to open file:\r\n" + package.m_strProjectName + ".Inf", ENOENT);
        return std::nullopt;
    }
    CreateOutputFolder(package.m_strTargetFolder, ui);  // a failure is shown; writing goes on
    if (!writeInfFile(path, text, ui)) return std::nullopt;
    return path;
}

// The copy that goes into the cabinet: the same bytes under the same name in
// the source folder. Empty when it could not be written (already shown).
std::string copyIntoSourceFolder(const CCabObj& package, std::string_view text, UserInterface& ui) {
    std::string name = fileNamePart(CabInfFilePath(package));
    if (package.m_strSourceFolder.empty()) {
        // No folder to put it in: never the current directory or the root.
        ReportBuildError(ui, "Unable to open file:\r\n" + name, ENOENT);
        return {};
    }
    std::string copy = withTrailingSeparator(package.m_strSourceFolder) + name;
    return writeInfFile(copy, text, ui) ? copy : std::string();
}

bool contains(const std::vector<std::string>& list, const std::string& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

}  // namespace

std::string ComponentInfLines(const std::string& path) {
    std::string extension = extensionOf(fileNamePart(path));
    std::string lines = versionLines(path, extension);
    if (isLibraryExtension(extension)) lines += libraryLines(path);
    return lines;
}

std::string GenerateCabInfText(const CCabObj& package) {
    const std::vector<std::string>& paths = package.m_pFiles->m_arrPath;
    std::string text = ";" + package.m_strProduct + std::string(kCrLf) + std::string(kCrLf);
    text += "[Version]" + std::string(kCrLf) + "Signature=$CHICAGO$" + std::string(kCrLf) + std::string(kCrLf);
    text += "[Add.Code]" + std::string(kCrLf);
    for (const std::string& path : paths) {
        std::string name = fileNamePart(path);
        text += name + "=" + name + std::string(kCrLf);
    }
    text += kCrLf;
    for (const std::string& path : paths) text += fileBlock(path);
    return text;
}

std::string CabInfFilePath(const CCabObj& package) {
    return withTrailingSeparator(package.m_strTargetFolder) + package.m_strProjectName + ".Inf";
}

bool WriteCabInfForBuild(CCabObj& package, UserInterface& ui) {
    // A package that never had its INF page shown has no text yet: it gets
    // the generated one rather than an empty file in its cabinet.
    if (package.m_strInfText.empty()) package.m_strInfText = GenerateCabInfText(package);
    std::string text = package.m_strInfText;
    if (!writeTargetInf(package, text, ui)) return false;
    if (package.m_bIncludeInf) {
        std::string copy = copyIntoSourceFolder(package, text, ui);
        // The table may list the copy already (the INF page adds it); the
        // cabinet must not carry it twice.
        if (!copy.empty() && !contains(package.m_arrBuildFiles, copy)) package.m_arrBuildFiles.push_back(copy);
    }
    return true;
}

std::optional<std::string> LoadCabInfForPage(const CCabObj& package, UserInterface& ui) {
    if (!package.m_bCreateInf) return std::nullopt;
    std::string path = CabInfFilePath(package);
    if (!package.m_strTargetFolder.empty()) CreateOutputFolder(package.m_strTargetFolder, ui);
    std::string text;
    int error = 0;
    if (readWholeFile(path, text, &error)) return text;
    if (error == ENOENT) {
        bool rebuild = ui.message("Unable to find Cabinet Information File:\n" + path +
                                      "\n\nWould you like to rebuild the INF file?",
                                  "Parcelon", Icon::Question, Buttons::YesNo, Answer::Yes) != Answer::No;
        return rebuild ? GenerateCabInfText(package) : std::string();
    }
    ReportBuildError(ui, "Unable to open file:\r\n" + path, error);
    return std::string();
}

bool SaveCabInfFromPage(CCabObj& package, std::string_view text, UserInterface& ui) {
    package.m_strInfText = std::string(text);
    if (!writeTargetInf(package, package.m_strInfText, ui)) return false;
    if (package.m_bIncludeInf) {
        std::string copy = copyIntoSourceFolder(package, package.m_strInfText, ui);
        // Saving the page again must not list the copy twice.
        if (!copy.empty() && !contains(package.m_pFiles->m_arrPath, copy)) package.AddFile(copy);
    }
    return true;
}

}  // namespace pcn
