#pragma once
// The project document: the ordered packages of the open project, the FTP
// sites the user has defined, and the project file (.pcn) that lists the
// package files. One document lives as long as the program and is reused for
// every new or opened project. It shows nothing itself: messages go through
// UserInterface, progress through ProgressSink, the repair of missing package
// files through a reconciler the front end supplies.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/core/ProgressSink.h"
#include "distribution/UserInterface.h"
#include "model/CCabObj.h"
#include "model/CFTPObj.h"

namespace pcn {

class CArchive;

// Messages of the document, as the user sees them.
inline constexpr std::string_view kFailedToOpenDocument = "Failed to open document.";
inline constexpr std::string_view kUnexpectedFileFormat = "Unexpected file format.";
inline constexpr std::string_view kFailedToSaveDocument = "Failed to save document.";
inline constexpr std::string_view kNotAllPackagesLoaded = "Not all package files could be loaded?";
inline constexpr std::string_view kNotAllPackagesSaved = "Not all package files could be saved.";
inline constexpr std::string_view kFtpSiteFileName = "PCNFtp.pftp";
inline constexpr std::string_view kUntitled = "Untitled";

// Shown the package files of a project that do not exist. It may correct,
// remove or keep entries of the list; Answer::Ok keeps what the list then
// holds, Answer::Cancel drops them all from the project.
using MissingFileReconciler = std::function<Answer(std::vector<std::string>& missing)>;

class CPCNDoc {
public:
    // ui may be null (no messages); the FTP site file is in the data folder.
    explicit CPCNDoc(UserInterface* ui = nullptr);
    ~CPCNDoc();
    CPCNDoc(const CPCNDoc&) = delete;
    CPCNDoc& operator=(const CPCNDoc&) = delete;

    // ---- members -----------------------------------------------------------
    std::vector<std::unique_ptr<CCabObj>> m_listPackages;  // in display order
    std::vector<std::unique_ptr<CFTPObj>> m_listFtpSites;  // in the order of the FTP site file
    std::vector<std::string> m_arrPackageFiles;  // package file paths read from or written to the project file
    std::string m_szFtpFile;      // data folder + "PCNFtp.pftp"
    int32_t m_bMarkModified = 0;  // a load found missing package files; the list view turns it into IsModified()

    // ---- front-end hooks ---------------------------------------------------
    void SetUserInterface(UserInterface* ui) { ui_ = ui; }
    // Null: no progress messages.
    void SetProgressSink(ProgressSink* sink) { progress_ = sink; }
    // Null: missing package files are kept in the list (and then reported as
    // not loaded), as if the user had pressed OK without changes.
    void SetMissingFileReconciler(MissingFileReconciler reconciler) { reconciler_ = std::move(reconciler); }
    // Called when the contents are cleared, so that views drop their selection.
    void SetContentsClearedHandler(std::function<void()> handler) { contentsCleared_ = std::move(handler); }

    // ---- document state ------------------------------------------------------
    bool IsModified() const { return modified_; }
    void SetModifiedFlag(bool modified = true) {
        const bool changed = modified_ != modified;
        modified_ = modified;
        if (changed && modifiedChanged_) modifiedChanged_(modified);
    }
    // Told whenever the modified flag changes (the main window's title marks it).
    void SetModifiedChangedHandler(std::function<void(bool)> handler) { modifiedChanged_ = std::move(handler); }
    // Path of the project file as last opened or saved; empty for a new project.
    const std::string& GetPathName() const { return pathName_; }
    const std::string& GetTitle() const { return title_; }
    // The text is cut at its first "." (the title shows the file name without extension).
    void SetTitle(std::string_view title);

    // After a load that met missing package files the project must be saved
    // again: moves m_bMarkModified into the modified flag. True when it did.
    bool ApplyMarkModified();

    // Command enabling for the selected package (null: none selected).
    static bool CanShowProperties(const CCabObj* selected) { return selected != nullptr; }
    static bool CanRebuild(const CCabObj* selected) { return selected && !selected->IsWebPackage(); }
    // Built since its last change.
    static bool CanSendByFtp(const CCabObj* selected) { return selected && selected->m_bRebuild != 1; }

    // ---- project operations -------------------------------------------------
    // Clears the contents and marks the new, untitled project modified, so
    // that closing it asks to save it.
    bool OnNewDocument();
    // Opens a project file. A path containing ".pcp" is refused at once,
    // without a message. On any other failure the user is told and the
    // current project stays as it was.
    bool OnOpenDocument(const std::string& path);
    // Saves the FTP sites, every package file and then the project file,
    // written whole; on success the document takes the path and is unmodified.
    bool OnSaveDocument(const std::string& path);
    // Deletes every package and FTP site record and forgets the package file list.
    void DeleteContents();

    // Stores or loads the project as the project file holds it. Loading
    // throws ArchiveException on a damaged file (BadVersion for a version
    // other than 2.1); what it reads replaces the contents only when the
    // whole load succeeds.
    void Serialize(CArchive& ar);

    // ---- packages ---------------------------------------------------------------
    // Appends the record; a record without a package file path gets the data
    // folder + product name + ".pcp". Marks the project modified.
    CCabObj* AddPackage(std::unique_ptr<CCabObj> package);
    // Removes and deletes the record (found by identity) and its path.
    bool RemovePackage(const CCabObj* package);
    // Package file load and save (model/PackageFile.h).
    static std::unique_ptr<CCabObj> LoadPackage(const std::string& path);
    static bool SavePackage(const CCabObj& package);

    // ---- FTP sites ------------------------------------------------------------------
    // Reads m_szFtpFile into the site list. A missing file leaves the list
    // empty; a damaged one keeps the sites before the damage. False when
    // the file exists but is damaged (the reason in *detail).
    bool LoadFtpSites(std::string* detail = nullptr);
    // Writes the site list to m_szFtpFile (owner-only: it holds passwords).
    bool SaveFtpSites(int* systemError = nullptr) const;
    CFTPObj* FindFtpSite(std::string_view description) const;

    // The project file's bytes for a list of package file paths.
    static std::string StoreProjectFile(const std::vector<std::string>& packageFiles);
    // The package file paths of a project file; throws ArchiveException.
    static std::vector<std::string> ParseProjectFile(std::string_view bytes);
    // The site records of an FTP site file; throws ArchiveException.
    static std::vector<std::unique_ptr<CFTPObj>> ParseFtpSiteFile(std::string_view bytes);
    // Appends the site records one by one; when it throws, the sites read
    // before the damage are in the list.
    static void AppendFtpSites(std::string_view bytes, std::vector<std::unique_ptr<CFTPObj>>& sites);
    static std::string StoreFtpSiteFile(const std::vector<std::unique_ptr<CFTPObj>>& sites);

private:
    struct LoadedProject;
    void storeProject(CArchive& ar);
    void loadProject(CArchive& ar);
    void reportFailure(std::string_view text, const std::string& path, std::string_view reason) const;
    void sendProgress(uint32_t step, uint32_t total) const;

    UserInterface* ui_;
    ProgressSink* progress_ = nullptr;
    MissingFileReconciler reconciler_;
    std::function<void()> contentsCleared_;
    std::function<void(bool)> modifiedChanged_;
    bool modified_ = false;
    std::string pathName_;
    std::string title_{kUntitled};
    std::vector<std::string> unsavedFiles_;  // written by storeProject for OnSaveDocument to report
};

}  // namespace pcn
