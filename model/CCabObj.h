#pragma once
// The package definition: everything about one package of any kind - what to
// pack, how, what the self-extractor does afterwards, how to sign it and what
// the last build produced. Each record lives in its own package file (.pcp);
// see PackageFile.h for loading and saving one.

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/CFTPObj.h"
#include "model/CFileObj.h"
#include "model/CWebObj.h"

namespace pcn {

class CArchive;

// Package kinds (m_nKind); odd values are not used.
enum PackageKind : int32_t {
    kKindCabinet = 0,
    kKindSelfExtractingCabinet = 2,
    kKindSelfExtractingWizard = 4,
    kKindWebInf = 6,
};

// Shell folder numbers of m_nShortcutFolder.
enum ShortcutFolder : int32_t {
    kShortcutFolderNone = 0,
    kShortcutFolderPersonalPrograms = 2,
    kShortcutFolderStartup = 7,
    kShortcutFolderCommonPrograms = 23,
};

// The destination a newly added file gets.
inline constexpr std::string_view kDefaultFileDest = "%DESTDIR%";
inline constexpr int32_t kDefaultCabSize = 1440000;

class CCabObj {
public:
    // Every member at its default; the target folder is the data folder
    // (platform/Paths.h), ending with a separator.
    CCabObj();
    ~CCabObj();
    CCabObj(const CCabObj&) = delete;
    CCabObj& operator=(const CCabObj&) = delete;

    // ---- members, in declaration order --------------------------------------
    std::unique_ptr<CFileObj> m_pFiles;  // file table (owned, never null)
    std::unique_ptr<CWebObj> m_pWeb;     // web data (owned, never null; used by kind 6)
    // The value the last get-accessor returned (kept for callers that hold
    // on to it; the accessors themselves return copies).
    mutable std::string m_szScratch;
    int32_t m_nKind = kKindCabinet;
    std::string m_strPackageFile;   // full path of the package file holding this record
    std::string m_strCompany;       // "Company Name"
    std::string m_strProduct;       // "Product Name", the display name
    std::string m_strVersion;       // "Product Version"
    std::string m_strDescription;   // "Package Description"
    std::string m_strComment;       // "Comment"
    std::string m_strCopyright;     // "Copyright"
    std::string m_strTargetFolder;  // folder receiving the build output
    std::string m_strProjectName;   // base name of every output file
    std::string m_strBuildFolder;   // output folder of the last build
    std::vector<std::string> m_arrOutputFiles;  // files produced by the last build
    std::string m_strSourceFolder;  // root of the source files
    int32_t m_bCab = 1;             // "&Cab File"
    int32_t m_bCabSelf = 0;         // "Cab Self &Extracting"
    int32_t m_bCabWiz = 0;          // "&Self Extracting Wizard"
    int32_t m_bCapSingle = 1;       // "Sin&gle File"; 0 spans cabinets of m_nCabSize bytes
    int32_t m_bCreateInf = 1;       // "Create Cabinet INF File"
    int32_t m_bIncludeInf = 0;      // "Include INF File in Cabinet"
    int32_t m_nCabSize = kDefaultCabSize;  // "Maximum Size per Cabinet"
    int32_t m_bSignature = 1;       // "Add Digital Signature"
    int32_t m_bCompression = 1;     // "Use Compression"
    int32_t m_bGuid = 0;            // "Scan for GUID(s)"
    int32_t m_bMiniSetup = 0;       // "Include Mini Setup"
    int32_t m_bSubDirs = 0;         // "Include Sub Directories"
    int32_t m_bText = 0;            // show m_strText before extraction
    std::string m_strText;
    int32_t m_bPassword = 0;        // "Password protect Package"
    std::string m_strPassword;      // as typed (the file format keeps it in plain)
    int32_t m_bLicense = 0;         // "Display License File"
    std::string m_strLicenseFile;
    std::string m_strInstallDir;    // "Default Installation Directory"
    std::string m_strExe;           // "Program to execute"
    std::string m_strCommandLine;   // "Program &CommandLine:"
    int32_t m_nShowType = 0;        // 0 Normal, 1 Minimized, 2 Maximized, 3 Console, 4 Hidden
    std::string m_strExeDir;        // "Default Directory" of that program
    int32_t m_bUserDir = 1;         // "Can User select install directory"
    int32_t m_bRestoreDirs = 0;     // "Restore Directory Structure"
    int32_t m_bShortcutGroup = 0;   // "Create Shortcut Group"
    std::string m_strGroupDesc;     // "Shortcut Group Description"
    int32_t m_bShortcuts = 0;       // "Create Shortcut(s)"
    std::vector<std::string> m_arrShortcutDesc;  // parallel to m_arrShortcutFile
    std::vector<std::string> m_arrShortcutFile;
    int32_t m_nShortcutFolder = kShortcutFolderNone;
    std::string m_strSignInfo;         // "Where can people find more information about it?"
    std::string m_strSignCredentials;  // credentials file (.spc)
    std::string m_strSignKey;          // private key file
    int32_t m_bMD5 = 1;                // 1 MD5, 0 SHA 1, 2 SHA-256 (model/Digest.h)
    int32_t m_bTimeStamp = 1;          // "Include Time Stamp?"
    int32_t m_nSourceSize = 0;         // total bytes of the source files
    std::string m_strInfText;          // the cabinet INF text as last generated or edited
    std::string m_strReserved;         // never set; stored empty
    CFTPObj* m_pFtpSite = nullptr;     // site chosen in the current send; run-time only
    std::string m_strFtpSite;          // description of the site last used
    int32_t m_bRebuild = 1;            // must be rebuilt
    std::time_t m_timeBuilt = 0;       // last build, seconds since 1970; 0 = never
    int32_t m_bNewPackage = 0;         // pasted copy or failed wizard build
    std::vector<std::string> m_arrBuildFiles;  // full source paths of the running build; run-time only
    // Run-time only: the project lists this package file but it could not be
    // read (missing or damaged). The record holds just the path and, as the
    // product, the file's name; it keeps its place in the project and is
    // never written over the file.
    bool m_bNotLoaded = false;

    // ---- operations ----------------------------------------------------------
    // Stores or loads the package file layout, version double first. Loading
    // skips the version without checking it and appends to the lists.
    void Serialize(CArchive& ar);

    // Takes over the source's definition: every stored member except the
    // build folder, the output files and the last FTP site; the cabinet size
    // only when the source's is not 0; the file table and the web data. The
    // copy then needs a rebuild and is neither built nor new.
    void CopyFrom(const CCabObj& source);

    // Kind from the kind flags: Cabinet, else Self Extracting Cabinet, else
    // Self Extracting Wizard, else Web Inf Package.
    static int32_t KindFromFlags(int32_t cab, int32_t cabSelf, int32_t cabWiz);
    void SetKindFromFlags() { m_nKind = KindFromFlags(m_bCab, m_bCabSelf, m_bCabWiz); }
    bool IsWebPackage() const { return m_nKind == kKindWebInf; }

    // Compares every member that the package file stores.
    bool StoredMembersEqual(const CCabObj& other) const;

    // ---- file table, by zero-based index (out of range: no effect / empty) -----
    int GetFileCount() const;
    void SetFilePath(int index, std::string_view path);
    void SetFileDest(int index, std::string_view dest);
    void SetFileRegister(int index, bool registerComponent);
    void SetFileRegister(int index, std::string_view flagText);
    std::string GetFilePath(int index) const;
    std::string GetFileDest(int index) const;
    std::string GetFileRegister(int index) const;  // "1" or "0"
    bool IsFileRegistered(int index) const;        // GetFileRegister(index) == "1"
    void RemoveAllFiles();
    // Appends path, "%DESTDIR%" and "0"; returns the new index.
    int AddFile(std::string_view path);
    void RemoveFile(int index);

    // ---- web dependencies, by zero-based index ---------------------------------
    // A new entry: OS flags 1, processor flags 1, include flag 0, origin image 0.
    int AddDependency(std::string_view name);
    void InsertDependency(int index, std::string_view name);
    void ClearDependencies();
    int GetDependencyCount() const;
    void SetDependencyName(int index, std::string_view name);
    void SetDependencyOs(int index, int32_t flags);
    void SetDependencyCpu(int index, int32_t flags);
    void SetDependencyInclude(int index, int32_t include);
    void SetDependencyOrigin(int index, int32_t image);
    std::string GetDependencyName(int index) const;
    int32_t GetDependencyOs(int index) const;
    int32_t GetDependencyCpu(int index) const;
    int32_t GetDependencyInclude(int index) const;
    int32_t GetDependencyOrigin(int index) const;

private:
    bool validFileIndex(int index) const;
    bool validDependencyIndex(int index) const;
};

}  // namespace pcn
