#include "model/CCabObj.h"

#include "model/Archive.h"
#include "platform/Paths.h"

namespace pcn {

CCabObj::CCabObj()
    : m_pFiles(std::make_unique<CFileObj>()),
      m_pWeb(std::make_unique<CWebObj>()),
      m_strTargetFolder(dataFolder()) {}

CCabObj::~CCabObj() = default;

void CCabObj::Serialize(CArchive& ar) {
    double version = kFileVersion;
    ar.Exchange(version);  // not checked on load: any version double is taken
    ar.Exchange(m_nKind);
    ar.Exchange(m_strPackageFile);
    ar.Exchange(m_strCompany);
    ar.Exchange(m_strProduct);
    ar.Exchange(m_strVersion);
    ar.Exchange(m_strDescription);
    ar.Exchange(m_strComment);
    ar.Exchange(m_strCopyright);
    ar.Exchange(m_strSourceFolder);
    ar.Exchange(m_strTargetFolder);
    ar.Exchange(m_strProjectName);
    ar.Exchange(m_bCab);
    ar.Exchange(m_bCabSelf);
    ar.Exchange(m_bCabWiz);
    ar.Exchange(m_bCapSingle);
    ar.Exchange(m_bCreateInf);
    ar.Exchange(m_bIncludeInf);
    ar.Exchange(m_nCabSize);
    ar.Exchange(m_bSignature);
    ar.Exchange(m_bCompression);
    ar.Exchange(m_bGuid);
    ar.Exchange(m_bSubDirs);
    ar.Exchange(m_bMiniSetup);
    ar.Exchange(m_bText);
    ar.Exchange(m_strText);
    ar.Exchange(m_bPassword);
    ar.Exchange(m_strPassword);
    ar.Exchange(m_bLicense);
    ar.Exchange(m_strLicenseFile);
    ar.Exchange(m_strExe);
    ar.Exchange(m_strCommandLine);
    ar.Exchange(m_nShowType);
    ar.Exchange(m_strExeDir);
    ar.Exchange(m_strInstallDir);
    ar.Exchange(m_bUserDir);
    ar.Exchange(m_bRestoreDirs);
    ar.Exchange(m_strSignInfo);
    ar.Exchange(m_strSignCredentials);
    ar.Exchange(m_strSignKey);
    ar.Exchange(m_bMD5);
    ar.Exchange(m_bTimeStamp);
    ar.Exchange(m_arrOutputFiles);
    ar.Exchange(m_bShortcutGroup);
    ar.Exchange(m_strGroupDesc);
    ar.Exchange(m_bShortcuts);
    ar.Exchange(m_nShortcutFolder);
    ar.Exchange(m_arrShortcutDesc);
    ar.Exchange(m_arrShortcutFile);
    ar.Exchange(m_nSourceSize);
    ar.Exchange(m_strBuildFolder);
    ar.Exchange(m_strFtpSite);
    ar.Exchange(m_strInfText);
    ar.Exchange(m_strReserved);
    ar.Exchange(m_bRebuild);
    ar.ExchangeTime(m_timeBuilt);
    ar.Exchange(m_bNewPackage);
    m_pFiles->Serialize(ar);
    m_pWeb->Serialize(ar);
    if (ar.IsLoading() && m_arrShortcutDesc.size() != m_arrShortcutFile.size())
        throw ArchiveException(ArchiveException::Cause::BadFormat,
                               "The shortcut description and file lists differ in length");
}

void CCabObj::CopyFrom(const CCabObj& source) {
    if (&source == this) {
        m_bRebuild = 1;
        m_timeBuilt = 0;
        m_bNewPackage = 0;
        return;
    }
    m_nKind = source.m_nKind;
    m_strPackageFile = source.m_strPackageFile;
    m_strCompany = source.m_strCompany;
    m_strProduct = source.m_strProduct;
    m_strVersion = source.m_strVersion;
    m_strDescription = source.m_strDescription;
    m_strComment = source.m_strComment;
    m_strCopyright = source.m_strCopyright;
    m_strTargetFolder = source.m_strTargetFolder;
    m_strProjectName = source.m_strProjectName;
    m_strSourceFolder = source.m_strSourceFolder;
    m_bCab = source.m_bCab;
    m_bCabSelf = source.m_bCabSelf;
    m_bCabWiz = source.m_bCabWiz;
    m_bCapSingle = source.m_bCapSingle;
    m_bCreateInf = source.m_bCreateInf;
    m_bIncludeInf = source.m_bIncludeInf;
    if (source.m_nCabSize != 0) m_nCabSize = source.m_nCabSize;
    m_bSignature = source.m_bSignature;
    m_bCompression = source.m_bCompression;
    m_bGuid = source.m_bGuid;
    m_bMiniSetup = source.m_bMiniSetup;
    m_bSubDirs = source.m_bSubDirs;
    m_bText = source.m_bText;
    m_strText = source.m_strText;
    m_bPassword = source.m_bPassword;
    m_strPassword = source.m_strPassword;
    m_bLicense = source.m_bLicense;
    m_strLicenseFile = source.m_strLicenseFile;
    m_strInstallDir = source.m_strInstallDir;
    m_strExe = source.m_strExe;
    m_strCommandLine = source.m_strCommandLine;
    m_nShowType = source.m_nShowType;
    m_strExeDir = source.m_strExeDir;
    m_bUserDir = source.m_bUserDir;
    m_bRestoreDirs = source.m_bRestoreDirs;
    m_bShortcutGroup = source.m_bShortcutGroup;
    m_strGroupDesc = source.m_strGroupDesc;
    m_bShortcuts = source.m_bShortcuts;
    m_arrShortcutDesc = source.m_arrShortcutDesc;
    m_arrShortcutFile = source.m_arrShortcutFile;
    m_nShortcutFolder = source.m_nShortcutFolder;
    m_strSignInfo = source.m_strSignInfo;
    m_strSignCredentials = source.m_strSignCredentials;
    m_strSignKey = source.m_strSignKey;
    m_bMD5 = source.m_bMD5;
    m_bTimeStamp = source.m_bTimeStamp;
    m_nSourceSize = source.m_nSourceSize;
    m_strInfText = source.m_strInfText;
    m_strReserved = source.m_strReserved;
    m_pFiles->CopyFrom(*source.m_pFiles);
    m_pWeb->CopyFrom(*source.m_pWeb);
    m_bRebuild = 1;
    m_timeBuilt = 0;
    m_bNewPackage = 0;
}

int32_t CCabObj::KindFromFlags(int32_t cab, int32_t cabSelf, int32_t cabWiz) {
    if (cab) return kKindCabinet;
    if (cabSelf) return kKindSelfExtractingCabinet;
    if (cabWiz) return kKindSelfExtractingWizard;
    return kKindWebInf;
}

bool CCabObj::StoredMembersEqual(const CCabObj& o) const {
    return m_nKind == o.m_nKind && m_strPackageFile == o.m_strPackageFile && m_strCompany == o.m_strCompany &&
           m_strProduct == o.m_strProduct && m_strVersion == o.m_strVersion &&
           m_strDescription == o.m_strDescription && m_strComment == o.m_strComment &&
           m_strCopyright == o.m_strCopyright && m_strSourceFolder == o.m_strSourceFolder &&
           m_strTargetFolder == o.m_strTargetFolder && m_strProjectName == o.m_strProjectName &&
           m_bCab == o.m_bCab && m_bCabSelf == o.m_bCabSelf && m_bCabWiz == o.m_bCabWiz &&
           m_bCapSingle == o.m_bCapSingle && m_bCreateInf == o.m_bCreateInf && m_bIncludeInf == o.m_bIncludeInf &&
           m_nCabSize == o.m_nCabSize && m_bSignature == o.m_bSignature && m_bCompression == o.m_bCompression &&
           m_bGuid == o.m_bGuid && m_bSubDirs == o.m_bSubDirs && m_bMiniSetup == o.m_bMiniSetup &&
           m_bText == o.m_bText && m_strText == o.m_strText && m_bPassword == o.m_bPassword &&
           m_strPassword == o.m_strPassword && m_bLicense == o.m_bLicense &&
           m_strLicenseFile == o.m_strLicenseFile && m_strExe == o.m_strExe &&
           m_strCommandLine == o.m_strCommandLine && m_nShowType == o.m_nShowType &&
           m_strExeDir == o.m_strExeDir && m_strInstallDir == o.m_strInstallDir && m_bUserDir == o.m_bUserDir &&
           m_bRestoreDirs == o.m_bRestoreDirs && m_strSignInfo == o.m_strSignInfo &&
           m_strSignCredentials == o.m_strSignCredentials && m_strSignKey == o.m_strSignKey &&
           m_bMD5 == o.m_bMD5 && m_bTimeStamp == o.m_bTimeStamp && m_arrOutputFiles == o.m_arrOutputFiles &&
           m_bShortcutGroup == o.m_bShortcutGroup && m_strGroupDesc == o.m_strGroupDesc &&
           m_bShortcuts == o.m_bShortcuts && m_nShortcutFolder == o.m_nShortcutFolder &&
           m_arrShortcutDesc == o.m_arrShortcutDesc && m_arrShortcutFile == o.m_arrShortcutFile &&
           m_nSourceSize == o.m_nSourceSize && m_strBuildFolder == o.m_strBuildFolder &&
           m_strFtpSite == o.m_strFtpSite && m_strInfText == o.m_strInfText && m_strReserved == o.m_strReserved &&
           m_bRebuild == o.m_bRebuild && static_cast<int32_t>(m_timeBuilt) == static_cast<int32_t>(o.m_timeBuilt) &&
           m_bNewPackage == o.m_bNewPackage && *m_pFiles == *o.m_pFiles && *m_pWeb == *o.m_pWeb;
}

// ---- file table ---------------------------------------------------------------

bool CCabObj::validFileIndex(int index) const { return index >= 0 && index < GetFileCount(); }

int CCabObj::GetFileCount() const { return static_cast<int>(m_pFiles->m_arrPath.size()); }

void CCabObj::SetFilePath(int index, std::string_view path) {
    if (validFileIndex(index)) m_pFiles->m_arrPath[index] = std::string(path);
}

void CCabObj::SetFileDest(int index, std::string_view dest) {
    if (validFileIndex(index)) m_pFiles->m_arrDest[index] = std::string(dest);
}

void CCabObj::SetFileRegister(int index, bool registerComponent) {
    SetFileRegister(index, registerComponent ? std::string_view("1") : std::string_view("0"));
}

void CCabObj::SetFileRegister(int index, std::string_view flagText) {
    if (validFileIndex(index)) m_pFiles->m_arrRegister[index] = std::string(flagText);
}

std::string CCabObj::GetFilePath(int index) const {
    m_szScratch = validFileIndex(index) ? m_pFiles->m_arrPath[index] : std::string();
    return m_szScratch;
}

std::string CCabObj::GetFileDest(int index) const {
    m_szScratch = validFileIndex(index) ? m_pFiles->m_arrDest[index] : std::string();
    return m_szScratch;
}

std::string CCabObj::GetFileRegister(int index) const {
    m_szScratch = validFileIndex(index) ? m_pFiles->m_arrRegister[index] : std::string();
    return m_szScratch;
}

bool CCabObj::IsFileRegistered(int index) const { return GetFileRegister(index) == "1"; }

void CCabObj::RemoveAllFiles() {
    m_pFiles->m_arrPath.clear();
    m_pFiles->m_arrDest.clear();
    m_pFiles->m_arrRegister.clear();
}

int CCabObj::AddFile(std::string_view path) {
    m_pFiles->m_arrPath.emplace_back(path);
    m_pFiles->m_arrDest.emplace_back(kDefaultFileDest);
    m_pFiles->m_arrRegister.emplace_back("0");
    return GetFileCount() - 1;
}

void CCabObj::RemoveFile(int index) {
    if (!validFileIndex(index)) return;
    m_pFiles->m_arrPath.erase(m_pFiles->m_arrPath.begin() + index);
    m_pFiles->m_arrDest.erase(m_pFiles->m_arrDest.begin() + index);
    m_pFiles->m_arrRegister.erase(m_pFiles->m_arrRegister.begin() + index);
}

// ---- web dependencies -------------------------------------------------------------

namespace {
constexpr int32_t kNewDependencyOs = 1;
constexpr int32_t kNewDependencyCpu = 1;
}  // namespace

bool CCabObj::validDependencyIndex(int index) const { return index >= 0 && index < GetDependencyCount(); }

int CCabObj::AddDependency(std::string_view name) {
    InsertDependency(GetDependencyCount(), name);
    return GetDependencyCount() - 1;
}

void CCabObj::InsertDependency(int index, std::string_view name) {
    if (index < 0 || index > GetDependencyCount()) index = GetDependencyCount();
    CWebObj& web = *m_pWeb;
    web.m_arrDeps.insert(web.m_arrDeps.begin() + index, std::string(name));
    web.m_arrDepOs.insert(web.m_arrDepOs.begin() + index, kNewDependencyOs);
    web.m_arrDepCpu.insert(web.m_arrDepCpu.begin() + index, kNewDependencyCpu);
    web.m_arrDepInclude.insert(web.m_arrDepInclude.begin() + index, 0);
    web.m_arrDepOrigin.insert(web.m_arrDepOrigin.begin() + index, 0);
}

void CCabObj::ClearDependencies() {
    m_pWeb->m_arrDeps.clear();
    m_pWeb->m_arrDepOs.clear();
    m_pWeb->m_arrDepCpu.clear();
    m_pWeb->m_arrDepInclude.clear();
    m_pWeb->m_arrDepOrigin.clear();
}

int CCabObj::GetDependencyCount() const { return static_cast<int>(m_pWeb->m_arrDeps.size()); }

void CCabObj::SetDependencyName(int index, std::string_view name) {
    if (validDependencyIndex(index)) m_pWeb->m_arrDeps[index] = std::string(name);
}

void CCabObj::SetDependencyOs(int index, int32_t flags) {
    if (validDependencyIndex(index)) m_pWeb->m_arrDepOs[index] = flags;
}

void CCabObj::SetDependencyCpu(int index, int32_t flags) {
    if (validDependencyIndex(index)) m_pWeb->m_arrDepCpu[index] = flags;
}

void CCabObj::SetDependencyInclude(int index, int32_t include) {
    if (validDependencyIndex(index)) m_pWeb->m_arrDepInclude[index] = include;
}

void CCabObj::SetDependencyOrigin(int index, int32_t image) {
    if (validDependencyIndex(index)) m_pWeb->m_arrDepOrigin[index] = image;
}

std::string CCabObj::GetDependencyName(int index) const {
    m_szScratch = validDependencyIndex(index) ? m_pWeb->m_arrDeps[index] : std::string();
    return m_szScratch;
}

int32_t CCabObj::GetDependencyOs(int index) const {
    return validDependencyIndex(index) ? m_pWeb->m_arrDepOs[index] : 0;
}

int32_t CCabObj::GetDependencyCpu(int index) const {
    return validDependencyIndex(index) ? m_pWeb->m_arrDepCpu[index] : 0;
}

int32_t CCabObj::GetDependencyInclude(int index) const {
    return validDependencyIndex(index) ? m_pWeb->m_arrDepInclude[index] : 0;
}

int32_t CCabObj::GetDependencyOrigin(int index) const {
    return validDependencyIndex(index) ? m_pWeb->m_arrDepOrigin[index] : 0;
}

}  // namespace pcn
