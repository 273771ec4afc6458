#include "web/SiteAddress.h"

#include "platform/SettingsStore.h"
#include "signing/SigningJobs.h"

namespace pcn {

std::string SiteBaseAddress(const SettingsStore& settings) {
    std::string url = settings.readString(codesign::kSection, "URL", "");
    return url.empty() ? std::string(kPlaceholderSiteAddress) : url;
}

std::string SiteBaseAddress() { return SiteBaseAddress(SettingsStore::user()); }

}  // namespace pcn
