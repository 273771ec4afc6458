#pragma once
// An FTP site the user sends package output to. Sites live in the FTP site
// file ("PCNFtp.pftp"), which the project document reads and writes; the FTP
// transfer library gets the chosen site through the package's m_pFtpSite.

#include <cstdint>
#include <string>
#include <vector>

namespace pcn {

class CArchive;

class CFTPObj {
public:
    std::string m_strDescription;    // the site's unique description ("&Site Description:")
    std::string m_strServer;         // host name or "ftp://" address as typed ("&FTP Site:")
    std::string m_strPassword;       // "&Password:", stored as typed
    int32_t m_nPort = 21;            // "Port &No:"
    std::string m_strUserName;       // "&User Name:"
    std::string m_strDirectory;      // remote folder to upload into ("&Directory:")
    int32_t m_bOverwriteExisting = 1;  // 1 send every file; 0 skip files that exist remotely
    // Full local paths of the files to send; filled before each transfer, never stored.
    std::vector<std::string> m_arrFiles;
    // Connection options that today's servers need, kept in the side file
    // beside the site file (model/FtpSiteOptions.h) so that the record stays
    // as it is: passive data connections instead of active ones, explicit TLS
    // (FTPS), and a file of certificates to trust for TLS instead of the
    // system's (a server with a certificate of its own making).
    int32_t m_bPassive = 0;
    int32_t m_bUseTls = 0;
    std::string m_strTlsCaFile;

    // Description, server, password, port, user name, directory, overwrite flag.
    void Serialize(CArchive& ar);

    bool operator==(const CFTPObj&) const = default;
};

}  // namespace pcn
