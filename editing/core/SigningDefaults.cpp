#include "editing/core/SigningDefaults.h"

#include <string>

#include "distribution/UserInterface.h"
#include "model/CCabObj.h"
#include "platform/RegistryHelper.h"

namespace pcn {

void ReadSigningDefaults(CCabObj& package, CRegistryHelper& registry) {
    if (auto signCode = registry.OpenUserKey(kSignCodeKey)) {
        registry.ReadText(*signCode, "Credentials", package.m_strSignCredentials);
        registry.ReadText(*signCode, "Key", package.m_strSignKey);
        int32_t providerType = -1;
        if (registry.ReadInt(*signCode, "ProviderType", providerType) && providerType == 0) package.m_bMD5 = 0;
    }
    if (auto information = registry.OpenMachineKey(kInformationKey))
        registry.ReadText(*information, "URL", package.m_strSignInfo);
}

void WriteInformationUrl(CRegistryHelper& registry, std::string_view url) {
    if (auto information = registry.OpenMachineKey(kInformationKey)) registry.WriteText(*information, "URL", url);
}

bool ConfirmSigningCredentials(CCabObj& package, UserInterface& ui) {
    if (!package.m_strSignCredentials.empty() && !package.m_strSignKey.empty()) return true;
    if (ui.message(kSignatureQuestion, "", Icon::Information, Buttons::YesNo, Answer::Yes) != Answer::Yes)
        return false;
    package.m_bSignature = 0;
    return true;
}

}  // namespace pcn
