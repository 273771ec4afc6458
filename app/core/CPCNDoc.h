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
inline constexpr std::string_view kNotAllPackagesLoaded = "Not all package files could be loaded.";
inline constexpr std::string_view kNotAllPackagesSaved = "Not all package files could be saved.";
inline constexpr std::string_view kFtpSiteFileName = "PCNFtp.pftp";
inline constexpr std::string_view kUntitled = "Untitled";

// What a project file and the FTP site file can sensibly hold; each record
// costs far more in memory than its few bytes on disk, so files claiming
// more are refused as damaged.
inline constexpr size_t kMaxProjectPackages = 10000;
inline constexpr size_t kMaxFtpSites = 10000;

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
    static bool CanShowProperties(const CCabObj* selected) { return selected && !selected->m_bNotLoaded; }
    static bool CanRebuild(const CCabObj* selected) {
        return CanShowProperties(selected) && !selected->IsWebPackage();
    }
    // Built since its last change.
    static bool CanSendByFtp(const CCabObj* selected) {
        return CanShowProperties(selected) && selected->m_bRebuild != 1;
    }

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
    // The stand-in for a listed package file that could not be loaded.
    static std::unique_ptr<CCabObj> NotLoadedPackage(const std::string& path);
    // Package file load and save (model/PackageFile.h).
    static std::unique_ptr<CCabObj> LoadPackage(const std::string& path);
    static bool SavePackage(const CCabObj& package);

    // ---- FTP sites ------------------------------------------------------------------
    // The site list is read from m_szFtpFile by every project load and new
    // project, and by a save that finds it not read yet, so that a save never
    // writes a list that was not read first.
    //
    // Reads m_szFtpFile into the site list. A missing file leaves the list
    // empty; a damaged one keeps the sites before the damage, is renamed
    // aside (FtpSiteFileDamagedName) so that the next save cannot destroy
    // what follows the damage, and the user is told. False when the file
    // exists but could not be read whole (the reason in *detail).
    bool LoadFtpSites(std::string* detail = nullptr);
    // Reads the site file unless the list is already read.
    void EnsureFtpSitesLoaded();
    bool FtpSitesLoaded() const { return ftpSitesLoaded_; }
    // Appends a site the user defined; removes one the user deleted (found
    // by identity). Only sites removed this way may be missing from a save.
    CFTPObj* AddFtpSite(std::unique_ptr<CFTPObj> site);
    bool RemoveFtpSite(const CFTPObj* site);
    // Writes the site list to m_szFtpFile (owner-only: it holds passwords).
    // Refuses (false, *reason says why) to write fewer sites than the file
    // held less those the user removed, or to replace a file it could not read.
    bool SaveFtpSites(std::string* reason = nullptr);
    CFTPObj* FindFtpSite(std::string_view description) const;
    // Where a damaged site file is kept: the file name + ".damaged", or
    // ".damaged-2", ... when that exists already.
    static std::string FtpSiteFileDamagedName(const std::string& siteFile);

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
    // Appends the site file's records; false when it exists but cannot be read.
    bool readFtpSiteFile(std::vector<std::unique_ptr<CFTPObj>>& sites, std::string* detail) const;
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
    bool ftpSitesLoaded_ = false;
    bool ftpSiteFileUnreadable_ = false;  // it exists but could not be read: never replaced
    size_t ftpSitesFloor_ = 0;            // sites read from the file, less those the user removed
};

}  // namespace pcn
