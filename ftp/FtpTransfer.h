#pragma once
// The contract between the program and the FTP transfer library PcnFtp.so,
// which the program loads with dlopen only while it sends. DoFTP starts the
// upload of the files of the package's chosen site (m_pFtpSite) on a thread
// of its own and returns at once; the thread reports through the request's
// page and ends with FtpTransferPage::transferEnded.
//
// Both sides are built by the same compiler from this tree, so the record
// types and the page's virtual table cross the library boundary as they are.

#include <atomic>
#include <cstdint>
#include <string>

namespace pcn {
class CCabObj;

// How a transfer ended.
enum FtpTransferResult : int32_t {
    kTransferFailed = 0,
    kTransferSucceeded = 1,
    kTransferCancelled = 2,  // the user asked to stop and the transfer stopped
};

// What the transfer thread shows. Every call comes from the transfer thread;
// the error and message calls return when the user has closed them.
class FtpTransferPage {
public:
    // The status line.
    virtual void setStatus(const std::string& text) = 0;
    // Percent of the current file and of all files, 0..100.
    virtual void setCurrentProgress(uint32_t percent) = 0;
    virtual void setOverallProgress(uint32_t percent) = 0;
    // The library's "FTP Error" dialog: main text and the server's last
    // response as details.
    virtual void showFtpError(const std::string& mainText, const std::string& details) = 0;
    // A plain message box (local file errors, the address error).
    virtual void showMessage(const std::string& text) = 0;
    // The end report, after running was set to 0. The request may be freed
    // from here on: the thread touches it no more.
    virtual void transferEnded(FtpTransferResult result) = 0;

protected:
    ~FtpTransferPage() = default;
};

// Allocated, kept alive until transferEnded, and freed by the program.
struct FtpTransferRequest {
    CCabObj* package = nullptr;       // the library reads only its m_pFtpSite
    FtpTransferPage* page = nullptr;  // where progress and the end go
    void* sheet = nullptr;            // the sending window; not used by the library
    std::atomic<int32_t> abortRequested{0};  // set to 1 by the program to cancel
    std::atomic<int32_t> running{1};         // the library sets it to 0 at the end
};

// "%%%d": the percent sign stands before the number.
inline std::string percentText(uint32_t percent) { return "%" + std::to_string(percent); }

inline constexpr const char* kFtpLibraryFile = "PcnFtp.so";
inline constexpr const char* kDoFtpExport = "DoFTP";

}  // namespace pcn

extern "C" {
// Non-zero when the transfer thread was started.
typedef int32_t (*DoFtpFunction)(pcn::FtpTransferRequest* request);
}
