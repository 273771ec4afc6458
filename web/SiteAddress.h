#pragma once
// The address of the user's web site that web INF files and HTML templates
// point at: the information address the code-signing settings keep, or a
// placeholder the user is meant to replace.

#include <string>
#include <string_view>

namespace pcn {

class SettingsStore;

// A placeholder under a reserved top-level domain, so that it can never name
// a real site; it ends with "/" like the address a user would type.
inline constexpr const char* kPlaceholderSiteAddress = "http://www.your-web-site.invalid/";

// `URL` under "Settings\CodeSign"; the placeholder when it is empty.
std::string SiteBaseAddress(const SettingsStore& settings);
std::string SiteBaseAddress();  // the user's settings

// An address below the site: the site and the path joined by exactly one
// "/", whether or not the site ends with one.
std::string SiteAddressOf(std::string_view site, std::string_view path);

}  // namespace pcn
