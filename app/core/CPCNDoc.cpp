#include "app/core/CPCNDoc.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "model/Archive.h"
#include "model/PackageFile.h"
#include "model/RecordFile.h"
#include "platform/AtomicFile.h"
#include "platform/Paths.h"

namespace pcn {
namespace {

bool containsIgnoringCase(std::string_view text, std::string_view part) {
    auto lower = [](char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); };
    return std::search(text.begin(), text.end(), part.begin(), part.end(),
                       [&](char a, char b) { return lower(a) == lower(b); }) != text.end();
}

bool isFileVersion(double value) {
    return std::bit_cast<uint64_t>(value) == std::bit_cast<uint64_t>(kFileVersion);
}

// The project file after the FTP sites: the version double, then the counted paths.
std::vector<std::string> readPackagePaths(CArchive& ar) {
    if (!isFileVersion(ar.ReadDouble()))
        throw ArchiveException(ArchiveException::Cause::BadVersion, "The file version is not 2.1");
    std::vector<std::string> paths;
    ar.ReadStringList(paths);
    if (paths.size() > kMaxProjectPackages)
        throw ArchiveException(ArchiveException::Cause::BadFormat,
                               std::to_string(paths.size()) + " packages are more than a project holds");
    return paths;
}

std::string describeError(int error) { return std::strerror(error); }

}  // namespace

// What a project load gathers before it replaces the document's contents.
struct CPCNDoc::LoadedProject {
    std::vector<std::unique_ptr<CFTPObj>> sites;
    bool siteFileUnreadable = false;
    std::vector<std::string> packageFiles;
    std::vector<std::unique_ptr<CCabObj>> packages;
    bool markModified = false;
};

CPCNDoc::CPCNDoc(UserInterface* ui) : m_szFtpFile(dataFolder() + std::string(kFtpSiteFileName)), ui_(ui) {}

CPCNDoc::~CPCNDoc() = default;

void CPCNDoc::SetTitle(std::string_view title) { title_ = std::string(title.substr(0, title.find('.'))); }

bool CPCNDoc::ApplyMarkModified() {
    if (!m_bMarkModified) return false;
    SetModifiedFlag(true);
    m_bMarkModified = 0;
    return true;
}

// ---- project operations ----------------------------------------------------------------

void CPCNDoc::DeleteContents() {
    m_listPackages.clear();
    m_listFtpSites.clear();
    ftpSitesLoaded_ = false;
    m_arrPackageFiles.clear();
    if (contentsCleared_) contentsCleared_();
}

bool CPCNDoc::OnNewDocument() {
    DeleteContents();
    LoadFtpSites();
    pathName_.clear();
    SetTitle(kUntitled);
    m_bMarkModified = 0;
    SetModifiedFlag(true);
    return true;
}

bool CPCNDoc::OnOpenDocument(const std::string& path) {
    if (containsIgnoringCase(path, ".pcp")) return false;

    std::string bytes;
    int error = 0;
    if (!readRecordFile(path, bytes, error)) {
        reportFailure(kFailedToOpenDocument, path, describeError(error));
        return false;
    }
    CArchive ar(bytes);
    try {
        Serialize(ar);
    } catch (const ArchiveException& e) {
        const bool badVersion = e.cause() == ArchiveException::Cause::BadVersion;
        reportFailure(badVersion ? kFailedToOpenDocument : kUnexpectedFileFormat, path, e.what());
        return false;
    }
    pathName_ = path;
    SetTitle(fileNamePart(path));
    SetModifiedFlag(false);
    return true;
}

bool CPCNDoc::OnSaveDocument(const std::string& path) {
    CArchive ar;
    Serialize(ar);
    WriteResult written = writeFileAtomically(path, ar.buffer());
    if (!written.ok) {
        reportFailure(kFailedToSaveDocument, path, describeError(written.error));
        return false;
    }
    if (!unsavedFiles_.empty() && ui_) {
        std::string details;
        for (const std::string& line : unsavedFiles_) details += line + "\n";
        ui_->errorDetails(kNotAllPackagesSaved, details);
    }
    pathName_ = path;
    SetTitle(fileNamePart(path));
    SetModifiedFlag(false);
    return true;
}

void CPCNDoc::reportFailure(std::string_view text, const std::string& path, std::string_view reason) const {
    if (ui_) ui_->errorDetails(text, path + "\n" + std::string(reason));
}

void CPCNDoc::Serialize(CArchive& ar) {
    if (ar.IsStoring())
        storeProject(ar);
    else
        loadProject(ar);
}

void CPCNDoc::sendProgress(uint32_t step, uint32_t total) const {
    if (progress_) progress_->setProgress(static_cast<int>(progressPercent(step, total)));
}

void CPCNDoc::storeProject(CArchive& ar) {
    unsavedFiles_.clear();
    std::string siteReason;
    if (!SaveFtpSites(&siteReason)) unsavedFiles_.push_back(m_szFtpFile + ": " + siteReason);
    int error = 0;

    if (progress_) progress_->setProgress(kProgressStart);
    // One step per package, one per written path and two final ones: with
    // this total the last step is exactly 100.
    const uint32_t total = 2 * static_cast<uint32_t>(m_listPackages.size()) + 2;
    uint32_t step = 0;

    ar.WriteDouble(kFileVersion);
    m_arrPackageFiles.clear();
    for (const auto& package : m_listPackages) {
        sendProgress(++step, total);
        m_arrPackageFiles.push_back(package->m_strPackageFile);
        if (package->m_bNotLoaded) continue;  // its file stays as it is, for the user to mend
        if (!pcn::SavePackage(*package, &error))
            unsavedFiles_.push_back((package->m_strPackageFile.empty() ? package->m_strProduct
                                                                       : package->m_strPackageFile) +
                                    ": " + describeError(error));
    }
    ar.WriteInt(static_cast<int32_t>(m_arrPackageFiles.size()));
    for (const std::string& path : m_arrPackageFiles) {
        ar.WriteString(path);
        sendProgress(++step, total);
    }
    sendProgress(++step, total);
    sendProgress(++step, total);
    if (progress_) progress_->setProgress(kProgressEnd);
}

void CPCNDoc::loadProject(CArchive& ar) {
    LoadedProject loaded;
    loaded.siteFileUnreadable = !readFtpSiteFile(loaded.sites, nullptr);

    std::vector<std::string> paths = readPackagePaths(ar);
    std::vector<std::string> missing;
    std::vector<size_t> missingAt;  // their places in the project
    for (size_t i = 0; i < paths.size(); ++i)
        if (!fileExists(paths[i])) {
            missing.push_back(paths[i]);
            missingAt.push_back(i);
        }

    if (missing.empty()) {
        loaded.packageFiles = std::move(paths);
    } else {
        loaded.markModified = true;
        const size_t shown = missing.size();
        Answer answer = reconciler_ ? reconciler_(missing) : Answer::Ok;
        if (answer == Answer::Ok && missing.size() == shown) {
            // Kept (and perhaps corrected) one for one: each stays in its place.
            for (size_t k = 0; k < shown; ++k) paths[missingAt[k]] = std::move(missing[k]);
            loaded.packageFiles = std::move(paths);
        } else {
            for (size_t i = 0, k = 0; i < paths.size(); ++i) {
                if (k < missingAt.size() && missingAt[k] == i)
                    ++k;
                else
                    loaded.packageFiles.push_back(std::move(paths[i]));
            }
            if (answer == Answer::Ok)  // some were removed from the list: the rest follow
                loaded.packageFiles.insert(loaded.packageFiles.end(), missing.begin(), missing.end());
        }
    }

    bool anyFailed = false;
    for (const std::string& path : loaded.packageFiles) {
        // A missing or damaged package file counts as not loaded: it keeps its
        // place in the project, and the rest of the project opens.
        std::unique_ptr<CCabObj> package = LoadPackage(path);
        if (!package) {
            package = NotLoadedPackage(path);
            anyFailed = true;
        }
        loaded.packages.push_back(std::move(package));
    }
    if (anyFailed && ui_) ui_->message(kNotAllPackagesLoaded, "Parcelon", Icon::Information, Buttons::Ok, Answer::Ok);

    DeleteContents();
    m_listFtpSites = std::move(loaded.sites);
    ftpSitesLoaded_ = true;
    ftpSiteFileUnreadable_ = loaded.siteFileUnreadable;
    ftpSitesFloor_ = m_listFtpSites.size();
    m_arrPackageFiles = std::move(loaded.packageFiles);
    m_listPackages = std::move(loaded.packages);
    m_bMarkModified = loaded.markModified ? 1 : 0;
}

// ---- packages ----------------------------------------------------------------------------

CCabObj* CPCNDoc::AddPackage(std::unique_ptr<CCabObj> package) {
    if (!package) return nullptr;
    if (package->m_strPackageFile.empty())
        package->m_strPackageFile = DefaultPackageFileName(package->m_strProduct);
    m_arrPackageFiles.push_back(package->m_strPackageFile);
    m_listPackages.push_back(std::move(package));
    SetModifiedFlag(true);
    return m_listPackages.back().get();
}

bool CPCNDoc::RemovePackage(const CCabObj* package) {
    auto found = std::find_if(m_listPackages.begin(), m_listPackages.end(),
                              [&](const auto& p) { return p.get() == package; });
    if (found == m_listPackages.end()) return false;
    const size_t position = static_cast<size_t>(found - m_listPackages.begin());
    m_listPackages.erase(found);
    if (position < m_arrPackageFiles.size())
        m_arrPackageFiles.erase(m_arrPackageFiles.begin() + static_cast<std::ptrdiff_t>(position));
    SetModifiedFlag(true);
    return true;
}

std::unique_ptr<CCabObj> CPCNDoc::NotLoadedPackage(const std::string& path) {
    auto package = std::make_unique<CCabObj>();
    package->m_strPackageFile = path;
    package->m_strProduct = std::string(fileNamePart(path));
    package->m_bNotLoaded = true;
    return package;
}

std::unique_ptr<CCabObj> CPCNDoc::LoadPackage(const std::string& path) { return pcn::LoadPackage(path); }

bool CPCNDoc::SavePackage(const CCabObj& package) { return pcn::SavePackage(package); }

// ---- FTP sites -------------------------------------------------------------------------

bool CPCNDoc::readFtpSiteFile(std::vector<std::unique_ptr<CFTPObj>>& sites, std::string* detail) const {
    std::string bytes;
    int error = 0;
    if (!readRecordFile(m_szFtpFile, bytes, error)) {
        if (error == ENOENT) return true;  // no sites defined yet
        // Unreadable (no permission, not a regular file): left alone, and
        // never replaced, which a save reports.
        if (detail) *detail = describeError(error);
        return false;
    }
    try {
        AppendFtpSites(bytes, sites);
    } catch (const ArchiveException& e) {
        // The sites in front of the damage are kept rather than refusing every
        // project; the damaged file is put aside so that no save destroys the rest.
        std::string aside = FtpSiteFileDamagedName(m_szFtpFile);
        std::string reason = e.what();
        if (::rename(m_szFtpFile.c_str(), aside.c_str()) == 0)
            reason += "\nThe damaged file is kept as " + aside;
        else
            return reportFailure(kUnexpectedFileFormat, m_szFtpFile, reason), false;
        reportFailure(kUnexpectedFileFormat, m_szFtpFile, reason);
        if (detail) *detail = e.what();
    }
    return true;
}

bool CPCNDoc::LoadFtpSites(std::string* detail) {
    std::vector<std::unique_ptr<CFTPObj>> sites;
    std::string reason;
    const bool readable = readFtpSiteFile(sites, &reason);
    if (detail) *detail = reason;
    m_listFtpSites = std::move(sites);
    ftpSitesLoaded_ = true;
    ftpSiteFileUnreadable_ = !readable;
    ftpSitesFloor_ = m_listFtpSites.size();
    return reason.empty();
}

void CPCNDoc::EnsureFtpSitesLoaded() {
    if (ftpSitesLoaded_) return;
    // Sites added before the file was read follow the file's own.
    std::vector<std::unique_ptr<CFTPObj>> added = std::move(m_listFtpSites);
    LoadFtpSites();
    for (auto& site : added) m_listFtpSites.push_back(std::move(site));
}

CFTPObj* CPCNDoc::AddFtpSite(std::unique_ptr<CFTPObj> site) {
    if (!site) return nullptr;
    EnsureFtpSitesLoaded();
    m_listFtpSites.push_back(std::move(site));
    return m_listFtpSites.back().get();
}

bool CPCNDoc::RemoveFtpSite(const CFTPObj* site) {
    EnsureFtpSitesLoaded();
    auto found = std::find_if(m_listFtpSites.begin(), m_listFtpSites.end(),
                              [&](const auto& s) { return s.get() == site; });
    if (found == m_listFtpSites.end()) return false;
    m_listFtpSites.erase(found);
    if (ftpSitesFloor_ > 0) --ftpSitesFloor_;
    return true;
}

bool CPCNDoc::SaveFtpSites(std::string* reason) {
    EnsureFtpSitesLoaded();
    auto refuse = [&](std::string why) {
        if (reason) *reason = std::move(why);
        return false;
    };
    if (ftpSiteFileUnreadable_) return refuse("the file could not be read, so it is not replaced");
    if (m_listFtpSites.size() < ftpSitesFloor_)
        return refuse("the site list lost sites the user did not delete; the file is not replaced");
    WriteResult written = writeFileAtomically(m_szFtpFile, StoreFtpSiteFile(m_listFtpSites), kOwnerOnly);
    if (!written.ok) return refuse(describeError(written.error));
    ftpSitesFloor_ = m_listFtpSites.size();
    return true;
}

std::string CPCNDoc::FtpSiteFileDamagedName(const std::string& siteFile) {
    std::string name = siteFile + ".damaged";
    for (int n = 2; fileExists(name); ++n) name = siteFile + ".damaged-" + std::to_string(n);
    return name;
}

CFTPObj* CPCNDoc::FindFtpSite(std::string_view description) const {
    for (const auto& site : m_listFtpSites)
        if (site->m_strDescription == description) return site.get();
    return nullptr;
}

// ---- file bytes ---------------------------------------------------------------------------

std::string CPCNDoc::StoreProjectFile(const std::vector<std::string>& packageFiles) {
    CArchive ar;
    ar.WriteDouble(kFileVersion);
    ar.WriteStringList(packageFiles);
    return ar.takeBuffer();
}

std::vector<std::string> CPCNDoc::ParseProjectFile(std::string_view bytes) {
    CArchive ar(bytes);
    return readPackagePaths(ar);
}

void CPCNDoc::AppendFtpSites(std::string_view bytes, std::vector<std::unique_ptr<CFTPObj>>& sites) {
    CArchive ar(bytes);
    int32_t count = ar.ReadInt();
    // The smallest site record: five empty strings and two integers.
    if (count < 0 || static_cast<size_t>(count) > ar.remaining() / 13)
        throw ArchiveException(ArchiveException::Cause::BadFormat,
                               std::to_string(count) + " FTP sites cannot fit in the file");
    if (static_cast<size_t>(count) > kMaxFtpSites)
        throw ArchiveException(ArchiveException::Cause::BadFormat,
                               std::to_string(count) + " FTP sites are more than the site file holds");
    for (int32_t i = 0; i < count; ++i) {
        auto site = std::make_unique<CFTPObj>();
        site->Serialize(ar);
        sites.push_back(std::move(site));
    }
}

std::vector<std::unique_ptr<CFTPObj>> CPCNDoc::ParseFtpSiteFile(std::string_view bytes) {
    std::vector<std::unique_ptr<CFTPObj>> sites;
    AppendFtpSites(bytes, sites);
    return sites;
}

std::string CPCNDoc::StoreFtpSiteFile(const std::vector<std::unique_ptr<CFTPObj>>& sites) {
    CArchive ar;
    ar.WriteInt(static_cast<int32_t>(sites.size()));
    for (const auto& site : sites) site->Serialize(ar);
    return ar.takeBuffer();
}

}  // namespace pcn
