#include "app/core/ProjectExport.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>

#include "app/core/CPCNDoc.h"
#include "distribution/UserInterface.h"
#include "model/CCabObj.h"
#include "platform/AtomicFile.h"
#include "platform/Paths.h"

namespace pcn {
namespace {

namespace fs = std::filesystem;

constexpr const char* kExportCaption = "Export";

std::string errorText(int error) { return error ? std::strerror(error) : "unknown error"; }

bool ensureFolder(const std::string& folder, UserInterface& ui, bool& cancelled) {
    std::error_code ec;
    if (fs::is_directory(folder, ec)) return true;
    if (ui.message("The folder\n\n" + folder + "\n\ndoes not exist. Do you want to create it?", kExportCaption,
                   Icon::Question, Buttons::YesNo, Answer::Yes) != Answer::Yes) {
        cancelled = true;
        return false;
    }
    fs::create_directories(folder, ec);
    if (!ec) return true;
    ui.errorDetails("Error Creating Directory\n\n" + folder + "\nError [" + std::to_string(ec.value()) + "]",
                    ec.message());
    return false;
}

mode_t permissionsOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : kDefaultMode;
}

enum class Copy { Copied, Skipped, Failed, Cancelled };

Copy copyOne(const std::string& source, const fs::path& target, UserInterface& ui) {
    std::error_code ec;
    if (fs::exists(target, ec)) {
        if (fs::equivalent(source, target, ec)) return Copy::Skipped;
        switch (ui.message("The file\n\n" + target.string() +
                               "\n\nalready exists in the destination folder. Do you want to replace it?",
                           kExportCaption, Icon::Question, Buttons::YesNoCancel, Answer::No)) {
            case Answer::Yes: break;
            case Answer::Cancel: return Copy::Cancelled;
            default: return Copy::Skipped;
        }
    }
    std::string bytes;
    int error = 0;
    if (!readWholeFile(source, bytes, &error)) {
        ui.errorDetails("Cannot copy the file " + fileNamePart(source) + ".",
                        "Reading " + source + " failed: " + errorText(error));
        return Copy::Failed;
    }
    const WriteResult written = writeFileAtomically(target, bytes, permissionsOf(source));
    if (!written.ok) {
        ui.errorDetails("Cannot copy the file " + fileNamePart(source) + ".",
                        "Writing " + target.string() + " failed: " + errorText(written.error));
        return Copy::Failed;
    }
    return Copy::Copied;
}

}  // namespace

std::vector<std::string> ProjectExportSources(const CPCNDoc& doc) {
    std::vector<std::string> sources;
    if (!doc.GetPathName().empty()) sources.push_back(doc.GetPathName());
    sources.insert(sources.end(), doc.m_arrPackageFiles.begin(), doc.m_arrPackageFiles.end());
    return sources;
}

std::vector<std::string> PackageExportSources(const std::vector<const CCabObj*>& packages) {
    std::vector<std::string> sources;
    for (const CCabObj* package : packages)
        if (!package->m_strPackageFile.empty()) sources.push_back(package->m_strPackageFile);
    return sources;
}

ExportResult ExportFiles(const std::vector<std::string>& sources, const std::string& destinationFolder,
                         UserInterface& ui, ExportProgress* progress) {
    ExportResult result;
    if (sources.empty()) return result;
    if (destinationFolder.empty()) {
        ui.message("Enter the folder to export to.", kExportCaption, Icon::Information, Buttons::Ok, Answer::Ok);
        result.cancelled = true;
        return result;
    }
    const std::string folder = withTrailingSeparator(destinationFolder);
    if (!ensureFolder(folder, ui, result.cancelled)) {
        if (progress) progress->finished();
        return result;
    }
    for (size_t i = 0; i < sources.size(); ++i) {
        if (progress) {
            progress->copying(i, sources.size(), sources[i]);
            if (progress->cancelled()) {
                result.cancelled = true;
                break;
            }
        }
        switch (copyOne(sources[i], fs::path(folder) / fileNamePart(sources[i]), ui)) {
            case Copy::Copied: ++result.copied; break;
            case Copy::Skipped: ++result.skipped; break;
            case Copy::Failed: result.failed.push_back(sources[i]); break;
            case Copy::Cancelled: result.cancelled = true; break;
        }
        if (result.cancelled) break;
    }
    if (progress) progress->finished();
    return result;
}

}  // namespace pcn
