#pragma once
// The program's hold on PcnFtp.so: loaded from the program folder for the
// time of one send (the send sheet, `parcelon send`) and unloaded after it.

#include <string>
#include <string_view>

#include "distribution/UserInterface.h"
#include "ftp/FtpTransfer.h"

namespace pcn {

inline constexpr std::string_view kUnableToLoadFtpLibrary =
    "Unable to load PcnFtp.so.\r\n\r\nlibcurl or PcnFtp.so may be missing.";
inline constexpr std::string_view kFtpExportMissing = "Unable to find DoFTP in PcnFtp.so";

class FtpLibrary {
public:
    FtpLibrary() = default;
    ~FtpLibrary();
    FtpLibrary(const FtpLibrary&) = delete;
    FtpLibrary& operator=(const FtpLibrary&) = delete;

    // Loads the library; on failure shows kUnableToLoadFtpLibrary with the
    // loader's reason as details and returns false.
    bool load(UserInterface& ui);
    bool loaded() const { return handle_ != nullptr; }
    // DoFTP of the loaded library; null when it has no such export.
    DoFtpFunction doFtp() const;
    // Unloads now; a transfer must not be running.
    void unload();

    static std::string path();

private:
    void* handle_ = nullptr;
};

}  // namespace pcn
