#include "ftp/FtpConnection.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>
#include <string_view>

namespace pcn {

namespace {

constexpr long kConnectTimeoutSeconds = 30;
// A server that stops answering a command, or stops taking data for this
// long, fails the transfer instead of hanging it.
constexpr long kResponseTimeoutSeconds = 60;
constexpr long kStallSeconds = 60;

struct UrlHandle {
    CURLU* url = curl_url();
    ~UrlHandle() { curl_url_cleanup(url); }
};

bool hostOf(const std::string& text, std::string& host) {
    UrlHandle handle;
    if (!handle.url || curl_url_set(handle.url, CURLUPART_URL, text.c_str(), CURLU_NON_SUPPORT_SCHEME) != CURLUE_OK)
        return false;
    char* part = nullptr;
    if (curl_url_get(handle.url, CURLUPART_HOST, &part, 0) != CURLUE_OK || !part) return false;
    host = part;
    curl_free(part);
    return !host.empty();
}

std::string escaped(CURL* curl, std::string_view segment) {
    char* text = curl_easy_escape(curl, segment.data(), static_cast<int>(segment.size()));
    std::string result = text ? text : "";
    curl_free(text);
    return result;
}

// The URL path of a directory as libcurl walks it (one CWD per segment): a
// leading "/" becomes "%2F" so that the walk starts at the server's root.
std::string directoryUrlPath(CURL* curl, std::string_view directory) {
    std::string path;
    if (directory.starts_with('/')) path = "%2F/";
    size_t start = 0;
    while (start <= directory.size()) {
        size_t end = directory.find('/', start);
        if (end == std::string_view::npos) end = directory.size();
        if (end > start) path += escaped(curl, directory.substr(start, end - start)) + "/";
        start = end + 1;
    }
    return path;
}

}  // namespace

struct FtpCallbacks {
// The server's replies come in as header data, our commands go out as
// header data: a reply that follows a command replaces the last response.
    static int onDebug(CURL*, curl_infotype type, char* data, size_t size, void* self) {
    auto* connection = static_cast<FtpConnection*>(self);
    if (type == CURLINFO_HEADER_OUT) {
        std::string command(data, size);
        while (!command.empty() && (command.back() == '\n' || command.back() == '\r')) command.pop_back();
        if (command.starts_with("PASS ")) command = "PASS ****";
        connection->commands_.push_back(std::move(command));
        connection->replyStarts_ = true;
    } else if (type == CURLINFO_HEADER_IN) {
        if (connection->replyStarts_) connection->lastResponse_.clear();
        connection->replyStarts_ = false;
        connection->lastResponse_.append(data, size);
    }
    return 0;
}

    static int onProgress(void* self, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    auto* connection = static_cast<FtpConnection*>(self);
    return connection->abortFlag_ && connection->abortFlag_->load() ? 1 : 0;
}

    static size_t onListing(char* data, size_t size, size_t count, void* self) {
    static_cast<FtpConnection*>(self)->listing_.append(data, size * count);
    return size * count;
}

    static size_t onRead(char* buffer, size_t size, size_t count, void* self) {
    auto* connection = static_cast<FtpConnection*>(self);
    const size_t got = (*connection->source_)(buffer, size * count);
    if (got == FtpConnection::kStopUpload) {
        connection->sourceStopped_ = true;
        return CURL_READFUNC_ABORT;
    }
    return got;
}

};

bool parseServerAddress(const std::string& serverText, std::string& host) {
    return hostOf(serverText, host) || hostOf("ftp://" + serverText, host);
}

FtpConnection::FtpConnection(const std::atomic<int32_t>* abortFlag) : curl_(curl_easy_init()), abortFlag_(abortFlag) {}

FtpConnection::~FtpConnection() {
    if (curl_) curl_easy_cleanup(curl_);
}

void FtpConnection::resetRequest() {
    curl_easy_setopt(curl_, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(curl_, CURLOPT_UPLOAD, 0L);
    curl_easy_setopt(curl_, CURLOPT_DIRLISTONLY, 0L);
    curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, nullptr);
    curl_easy_setopt(curl_, CURLOPT_READFUNCTION, nullptr);
    curl_easy_setopt(curl_, CURLOPT_FTP_CREATE_MISSING_DIRS, static_cast<long>(CURLFTP_CREATE_DIR_NONE));
}

bool FtpConnection::connect(const FtpEndpoint& endpoint) {
    if (!curl_) {
        code_ = CURLE_FAILED_INIT;
        return false;
    }
    base_ = "ftp://" + endpoint.host + ":" + std::to_string(endpoint.port) + "/";
    curl_easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl_, CURLOPT_USERAGENT, "Parcelon");
    // No user name: an anonymous login (an empty USER command is refused).
    const bool anonymous = endpoint.userName.empty();
    curl_easy_setopt(curl_, CURLOPT_USERNAME, anonymous ? nullptr : endpoint.userName.c_str());
    curl_easy_setopt(curl_, CURLOPT_PASSWORD, anonymous ? nullptr : endpoint.password.c_str());
    curl_easy_setopt(curl_, CURLOPT_ERRORBUFFER, errorBuffer_);
    curl_easy_setopt(curl_, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
    curl_easy_setopt(curl_, CURLOPT_FTP_RESPONSE_TIMEOUT, kResponseTimeoutSeconds);
    curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
    curl_easy_setopt(curl_, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(curl_, CURLOPT_DEBUGFUNCTION, &FtpCallbacks::onDebug);
    curl_easy_setopt(curl_, CURLOPT_DEBUGDATA, this);
    curl_easy_setopt(curl_, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(curl_, CURLOPT_XFERINFOFUNCTION, &FtpCallbacks::onProgress);
    curl_easy_setopt(curl_, CURLOPT_XFERINFODATA, this);
    // Active mode unless the site asks for passive: "-" is the address the
    // control connection uses. Over TLS the data connections are passive:
    // the libcurl we build on cannot open active ones there, and firewalls,
    // which cannot read an encrypted PORT command, would block them anyway.
    curl_easy_setopt(curl_, CURLOPT_FTPPORT, endpoint.passive || endpoint.useTls ? nullptr : "-");
    if (endpoint.useTls) {
        curl_easy_setopt(curl_, CURLOPT_USE_SSL, static_cast<long>(CURLUSESSL_ALL));
        if (!endpoint.tlsCaFile.empty()) curl_easy_setopt(curl_, CURLOPT_CAINFO, endpoint.tlsCaFile.c_str());
    }
    resetRequest();
    curl_easy_setopt(curl_, CURLOPT_NOBODY, 1L);
    if (!perform("")) return false;
    char* entry = nullptr;
    if (curl_easy_getinfo(curl_, CURLINFO_FTP_ENTRY_PATH, &entry) == CURLE_OK && entry) loginDirectory_ = entry;
    return true;
}

bool FtpConnection::enterDirectory(const std::string& directory) {
    if (directory.empty() || directory == loginDirectory_) {
        directoryPath_.clear();
        return true;
    }
    const std::string path = directoryUrlPath(curl_, directory);
    resetRequest();
    curl_easy_setopt(curl_, CURLOPT_NOBODY, 1L);
    // A missing directory is created and entered (CWD, MKD, CWD per level).
    curl_easy_setopt(curl_, CURLOPT_FTP_CREATE_MISSING_DIRS, static_cast<long>(CURLFTP_CREATE_DIR_RETRY));
    if (!perform(path)) return false;
    directoryPath_ = path;
    return true;
}

bool FtpConnection::listNames(std::vector<std::string>& names) {
    resetRequest();
    listing_.clear();
    curl_easy_setopt(curl_, CURLOPT_DIRLISTONLY, 1L);
    curl_easy_setopt(curl_, CURLOPT_WRITEFUNCTION, &FtpCallbacks::onListing);
    curl_easy_setopt(curl_, CURLOPT_WRITEDATA, this);
    if (!perform(directoryPath_)) return false;
    names.clear();
    size_t start = 0;
    while (start < listing_.size()) {
        size_t end = listing_.find('\n', start);
        if (end == std::string::npos) end = listing_.size();
        std::string name = listing_.substr(start, end - start);
        if (!name.empty() && name.back() == '\r') name.pop_back();
        // Some servers list "dir/name"; the name is what follows the last '/'.
        if (size_t slash = name.rfind('/'); slash != std::string::npos) name.erase(0, slash + 1);
        if (!name.empty()) names.push_back(std::move(name));
        start = end + 1;
    }
    return true;
}

bool FtpConnection::upload(const std::string& remoteName, const BlockSource& source) {
    resetRequest();
    source_ = &source;
    sourceStopped_ = false;
    curl_easy_setopt(curl_, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl_, CURLOPT_READFUNCTION, &FtpCallbacks::onRead);
    curl_easy_setopt(curl_, CURLOPT_READDATA, this);
    const bool ok = perform(directoryPath_ + escaped(curl_, remoteName));
    source_ = nullptr;
    if (sourceStopped_) stoppedByAbort_ = true;
    return ok;
}

bool FtpConnection::perform(const std::string& urlPath) {
    errorBuffer_[0] = '\0';
    stoppedByAbort_ = false;
    const std::string url = base_ + urlPath;
    curl_easy_setopt(curl_, CURLOPT_URL, url.c_str());
    code_ = curl_easy_perform(curl_);
    if (code_ == CURLE_ABORTED_BY_CALLBACK && abortFlag_ && abortFlag_->load()) stoppedByAbort_ = true;
    return code_ == CURLE_OK;
}

std::string FtpConnection::errorText() const {
    if (errorBuffer_[0]) return errorBuffer_;
    return curl_easy_strerror(static_cast<CURLcode>(code_));
}

}  // namespace pcn
