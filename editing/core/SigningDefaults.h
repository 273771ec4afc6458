#pragma once
// The signing values an editor offers for a package: the signing tool's
// own key (credentials, private key, provider type) and the program's
// machine-wide "Information" key (the "more information" URL), and the
// question asked when signing is on without credentials or key.

#include <string_view>

namespace pcn {

class CCabObj;
class CRegistryHelper;
class UserInterface;

// Current user: the signing tool's last credentials and key.
inline constexpr std::string_view kSignCodeKey = "Software\\Microsoft\\Cryptography\\SignCode";
// Local machine: the program's "Company", "Copyright" and "URL".
inline constexpr std::string_view kInformationKey = "SOFTWARE\\Tarnwick Development\\Parcelon Packages\\Information";

inline constexpr std::string_view kSignatureQuestion =
    "Signature Credentials and Key required.\nWould you like to continue without the Signature option enabled?";

// "Credentials" and "Key" become the package's credentials and key files
// when present; a "ProviderType" of 0 selects SHA 1; "URL" becomes the
// information text when present.
void ReadSigningDefaults(CCabObj& package, CRegistryHelper& registry);

// Remembers the information text as "URL" for the next package.
void WriteInformationUrl(CRegistryHelper& registry, std::string_view url);

// With the credentials file or the key file empty, asks whether to go on
// without signing: Yes turns "Add Digital Signature" off and gives true, No
// gives false. With both present it asks nothing and gives true.
bool ConfirmSigningCredentials(CCabObj& package, UserInterface& ui);

}  // namespace pcn
