#pragma once
// The side file beside the FTP site file that keeps each site's connection
// options (passive mode, explicit TLS, trusted certificates), keyed by the
// site's description. The site file itself keeps its record layout.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/CFTPObj.h"

namespace pcn {

// site file path + ".options"
std::string ftpSiteOptionsFile(std::string_view siteFile);

// Sets the options of every listed site from the side file's text; a site
// the text does not name gets the defaults (active, no TLS).
void applyFtpSiteOptions(std::string_view text, const std::vector<std::unique_ptr<CFTPObj>>& sites);
std::string storeFtpSiteOptions(const std::vector<std::unique_ptr<CFTPObj>>& sites);

// The same on the side file of a site file. A missing side file means
// defaults. Saving writes the file whole, readable by its owner only.
void loadFtpSiteOptions(std::string_view siteFile, const std::vector<std::unique_ptr<CFTPObj>>& sites);
bool saveFtpSiteOptions(std::string_view siteFile, const std::vector<std::unique_ptr<CFTPObj>>& sites,
                        int* systemError = nullptr);

}  // namespace pcn
