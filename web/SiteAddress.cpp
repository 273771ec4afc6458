#include "web/SiteAddress.h"

#include "platform/SettingsStore.h"
#include "signing/SigningJobs.h"

namespace pcn {

std::string SiteBaseAddress(const SettingsStore& settings) {
    std::string url = settings.readString(codesign::kSection, "URL", "");
    return url.empty() ? std::string(kPlaceholderSiteAddress) : url;
}

std::string SiteBaseAddress() { return SiteBaseAddress(SettingsStore::user()); }

std::string SiteAddressOf(std::string_view site, std::string_view path) {
    while (site.ends_with('/')) site.remove_suffix(1);
    return std::string(site) + "/" + std::string(path);
}

}  // namespace pcn
